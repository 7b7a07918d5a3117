// imppret import: the checks and the run of the main window's "&Start import", driven from the
// command line. Messages are printed without their markup: refusals on stderr, the error lines
// and the summary on stdout.
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/imppret/ChoiceOptions.h"
#include "app/imppret/Command.h"
#include "app/imppret/ImportProfileChoice.h"
#include "app/imppret/Json.h"
#include "import/CompanyData.h"
#include "import/ErrorList.h"
#include "import/ImportRun.h"
#include "import/MarkupText.h"
#include "import/NumberText.h"
#include "import/Settings.h"
#include "import/TextUtil.h"
#include "import/plan/RecordedRun.h"

namespace imppret {
namespace {

constexpr const char* kUsage =
    "import --company NAME --file FILE --id-col N --price-col N --start-row N [--data-root DIR] "
    "[--currency lei|valuta] [--identify codextern|codintern|denumire] [--producer NAME] "
    "[--category CODE] [--errors FILE] [--report FILE] [--threshold PERCENT] [--dry-run] [--json] "
    "[--detect] [--profile NAME] [--factor F] [--round 0,01|0,05|0,10|1|99]";

class ConsoleView final : public imp::ImportView {
 public:
  void ShowMessage(const std::string& markup, imp::MessageKind kind) override {
    std::FILE* out = kind == imp::MessageKind::dkInformation ? stdout : stderr;
    std::fprintf(out, "%s\n", imp::MarkupToPlainText(markup).c_str());
  }
  void SetBusyCursor(bool) override {}
  void ShowProgressPanel(bool) override {}
  void SetProgressCaption(const std::string&) override {}
  void ClearErrorLines() override { lines.clear(); }
  void AddErrorLine(const std::string& line) override {
    lines.push_back(line);
    std::printf("%s\n", line.c_str());
  }
  int ErrorLineCount() const override { return static_cast<int>(lines.size()); }
  void ShowPage(int) override {}
  void ProcessPendingMessages() override {}

  std::vector<std::string> lines;
};

struct Arguments {
  std::string company, file, dataRoot, errorsFile, reportFile;
  std::optional<double> threshold;
  ChoiceOptions choices;
  std::optional<std::string> profile;
  bool dryRun = false, json = false, detect = false;
  bool haveDataRoot = false;
};

// Fills `a`; on a bad argument prints why and gives false.
bool ParseArguments(const std::vector<std::string>& args, Arguments& a) {
  auto fail = [](const std::string& why) {
    std::fprintf(stderr, "imppret import: %s\nusage: imppret %s\n", why.c_str(), kUsage);
    return false;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt == "--dry-run") {
      a.dryRun = true;
      continue;
    }
    if (opt == "--json") {
      a.json = true;
      continue;
    }
    if (opt == "--detect") {
      a.detect = true;
      continue;
    }
    if (i + 1 >= args.size()) return fail("missing value after " + opt);
    const std::string& v = args[++i];
    std::string why;
    const OptionParse choice = ParseChoiceOption(opt, v, a.choices, why);
    if (choice == OptionParse::Bad) return fail(why);
    if (choice == OptionParse::Taken) continue;
    if (opt == "--company")
      a.company = v;
    else if (opt == "--file")
      a.file = v;
    else if (opt == "--data-root") {
      a.dataRoot = v;
      a.haveDataRoot = true;
    } else if (opt == "--errors")
      a.errorsFile = v;
    else if (opt == "--report")
      a.reportFile = v;
    else if (opt == "--threshold") {
      double pct = 0;
      if (!imp::TextToFloat(v, pct) || !(pct > 0) || pct > 1e6)
        return fail("--threshold takes a percentage above 0");
      a.threshold = pct;
    } else if (opt == "--profile")
      a.profile = v;
    else
      return fail("unknown option " + opt);
  }
  return true;
}

// "warnings": the count of each kind; "warningRows": every row with a warning.
std::string PlanWarningsJson(const imp::ChangePlan& plan) {
  static constexpr std::pair<imp::ChangeWarning, const char*> kKinds[] = {
      {imp::cwBigChange, "bigChange"},
      {imp::cwNotPositive, "notPositive"},
      {imp::cwTwoPrices, "twoPrices"},
      {imp::cwAmbiguous, "ambiguous"},
      {imp::cwCellKind, "cellKind"}};
  std::string out = "\"threshold\":";
  AppendJsonNumber(out, plan.ThresholdPercent());
  out += ",\"warnings\":{";
  for (const auto& [kind, name] : kKinds) {
    if (out.back() != '{') out += ',';
    out += std::string("\"") + name + "\":" + std::to_string(plan.WarningCount(kind));
  }
  out += "},\"warningRows\":[";
  bool first = true;
  for (const imp::PlanRow& row : plan.Rows()) {
    if (!row.Warnings) continue;
    if (!first) out += ',';
    first = false;
    out += "{\"sheet\":" + std::to_string(row.Change.Sheet) +
           ",\"row\":" + std::to_string(row.Change.Row) +
           ",\"codArt\":" + std::to_string(row.Change.ArticleCode) + ",\"kinds\":[";
    bool firstKind = true;
    for (const auto& [kind, name] : kKinds) {
      if (!(row.Warnings & kind)) continue;
      if (!firstKind) out += ',';
      firstKind = false;
      AppendJsonString(out, name);
    }
    out += "],\"text\":";
    AppendJsonString(out, plan.WarningsText(row));
    out += '}';
  }
  out += ']';
  return out;
}

int RunImportCommand(const std::vector<std::string>& args) {
  Arguments a;
  if (!ParseArguments(args, a)) return 1;

  imp::TImportState state;
  if (a.haveDataRoot) {
    state.DataRoot = a.dataRoot;
  } else {
    const imp::AliasFolder alias = imp::FindAliasFolder("Tarvex");
    if (!alias.Problem.empty()) {
      std::fprintf(stderr, "%s\n", alias.Problem.c_str());
      return 1;
    }
    state.DataRoot = alias.Path;
  }
  state.SelectedCompany = a.company;
  state.CurrentCompany = a.company;
  if (!a.company.empty()) state.CompanyFolder = state.DataRoot / a.company;
  // Stored for the company as the window stores it: a full path.
  if (!a.file.empty()) state.FileName = std::filesystem::absolute(a.file).lexically_normal();

  ConsoleView view;
  if (!a.company.empty()) {
    // As when the company became current in the window: its stored price category.
    state.PriceCategoryCode =
        static_cast<std::int16_t>(imp::ReadIntSetting(a.company, "CodCatPret"));
    state.PriceCategoryName = imp::ReadSetting(a.company, "DenCatPret");
  }
  // A profile first, then what the command line gives, then detection for what is still open.
  bool fromProfile = false;
  if (!ApplyProfileChoices(a.company, a.profile, a.choices, a.detect, state, fromProfile)) return 1;
  ApplyChoices(a.choices, state);
  if (a.detect && !DetectMissingChoices(a.choices.identification || fromProfile, state)) return 1;
  std::optional<int> category = a.choices.category;
  if (!category && fromProfile && state.PriceCategoryCode != 0) category = state.PriceCategoryCode;
  if (category) {
    if (*category == 0) {
      state.PriceCategoryCode = 0;  // multiple prices are left alone
    } else if (!a.company.empty()) {
      std::error_code ec;
      if (std::filesystem::is_directory(state.CompanyFolder, ec)) {
        auto fill = imp::LoadPriceCategories(state.CurrentCompany, state.CompanyFolder, *category);
        if (fill.Selected < 0) {
          std::fprintf(stderr, " Categoria de pret %d nu exista pentru firma %s \n", *category,
                       a.company.c_str());
          return 1;
        }
        state.PriceCategories = std::move(fill.Items);
        state.SelectedPriceCategory = fill.Selected;
      }
    }
  }

  imp::RunOptions options;
  options.DryRun = a.dryRun;
  if (a.dryRun) {
    options.OnPlannedChange = [](const imp::PlannedChange& c) {
      if (c.NewMultiPriceRow)
        std::printf("Ar adauga in PretM: CodArt %d, IndexLocal %d, %s = %s%s\n", c.ArticleCode,
                    c.IndexLocal, c.Field.c_str() + 6, imp::FormatGeneral(c.Value).c_str(),
                    ReadValueNote(c).c_str());
      else
        std::printf("Ar modifica articolul %d: %s = %s%s\n", c.ArticleCode, c.Field.c_str(),
                    imp::FormatGeneral(c.Value).c_str(), ReadValueNote(c).c_str());
    };
  }

  imp::ImportResult outcome;
  options.Outcome = &outcome;
  if (!imp::CheckImportSettings(state, view, options)) return 1;
  imp::RecordedRun run(state, options, a.threshold.value_or(imp::ReadThresholdSetting()),
                       a.reportFile);
  // The last line says what was posted, also when the run ends by a failure.
  auto jsonLine = [&](const imp::ImportResult& r, const std::string* failure) {
    std::string line = "{\"imported\":" + std::to_string(r.Imported) +
                       ",\"errors\":" + std::to_string(r.Errors) + ",\"errorLines\":[";
    for (std::size_t i = 0; i < view.lines.size(); ++i) {
      if (i) line += ',';
      AppendJsonString(line, view.lines[i]);
    }
    line += "]," + PlanWarningsJson(run.Plan());
    if (failure) {
      line += ",\"failure\":";
      AppendJsonString(line, *failure);
    }
    std::printf("%s}\n", line.c_str());
  };
  imp::ImportResult result;
  try {
    result = run.Run(view);
  } catch (const std::exception& e) {
    if (!a.errorsFile.empty()) imp::SaveErrorLines(a.errorsFile, view.lines);
    std::fprintf(stderr, "%s\n", e.what());
    if (!run.RecordProblem().empty()) std::fprintf(stderr, "%s\n", run.RecordProblem().c_str());
    const std::string failure = e.what();
    if (a.json) jsonLine(outcome, &failure);
    return 1;
  }
  if (!result.Ran) return 1;
  if (!a.errorsFile.empty()) imp::SaveErrorLines(a.errorsFile, view.lines);
  if (a.json) jsonLine(result, nullptr);
  return 0;
}

}  // namespace

IMPPRET_COMMAND("import", kUsage, RunImportCommand);

}  // namespace imppret
