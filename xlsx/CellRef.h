#pragma once
// Cell references of a sheet ("B7", "$B$7") and ranges ("A1:F120"), held to the largest sheet
// a workbook may have: 1,048,576 rows and 16,384 columns (A to XFD).
#include <cstdint>
#include <string_view>

namespace xlsx {

inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr std::uint32_t kMaxCols = 16384;

enum class RefResult { Ok, Malformed, OutOfRange };

// 0-based row and column. Out of range: a row past kMaxRows or a column past XFD.
RefResult ParseCellRef(std::string_view text, std::uint32_t& row, std::uint32_t& col);
// The column letters alone ("XFD"), or the row number alone; false when malformed or too big.
bool ParseRowNumber(std::string_view text, std::uint32_t& row);

}  // namespace xlsx
