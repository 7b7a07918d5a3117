#include "import/Settings.h"

#include <charconv>
#include <limits>

#include "import/IniFile.h"
#include "import/TextUtil.h"
#include "platform/Files.h"
#include "platform/db/Session.h"

namespace imp {
namespace {

IniFile LoadSettingsFile() {
  std::string text;
  if (!platform::ReadWholeFile(SettingsPath(), text)) text.clear();
  return IniFile(text);
}

}  // namespace

std::filesystem::path SettingsPath() {
  return platform::ProgramDataDir() / kSettingsFileName;
}

std::string ReadSetting(const std::string& section, const std::string& key) {
  return LoadSettingsFile().Get(section, key).value_or(std::string());
}

int ReadIntSetting(const std::string& section, const std::string& key) {
  return ParseIntOrZero(ReadSetting(section, key));
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
  IniFile ini = LoadSettingsFile();
  ini.Set(section, key, value);
  platform::WriteFileAtomically(SettingsPath(), ini.Text());
}

GeneralSettings ReadGeneralSettings() {
  const IniFile ini = LoadSettingsFile();
  auto text = [&ini](const char* key) {
    return ini.Get(kGeneralSection, key).value_or(std::string());
  };
  GeneralSettings g;
  g.FirmaCurenta = text("FirmaCurenta");
  g.ColCodArt = ParseIntOrZero(text("ColCodArt"));
  g.ColPret = ParseIntOrZero(text("ColPret"));
  g.RandStart = ParseIntOrZero(text("RandStart"));
  g.TipPret = ParseIntOrZero(text("TipPret"));
  g.ArtIdentif = ParseIntOrZero(text("ArtIdentif"));
  return g;
}

CompanySettings ReadCompanySettings(const std::string& company) {
  const IniFile ini = LoadSettingsFile();
  CompanySettings c;
  c.FisierImport = ini.Get(company, "FisierImport").value_or(std::string());
  c.CodCatPret = static_cast<std::int16_t>(
      ParseIntOrZero(ini.Get(company, "CodCatPret").value_or(std::string())));
  c.DenCatPret = ini.Get(company, "DenCatPret").value_or(std::string());
  return c;
}

int ParseIntOrZero(const std::string& text) {
  std::string_view t = TrimBlanks(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty() || t.front() < '0' || t.front() > '9') return 0;
  long long value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size()) return 0;
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(value);
}

std::string GetAliasPath(const std::string& alias) {
  std::string result;
  try {
    for (const std::string& line : db::GetAliasParams(alias)) {
      // Only the PATH parameter itself names the folder; a line such as "DBPATH=" does not.
      std::size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      if (UpperAscii(TrimBlanks(std::string_view(line).substr(0, eq))) == "PATH")
        result = line.substr(eq + 1);
    }
  } catch (...) {
    // An unknown alias or an unreadable configuration leaves the path empty (or as found).
  }
  return result;
}

}  // namespace imp
