#include "import/Profiles.h"

#include <filesystem>
#include <stdexcept>

#include "import/IniFile.h"
#include "import/NumberText.h"
#include "import/Settings.h"
#include "import/TextUtil.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"

namespace imp {
namespace {

constexpr const char* kSectionPrefix = "Profil:";
constexpr std::size_t kMaxNameLength = 100;

IniFile LoadFile() {
  std::string text;
  if (!platform::ReadWholeFile(SettingsPath(), text)) text.clear();
  return IniFile(text);
}

void SaveFile(const IniFile& ini) {
  platform::WriteFileAtomically(SettingsPath(), ini.Text());
}

// Characters the settings format reads as structure, or drops: line ends and other control
// characters, brackets, "=", ";", quotes and the escape itself.
bool MustEscape(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '%' || c == '[' || c == ']' || c == '=' || c == ';' ||
         c == '"' || c == '\'' || c == ':';
}

// Section of the company's profiles share this start; the name follows it.
std::string CompanyPrefix(const std::string& company) {
  return kSectionPrefix + EscapeStoredText(company) + ":";
}

std::string SectionName(const std::string& company, std::string_view name) {
  return CompanyPrefix(company) + EscapeStoredText(TrimBlanks(name));
}

ImportProfile ReadProfile(const IniFile& ini, const std::string& section, std::string name) {
  auto text = [&](const char* key) {
    return UnescapeStoredText(ini.Get(section, key).value_or(std::string()));
  };
  auto number = [&](const char* key) { return ParseIntOrZero(text(key)); };
  ImportProfile p;
  p.Name = std::move(name);
  p.Pattern = text("Model");
  p.IdColumn = number("ColCodArt");
  p.PriceColumn = number("ColPret");
  p.StartRow = number("RandStart");
  p.PriceKindIndex = number("TipPret") == pkValuta ? pkValuta : pkLei;
  const int identification = number("ArtIdentif");
  p.Identification = identification >= 0 && identification <= 2 ? identification : aiCodExtern;
  p.ProducerRestriction = number("DoarProducator") != 0;
  p.ProducerName = text("Producator");
  p.PriceCategoryCode = static_cast<std::int16_t>(number("CodCatPret"));
  p.PriceCategoryName = text("DenCatPret");
  p.Rule.On = number("RegulaPret") != 0;
  // A damaged factor or rounding turns the rule off rather than writing surprising prices.
  if (!ParseFactor(text("Factor"), p.Rule.Factor) ||
      !ParseRounding(text("Rotunjire"), p.Rule.Rounding)) {
    p.Rule = PriceRule{};
  }
  return p;
}

// The fields a profile shares with the window's state, copied one way or the other.
template <class From, class To>
void CopyLayout(const From& from, To& to) {
  to.IdColumn = from.IdColumn;
  to.PriceColumn = from.PriceColumn;
  to.StartRow = from.StartRow;
  to.PriceKindIndex = from.PriceKindIndex;
  to.Identification = from.Identification;
  to.ProducerRestriction = from.ProducerRestriction;
  to.ProducerName = from.ProducerName;
  to.Rule = from.Rule;
}

}  // namespace

std::string EscapeStoredText(std::string_view text) {
  // Blanks at the ends would be trimmed when read back.
  return PercentEncode(text, [&](std::size_t i, unsigned char c) {
    return MustEscape(c) || ((c == ' ' || c == '\t') && (i == 0 || i + 1 == text.size()));
  });
}

std::string UnescapeStoredText(std::string_view text) {
  return PercentDecode(text);
}

std::string ProfileNameProblem(std::string_view name) {
  const std::string_view t = TrimBlanks(name);
  if (TrimControl(t).empty()) return "Numele profilului nu poate fi gol ";
  if (t.size() > kMaxNameLength) return "Numele profilului are mai mult de 100 de caractere ";
  return "";
}

std::vector<ImportProfile> LoadProfiles(const std::string& company) {
  const IniFile ini = LoadFile();
  const std::string prefix = CompanyPrefix(company);
  std::vector<ImportProfile> profiles;
  for (const std::string& section : ini.Sections()) {
    if (section.size() <= prefix.size() ||
        !EqualsNoCase(std::string_view(section).substr(0, prefix.size()), prefix))
      continue;
    std::string name = UnescapeStoredText(
        ini.Get(section, "Nume")
            .value_or(std::string(std::string_view(section).substr(prefix.size()))));
    bool seen = false;  // a repeated section is read as its first copy only
    for (const ImportProfile& p : profiles) seen = seen || EqualsNoCase(p.Name, name);
    if (!seen) profiles.push_back(ReadProfile(ini, section, std::move(name)));
  }
  return profiles;
}

std::optional<ImportProfile> FindProfile(const std::string& company, std::string_view name) {
  for (ImportProfile& p : LoadProfiles(company))
    if (EqualsNoCase(p.Name, TrimBlanks(name))) return std::move(p);
  return std::nullopt;
}

void SaveProfile(const std::string& company, const ImportProfile& profile) {
  if (std::string problem = ProfileNameProblem(profile.Name); !problem.empty())
    throw std::runtime_error(problem);
  IniFile ini = LoadFile();
  const std::string section = SectionName(company, profile.Name);
  // Keys of an older copy must not survive, so the section is written anew in its place.
  ini.RemoveSection(section);
  auto put = [&](const char* key, const std::string& value) {
    ini.Set(section, key, EscapeStoredText(value));
  };
  put("Nume", std::string(TrimBlanks(profile.Name)));
  put("Model", profile.Pattern);
  put("ColCodArt", std::to_string(profile.IdColumn));
  put("ColPret", std::to_string(profile.PriceColumn));
  put("RandStart", std::to_string(profile.StartRow));
  put("TipPret", std::to_string(profile.PriceKindIndex));
  put("ArtIdentif", std::to_string(profile.Identification));
  put("DoarProducator", profile.ProducerRestriction ? "1" : "0");
  put("Producator", profile.ProducerName);
  put("CodCatPret", std::to_string(profile.PriceCategoryCode));
  put("DenCatPret", profile.PriceCategoryName);
  put("RegulaPret", profile.Rule.On ? "1" : "0");
  put("Factor", FormatGeneral(profile.Rule.Factor));
  put("Rotunjire", RoundingText(profile.Rule.Rounding));
  SaveFile(ini);
}

bool DeleteProfile(const std::string& company, std::string_view name) {
  IniFile ini = LoadFile();
  if (!ini.RemoveSection(SectionName(company, name))) return false;
  SaveFile(ini);
  return true;
}

ImportProfile ProfileFromState(const TImportState& s, std::string name) {
  ImportProfile p;
  p.Name = std::move(name);
  CopyLayout(s, p);
  const int selected = s.SelectedPriceCategory;
  if (selected >= 0 && selected < static_cast<int>(s.PriceCategories.size()) &&
      s.PriceCategories[static_cast<std::size_t>(selected)].Code != 0) {
    p.PriceCategoryCode = s.PriceCategories[static_cast<std::size_t>(selected)].Code;
    p.PriceCategoryName = s.PriceCategories[static_cast<std::size_t>(selected)].Name;
  } else {
    p.PriceCategoryCode = s.PriceCategoryCode;
    p.PriceCategoryName = s.PriceCategoryName;
  }
  return p;
}

void ApplyProfile(const ImportProfile& p, TImportState& s) {
  CopyLayout(p, s);
  if (p.PriceCategoryCode != 0) {
    s.PriceCategoryCode = p.PriceCategoryCode;
    s.PriceCategoryName = p.PriceCategoryName;
    s.SelectedPriceCategory = -1;
    for (std::size_t i = 0; i < s.PriceCategories.size(); ++i)
      if (s.PriceCategories[i].Code == p.PriceCategoryCode)
        s.SelectedPriceCategory = static_cast<int>(i);
  }
}

bool MatchesFilePattern(std::string_view pattern, std::string_view name) {
  // Greedy match that returns to the last "*": time bounded by the product of the lengths.
  auto fold = [](char c) { return platform::LowerAscii(c); };
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

const ImportProfile* ProfileForFile(const std::vector<ImportProfile>& profiles,
                                    const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  for (const ImportProfile& p : profiles)
    if (!TrimBlanks(p.Pattern).empty() && MatchesFilePattern(TrimBlanks(p.Pattern), name))
      return &p;
  return nullptr;
}

}  // namespace imp
