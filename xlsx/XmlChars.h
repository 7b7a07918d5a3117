#pragma once
// The byte classes and the UTF-8 check of the sheet's own XML reading, shared by the tag-by-tag
// reader and the shortcuts for plain tags, so both take the same names, values and text.
#include <array>
#include <cstddef>

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

inline constexpr std::size_t kCut = static_cast<std::size_t>(-1);

// The length of the XML character encoded in UTF-8 at p (n bytes there, n > 0): 0 when it is
// none, kCut when the bytes end inside it.
inline std::size_t Utf8Char(const unsigned char* p, std::size_t n) {
  const unsigned char c = p[0];
  std::size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (n < len) return kCut;
  if (p[1] < lo || p[1] > hi) return 0;
  for (std::size_t i = 2; i < len; ++i)
    if (p[i] < 0x80 || p[i] > 0xBF) return 0;
  if (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) return 0;  // U+FFFE, U+FFFF
  return len;
}

}  // namespace xlsx::xmlchars
