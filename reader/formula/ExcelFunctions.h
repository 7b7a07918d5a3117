#pragma once
// The BIFF built-in function table: function number -> name and operand counts. Formula tokens
// name built-in functions only by number; the decoder turns the number into the name here and,
// for fixed-argument calls, takes MinArgs operands.
#include <array>
#include <cstdint>
#include <string_view>

namespace formula {

struct TExcelFunctions {
  std::uint8_t MinArgs;   // operands of a fixed-argument call; smallest count of a variable list
  std::uint8_t MaxArgs;   // largest count (30 for open-ended lists); informative only
  std::string_view Name;  // upper case, dots as in GET.CELL; a leading digit marks an unassigned
                          // number whose calls carry the function name as first argument
};

inline constexpr int ExcelFunctionCount = 357;  // numbers 0 to 356
extern const std::array<TExcelFunctions, ExcelFunctionCount> ExcelFunctions;

}  // namespace formula
