#include "import/Settings.h"

#include <charconv>
#include <limits>
#include <stdexcept>

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
  return LoadSettingsFile().Get(IniSectionName(section), key).value_or(std::string());
}

int ReadIntSetting(const std::string& section, const std::string& key) {
  return ParseIntOrZero(ReadSetting(section, key));
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
  if (!IsStorableIniValue(value)) throw std::invalid_argument(UnstorableValueMessage(value));
  IniFile ini = LoadSettingsFile();
  ini.Set(IniSectionName(section), key, value);
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
  const std::string section = IniSectionName(company);
  CompanySettings c;
  c.FisierImport = ini.Get(section, "FisierImport").value_or(std::string());
  c.CodCatPret = static_cast<std::int16_t>(
      ParseIntOrZero(ini.Get(section, "CodCatPret").value_or(std::string())));
  c.DenCatPret = ini.Get(section, "DenCatPret").value_or(std::string());
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

AliasFolder FindAliasFolder(const std::string& alias) {
  AliasFolder found;
  found.Path = GetAliasPath(alias);
  if (!TrimBlanks(found.Path).empty()) return found;
  found.Path.clear();
  const std::string file = db::AliasConfigPath().string();
  std::string text;
  if (!platform::ReadWholeFile(db::AliasConfigPath(), text))
    found.Problem = "Nu pot citi fisierul de aliasuri " + file + " : aliasul " + alias +
                    " nu are director de date ";
  else
    found.Problem = "Aliasul " + alias + " lipseste sau nu are PATH in fisierul " + file + " ";
  return found;
}

namespace {

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

std::string IniSectionName(std::string_view name) {
  bool plain = true;
  for (char c : name)
    if (c == ']' || IsControl(static_cast<unsigned char>(c))) plain = false;
  if (plain) return std::string(name);  // stored files keep finding their sections
  return PercentEncode(
      name, [](std::size_t, unsigned char c) { return c == ']' || c == '%' || IsControl(c); });
}

bool IsStorableIniValue(std::string_view value) {
  for (char c : value)
    if (c != '\t' && IsControl(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string UnstorableValueMessage(std::string_view what) {
  std::string shown;
  for (char c : what) shown += IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
  return "Textul \"" + shown + "\" contine caractere de control si nu poate fi memorat in " +
         kSettingsFileName + " ";
}

}  // namespace imp
