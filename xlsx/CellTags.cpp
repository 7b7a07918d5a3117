// Cell tags read straight from the bytes; a construct cut by their end is not recognised.
#include "xlsx/CellTags.h"

#include <cstdint>

#include "xlsx/PlainTag.h"
#include "xlsx/XmlChars.h"

namespace xlsx {
namespace {

using Bytes = PlainTag;
constexpr std::size_t kMaxAttrs = 16;  // a tag with more is read tag by tag
constexpr std::size_t kMaxRest = 512;  // a row tag's rest kept for the next one

// A whole cell: the attributes r, s and t, each at most once and no other; then an optional
// <f> and an optional <v> in that order, each with plain ASCII text (numbers, mostly).
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
      if (!b.Text<false>(j, "</f>", tag.formula)) return {};
    }
    if (b.Is(j, "<v>")) {
      j += 3;
      if (!b.Text<false>(j, "</v>", tag.value)) return {};
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
