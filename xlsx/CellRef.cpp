// Cell references parsed with their bounds checked before any arithmetic can overflow.
#include "xlsx/CellRef.h"

namespace xlsx {

RefResult ParseCellRef(std::string_view s, std::uint32_t& row, std::uint32_t& col) {
  std::size_t i = 0;
  if (i < s.size() && s[i] == '$') ++i;
  std::uint64_t c = 0;
  const std::size_t lettersAt = i;
  bool big = false;
  for (; i < s.size(); ++i) {
    char ch = s[i];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    if (c <= kMaxCols)
      c = c * 26 + static_cast<std::uint64_t>(ch - 'A' + 1);
    else
      big = true;
  }
  if (i == lettersAt) return RefResult::Malformed;
  if (i < s.size() && s[i] == '$') ++i;
  std::uint32_t r = 0;
  const std::size_t digitsAt = i;
  if (!ParseRowNumber(s.substr(i), r)) {
    for (; i < s.size(); ++i)
      if (s[i] < '0' || s[i] > '9') return RefResult::Malformed;
    return i == digitsAt ? RefResult::Malformed : RefResult::OutOfRange;
  }
  if (big || c > kMaxCols) return RefResult::OutOfRange;
  row = r;
  col = static_cast<std::uint32_t>(c - 1);
  return RefResult::Ok;
}

bool ParseRowNumber(std::string_view s, std::uint32_t& row) {
  if (s.empty() || s.size() > 8) return false;
  std::uint32_t v = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + static_cast<std::uint32_t>(ch - '0');
  }
  if (v == 0 || v > kMaxRows) return false;
  row = v - 1;
  return true;
}

}  // namespace xlsx
