#pragma once
// Small text helpers of the import: ASCII case folding and the trimming rules it uses.
#include <string>
#include <string_view>

namespace imp {

// Drops leading and trailing blanks and tabs.
std::string_view TrimBlanks(std::string_view s);
// Drops leading and trailing characters up to and including the blank (control characters).
std::string_view TrimControl(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view s);

// Writes each character for which `must(index, c)` holds as "%" and two upper-case hex digits:
// the one encoding of text stored in the settings file where its characters could read as
// structure. PercentDecode reads it back; a "%" not followed by two hex digits stays itself.
template <class MustEscape>
std::string PercentEncode(std::string_view text, MustEscape must) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (must(i, c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
std::string PercentDecode(std::string_view text);

}  // namespace imp
