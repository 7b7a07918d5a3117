// imppret profile: the import profiles of a company, kept in the settings file that the
// window uses.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/imppret/ChoiceOptions.h"
#include "app/imppret/Command.h"
#include "app/imppret/Json.h"
#include "import/CompanyData.h"
#include "import/HeaderDetect.h"
#include "import/Profiles.h"
#include "import/Settings.h"

namespace imppret {
namespace {

constexpr const char* kUsage =
    "profile save --company NAME --name P [--pattern GLOB] [--data-root DIR] [choice options] | "
    "profile list --company NAME [--json] | profile delete --company NAME --name P";

std::string ProfileJson(const imp::ImportProfile& p) {
  std::string j = "{\"name\":";
  AppendJsonString(j, p.Name);
  j += ",\"pattern\":";
  AppendJsonString(j, p.Pattern);
  j += ",\"idCol\":" + std::to_string(p.IdColumn) +
       ",\"priceCol\":" + std::to_string(p.PriceColumn) +
       ",\"startRow\":" + std::to_string(p.StartRow) +
       ",\"currency\":" + (p.PriceKindIndex == imp::pkValuta ? "\"valuta\"" : "\"lei\"") +
       ",\"identify\":";
  AppendJsonString(j, imp::IdentificationOptionName(p.Identification));
  j += ",\"producer\":";
  if (p.ProducerRestriction)
    AppendJsonString(j, p.ProducerName);
  else
    j += "null";
  j += ",\"category\":" + std::to_string(p.PriceCategoryCode) + ",\"factor\":";
  if (p.Rule.On)
    AppendJsonNumber(j, p.Rule.Factor);
  else
    j += "null";
  j += ",\"round\":";
  if (p.Rule.On && p.Rule.Rounding != imp::PriceRounding::None)
    AppendJsonString(j, imp::RoundingText(p.Rule.Rounding));
  else
    j += "null";
  return j + "}";
}

std::string ProfileLine(const imp::ImportProfile& p) {
  std::string l = p.Name + ": cod in coloana " + std::to_string(p.IdColumn) + ", pret in coloana " +
                  std::to_string(p.PriceColumn) + ", de la randul " + std::to_string(p.StartRow) +
                  ", " + imp::IdentificationOptionName(p.Identification);
  if (!p.Pattern.empty()) l += ", fisiere " + p.Pattern;
  if (p.Rule.On) l += ", " + imp::PriceRuleDescription(p.Rule);
  return l;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "imppret profile: %s\nusage: imppret %s\n", why.c_str(), kUsage);
  return 1;
}

int RunProfileCommand(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("save, list or delete?");
  const std::string action = args[0];
  std::string company, name, pattern, dataRoot;
  bool json = false, haveName = false, haveDataRoot = false;
  ChoiceOptions choices;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt == "--json") {
      json = true;
      continue;
    }
    if (i + 1 >= args.size()) return Fail("missing value after " + opt);
    const std::string& v = args[++i];
    std::string why;
    const OptionParse choice =
        action == "save" ? ParseChoiceOption(opt, v, choices, why) : OptionParse::NotMine;
    if (choice == OptionParse::Bad) return Fail(why);
    if (choice == OptionParse::Taken) continue;
    if (opt == "--company") {
      company = v;
    } else if (opt == "--name") {
      name = v;
      haveName = true;
    } else if (opt == "--pattern" && action == "save") {
      pattern = v;
    } else if (opt == "--data-root" && action == "save") {
      dataRoot = v;
      haveDataRoot = true;
    } else {
      return Fail("unknown option " + opt);
    }
  }
  if (company.empty()) return Fail("--company is required");

  if (action == "list") {
    const std::vector<imp::ImportProfile> all = imp::LoadProfiles(company);
    if (json) {
      std::string out = "[";
      for (std::size_t i = 0; i < all.size(); ++i) out += (i ? "," : "") + ProfileJson(all[i]);
      std::printf("%s]\n", out.c_str());
    } else {
      for (const imp::ImportProfile& p : all) std::printf("%s\n", ProfileLine(p).c_str());
    }
    return 0;
  }
  if (!haveName) return Fail("--name is required");
  if (action == "delete") {
    if (!imp::DeleteProfile(company, name)) {
      std::fprintf(stderr, " Profilul %s nu exista pentru firma %s \n", name.c_str(),
                   company.c_str());
      return 1;
    }
    return 0;
  }
  if (action != "save") return Fail("save, list or delete?");
  if (std::string problem = imp::ProfileNameProblem(name); !problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  imp::TImportState state;
  ApplyChoices(choices, state);
  imp::ImportProfile p = imp::ProfileFromState(state, name);
  p.Pattern = pattern;
  if (choices.category && *choices.category != 0) {
    p.PriceCategoryCode = static_cast<std::int16_t>(*choices.category);
    // The category's name as the window stores it, when the company's tables are at hand.
    const std::filesystem::path root = haveDataRoot
                                           ? std::filesystem::path(dataRoot)
                                           : std::filesystem::path(imp::GetAliasPath("Tarvex"));
    std::error_code ec;
    if (!root.empty() && std::filesystem::is_directory(root / company, ec)) {
      auto fill = imp::LoadPriceCategories(company, root / company, *choices.category);
      if (fill.Selected < 0) {
        std::fprintf(stderr, " Categoria de pret %d nu exista pentru firma %s \n",
                     *choices.category, company.c_str());
        return 1;
      }
      p.PriceCategoryName = fill.Items[static_cast<std::size_t>(fill.Selected)].Name;
    }
  }
  imp::SaveProfile(company, p);
  return 0;
}

}  // namespace

IMPPRET_COMMAND("profile", kUsage, RunProfileCommand);

}  // namespace imppret
