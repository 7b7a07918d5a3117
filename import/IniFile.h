#pragma once
// The classic sectioned "key=value" text, read the way the Windows profile functions read it:
// section and key names match case-insensitively, blanks around names and values are dropped,
// the first matching section and key win, lines that are neither are kept as they stand.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace imp {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text) { Parse(text); }

  void Parse(std::string_view text);
  // The text with CR LF line ends.
  std::string Text() const;

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's first line, or adds it at the end of its section (created at the end
  // of the text when missing).
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // The names of the sections, in file order.
  std::vector<std::string> Sections() const;
  // Drops every section of that name with all its lines; false when there was none.
  bool RemoveSection(std::string_view section);

 private:
  std::vector<std::string> lines_;
};

}  // namespace imp
