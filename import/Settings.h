#pragma once
// The settings file "ImpPretExcel.Ini": section "Generale" with the general choices and one
// section per company. Every read opens the file anew and every write rewrites it at once.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace imp {

inline constexpr const char* kSettingsFileName = "ImpPretExcel.Ini";
inline constexpr const char* kGeneralSection = "Generale";

std::filesystem::path SettingsPath();

// The key's value, "" when the file, the section or the key is missing.
std::string ReadSetting(const std::string& section, const std::string& key);
// The value as an integer; text that is not an integer reads as 0.
int ReadIntSetting(const std::string& section, const std::string& key);
// Stores the value and writes the whole file back at once (atomically, CR LF line ends).
// Raises std::runtime_error when the file cannot be written.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// The six general choices, as read at start (integers as stored; the controls hold them to
// their ranges).
struct GeneralSettings {
  std::string FirmaCurenta;
  int ColCodArt = 0, ColPret = 0, RandStart = 0, TipPret = 0, ArtIdentif = 0;
};
GeneralSettings ReadGeneralSettings();

// A company's own settings, read when it becomes current.
struct CompanySettings {
  std::string FisierImport;
  std::int16_t CodCatPret = 0;
  std::string DenCatPret;
};
CompanySettings ReadCompanySettings(const std::string& company);

// Decimal integer text as the settings and spin edits take it: optional blanks, an optional
// sign, digits, within 32 bits; anything else is 0.
int ParseIntOrZero(const std::string& text);

// The folder of a database alias: the text after "PATH=" on the last parameter line that
// holds it; "" when the alias is unknown or has no path.
std::string GetAliasPath(const std::string& alias);

// The data folder of an alias, or why there is none: Problem is then a message (plain text,
// Romanian) naming the alias and the file it was looked for in. A missing or unreadable file,
// an unknown alias and an empty PATH are all unusable: none of them means the current folder.
struct AliasFolder {
  std::string Path;
  std::string Problem;
};
AliasFolder FindAliasFolder(const std::string& alias);

// Text from names the user does not type (files, folders, table values) must not change the
// structure of the settings file. A section name is written between brackets as it is, except
// that "]", "%" and control characters are written as "%" and two hex digits, so "A]B" keeps
// one section of its own; ReadSetting and WriteSetting apply it to every section they name.
std::string IniSectionName(std::string_view name);
// False for a value that would not stay one line (a control character other than the tab);
// WriteSetting refuses such a value with std::invalid_argument and the message below.
bool IsStorableIniValue(std::string_view value);
std::string UnstorableValueMessage(std::string_view what);

}  // namespace imp
