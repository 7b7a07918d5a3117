#pragma once
// The byte classes of the sheet's own XML reading, shared by the tag-by-tag reader and the
// shortcut for cell tags, so both take the same names, values and text as they are.
#include <array>

namespace xlsx::xmlchars {

// Text as it is: printable ASCII, tab and line feed; no markup, reference or "]]>" to look at.
constexpr std::array<bool, 256> MakePlain() {
  std::array<bool, 256> t{};
  for (int c = 0x20; c < 0x80; ++c) t[static_cast<std::size_t>(c)] = true;
  t['<'] = t['&'] = t[']'] = false;
  t['\t'] = t['\n'] = true;
  return t;
}
inline constexpr std::array<bool, 256> kPlain = MakePlain();

constexpr bool IsNameStart(int c) {
  const int l = c | 0x20;
  return (l >= 'a' && l <= 'z') || c == '_' || c == ':';
}
constexpr std::array<bool, 256> MakeNameChar() {
  std::array<bool, 256> t{};
  for (int c = 0; c < 0x80; ++c)
    t[static_cast<std::size_t>(c)] =
        IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
  return t;
}
inline constexpr std::array<bool, 256> kNameChar = MakeNameChar();

// The bytes an attribute value holds as they are: no quote, no reference, no white space to
// normalise, nothing outside ASCII to check.
constexpr std::array<bool, 256> MakeValuePlain() {
  std::array<bool, 256> t{};
  for (int c = 0x20; c < 0x80; ++c) t[static_cast<std::size_t>(c)] = true;
  t['"'] = t['\''] = t['<'] = t['&'] = false;
  return t;
}
inline constexpr std::array<bool, 256> kValuePlain = MakeValuePlain();

}  // namespace xlsx::xmlchars
