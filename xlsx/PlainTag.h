#pragma once
// The bytes of a tag in its plainest form read with every byte checked against the classes of
// the tag-by-tag reader: a read past the end yields 0, which no class holds, so a construct cut
// by the end of the bytes is simply not recognised. The shortcuts for plain tags build on it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/ByteView.h"
#include "xlsx/XmlChars.h"

namespace xlsx {

class PlainTag {
 public:
  PlainTag(const char* p, std::size_t n) : p_(p), b_(reinterpret_cast<const std::uint8_t*>(p), n) {}
  std::uint8_t At(std::size_t j) const { return b_.U8(j); }
  template <std::size_t N>
  bool Is(std::size_t j, const char (&lit)[N]) const {
    return b_.Has(j, N - 1) && std::memcmp(p_ + j, lit, N - 1) == 0;
  }
  bool Is(std::size_t j, std::string_view s) const {
    return b_.Has(j, s.size()) && std::memcmp(p_ + j, s.data(), s.size()) == 0;
  }
  std::string_view View(std::size_t from, std::size_t to) const {
    return std::string_view(p_ + from, to - from);
  }

  // The attributes from j up to the end of the tag ('>' or "/>"), each given to `take` with
  // the name and value; false when they are not in the plainest form or `take` refuses one.
  template <class Take>
  bool Attrs(std::size_t& j, bool& empty, Take&& take) const {
    for (;;) {
      const std::uint8_t c = At(j);
      if (c == '>') {
        ++j;
        empty = false;
        return true;
      }
      if (c == '/') {
        if (At(j + 1) != '>') return false;
        j += 2;
        empty = true;
        return true;
      }
      if (c != ' ') return false;
      const std::size_t a = ++j;
      if (!xmlchars::IsNameStart(At(j))) return false;
      ++j;
      while (xmlchars::kNameChar[At(j)]) ++j;
      const std::size_t nameEnd = j;
      if (At(j) != '=' || At(j + 1) != '"') return false;
      j += 2;
      const std::size_t v = j;
      while (xmlchars::kValuePlain[At(j)]) ++j;
      if (At(j) != '"') return false;
      if (!take(View(a, nameEnd), View(v, j))) return false;
      ++j;
    }
  }

  // Text as it is (plain bytes, and UTF-8 characters when `utf8`) from j up to the end tag
  // `close`, which must follow it; j then past the end tag.
  template <bool utf8, std::size_t N>
  [[gnu::always_inline]] bool Text(std::size_t& j, const char (&close)[N],
                                   std::optional<std::string_view>& text) const {
    const std::size_t s = j;
    while (xmlchars::kPlain[At(j)]) ++j;
    if (utf8 && At(j) >= 0x80 && !Utf8Text(j)) return false;
    if (!Is(j, close)) return false;
    text = View(s, j);
    j += N - 1;
    return true;
  }

 private:
  // Text from the character outside ASCII at j on; false at bytes that are no XML character.
  [[gnu::noinline]] bool Utf8Text(std::size_t& j) const {
    while (At(j) >= 0x80) {
      const std::size_t len = xmlchars::Utf8Char(b_.Data() + j, b_.Size() - j);
      if (len == 0 || len == xmlchars::kCut) return false;
      j += len;
      while (xmlchars::kPlain[At(j)]) ++j;
    }
    return true;
  }

  const char* p_;
  platform::ByteView b_;
};

}  // namespace xlsx
