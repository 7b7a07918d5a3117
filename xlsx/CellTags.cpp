// Cell tags read with every byte checked against the classes of the tag-by-tag reader: a read
// past the end yields 0, which no class holds, so a cut construct is simply not recognised.
#include "xlsx/CellTags.h"

#include <cstdint>
#include <cstring>

#include "platform/ByteView.h"
#include "xlsx/XmlChars.h"

namespace xlsx {
namespace {

using platform::ByteView;
constexpr std::size_t kMaxAttrs = 16;  // a tag with more is read tag by tag
constexpr std::size_t kMaxRest = 512;  // a row tag's rest kept for the next one

class Bytes {
 public:
  Bytes(const char* p, std::size_t n) : p_(p), b_(reinterpret_cast<const std::uint8_t*>(p), n) {}
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

  // Plain text from j up to the end tag `close`, which must follow it; j then past the end tag.
  template <std::size_t N>
  bool Text(std::size_t& j, const char (&close)[N], std::optional<std::string_view>& text) const {
    const std::size_t s = j;
    while (xmlchars::kPlain[At(j)]) ++j;
    if (!Is(j, close)) return false;
    text = View(s, j);
    j += N - 1;
    return true;
  }

 private:
  const char* p_;
  ByteView b_;
};

// A whole cell: the attributes r, s and t, each at most once and no other; then an optional
// <f> and an optional <v> in that order, each with plain text.
CellTag Cell(const Bytes& b) {
  CellTag tag;
  std::size_t j = 2;
  bool empty = false;
  const bool ok = b.Attrs(j, empty, [&](std::string_view name, std::string_view value) {
    if (name.size() != 1) return false;
    std::optional<std::string_view>* into = name[0] == 'r'   ? &tag.r
                                            : name[0] == 's' ? &tag.s
                                            : name[0] == 't' ? &tag.t
                                                             : nullptr;
    if (into == nullptr || into->has_value()) return false;
    *into = value;
    return true;
  });
  if (!ok) return {};
  if (!empty) {
    if (b.Is(j, "<f>")) {
      j += 3;
      if (!b.Text(j, "</f>", tag.formula)) return {};
    }
    if (b.Is(j, "<v>")) {
      j += 3;
      if (!b.Text(j, "</v>", tag.value)) return {};
    }
    if (!b.Is(j, "</c>")) return {};
    j += 4;
  }
  tag.kind = CellTag::Kind::Cell;
  tag.used = j;
  return tag;
}

}  // namespace

// A row's start tag: any attributes, each named once; only r is read.
CellTag CellTagReader::Row(const char* p, std::size_t n) {
  const Bytes b(p, n);
  CellTag tag;
  constexpr std::size_t kValueAt = 8;  // past <row r="
  if (!rowRest_.empty() && b.Is(0, "<row r=\"")) {
    std::size_t j = kValueAt;
    while (xmlchars::kValuePlain[b.At(j)]) ++j;
    if (b.At(j) == '"' && b.Is(j + 1, rowRest_)) {
      tag.r = b.View(kValueAt, j);
      tag.kind = rowRest_.ends_with("/>") ? CellTag::Kind::EmptyRow : CellTag::Kind::Row;
      tag.used = j + 1 + rowRest_.size();
      return tag;
    }
  }
  std::size_t j = 4, count = 0, restAt = 0;
  bool empty = false;
  std::string_view names[kMaxAttrs];
  const bool ok = b.Attrs(j, empty, [&](std::string_view name, std::string_view value) {
    if (count == kMaxAttrs) return false;
    for (std::size_t k = 0; k < count; ++k)
      if (names[k] == name) return false;
    names[count++] = name;
    if (name == "r") {
      tag.r = value;
      if (count == 1) restAt = kValueAt + value.size() + 1;
    }
    return true;
  });
  if (!ok) return {};
  if (restAt > 0 && j - restAt <= kMaxRest) rowRest_.assign(p + restAt, j - restAt);
  tag.kind = empty ? CellTag::Kind::EmptyRow : CellTag::Kind::Row;
  tag.used = j;
  return tag;
}

CellTag CellTagReader::Read(const char* p, std::size_t n) {
  const Bytes b(p, n);
  switch (b.At(1)) {
    case 'c': return Cell(b);
    case 'r': return b.Is(0, "<row") ? Row(p, n) : CellTag{};
    case '/':
      if (!b.Is(0, "</row>")) return {};
      return {CellTag::Kind::RowEnd, 6, {}, {}, {}, {}, {}};
    default: return {};
  }
}

}  // namespace xlsx
