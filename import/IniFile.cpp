#include "import/IniFile.h"

#include "import/TextUtil.h"

namespace imp {
namespace {

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  std::string_view t = TrimBlanks(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(t.substr(1, close - 1));
}

// Splits a "key=value" line; false for lines without "=".
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(0, eq));
  value = TrimBlanks(line.substr(eq + 1));
  return true;
}

// A value wrapped in a pair of matching quotes loses them, as the profile functions do.
std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

}  // namespace

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
}

std::string IniFile::Text() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  bool inSection = false;
  bool seenSection = false;
  for (const std::string& line : lines_) {
    if (auto name = SectionOf(line)) {
      // Only the first section of a name counts.
      if (inSection) return std::nullopt;
      inSection = !seenSection && EqualsNoCase(*name, section);
      seenSection = seenSection || inSection;
      continue;
    }
    if (!inSection) continue;
    std::string_view k, v;
    if (SplitKey(line, k, v) && EqualsNoCase(k, key)) return Unquote(v);
  }
  return std::nullopt;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string newLine = std::string(TrimBlanks(key)) + "=" + std::string(value);
  std::size_t sectionLine = lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionOf(lines_[i]);
    if (name && EqualsNoCase(*name, section)) {
      sectionLine = i;
      break;
    }
  }
  if (sectionLine == lines_.size()) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(newLine));
    return;
  }
  std::size_t lastContent = sectionLine;  // the new key goes after the section's last entry
  for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
    if (SectionOf(lines_[i])) break;
    std::string_view k, v;
    if (SplitKey(lines_[i], k, v) && EqualsNoCase(k, key)) {
      lines_[i] = std::move(newLine);
      return;
    }
    if (!TrimBlanks(lines_[i]).empty()) lastContent = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), std::move(newLine));
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  for (const std::string& line : lines_)
    if (auto name = SectionOf(line)) names.emplace_back(*name);
  return names;
}

bool IniFile::RemoveSection(std::string_view section) {
  std::vector<std::string> kept;
  bool inSection = false, removed = false;
  for (std::string& line : lines_) {
    if (auto name = SectionOf(line)) inSection = EqualsNoCase(*name, section);
    if (inSection) {
      removed = true;
      continue;
    }
    kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
  return removed;
}

}  // namespace imp
