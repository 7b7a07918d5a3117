#pragma once
// Conversions between numbers and text with the process-wide formats (decimal separator,
// no thousands separators), as every price of the import goes through them.
#include <string>
#include <string_view>
#include <variant>

namespace imp {

// The general format: up to 15 significant digits, no trailing zeros, no thousands
// separators; fixed notation for magnitudes from 0.0001 up to 15 integer digits, otherwise
// mantissa, "E" and exponent ("1,5E-5", "1E20"). Non-finite values give "NAN", "INF", "-INF".
std::string FormatGeneral(double value);

// Text to number: optional blanks, optional sign, digits, optional decimal separator and
// digits, optional exponent ("E"/"e", optional sign, digits), optional blanks. The part
// before the exponent must not be empty (a lone separator reads as 0); thousands separators
// are refused; a value too large for a double is refused. Never throws.
bool TextToFloat(std::string_view text, double& value);

// True when TextToFloat accepts the text.
bool IsNumber(std::string_view text);

// A cell value as the workbook reader gives it.
using CellValue = std::variant<std::monostate, double, std::string>;

// A text cell unchanged (blanks included); a number in the general format.
std::string CellValueText(const CellValue& value);

}  // namespace imp
