#pragma once
// The cell table of a worksheet as writers nearly always put it, recognised straight from the
// bytes: a row's start or end tag, and a whole cell with its attributes, formula and value, each
// in its plainest form (one blank before each attribute, values in double quotes, no other white
// space inside the tags, no prefixes, text without references or markup). Anything not in that
// form, or cut by the end of the bytes, is not recognised, and is read tag by tag instead.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace xlsx {

struct CellTag {
  enum class Kind { None, Row, EmptyRow, RowEnd, Cell };
  Kind kind = Kind::None;
  std::size_t used = 0;                            // the bytes of the construct
  std::optional<std::string_view> r, s, t;         // a row's r; a cell's one-letter attributes
  std::optional<std::string_view> formula, value;  // a cell's <f> and <v> texts
};

// Reads one construct at a time. A sheet's row tags mostly differ only in their r: the rest of
// the last row tag that began with r and was read in full is kept, and a row tag whose rest is
// byte for byte the same is known to be well-formed without reading that rest again.
class CellTagReader {
 public:
  // What starts at the '<' at p[0] of the n bytes at p.
  CellTag Read(const char* p, std::size_t n);

 private:
  CellTag Row(const char* p, std::size_t n);
  std::string rowRest_;  // after the r value's closing quote, up to the end of the tag
};

}  // namespace xlsx
