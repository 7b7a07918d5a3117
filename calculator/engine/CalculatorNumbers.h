#pragma once
// Conversions between the calculator's numbers and text. Every conversion uses the
// process-wide decimal separator (platform/Formats.h), never the C locale, so that the
// window, the command-line tool and the tests agree character for character.
#include <optional>
#include <string>
#include <string_view>

namespace calculator {

// The calculator computes in extended precision, like its memory register.
using Number = long double;

// True for the characters that make up a number inside an expression: digits and the
// process-wide decimal separator.
bool IsNumberChar(char c);

// Fixed notation with 8 decimals, trailing zeros and a bare separator removed:
// 2.5 gives "2,5" and 100 gives "100" with a comma separator. Used for the result panel and
// for every intermediate value put back into an expression. Negative zero shows as "0".
std::string NumberToDisplayText(Number value);

// General format: at most 15 significant digits, trailing zeros removed. Always positional,
// because the expression box has no way to read an exponent back.
std::string NumberToGeneralText(Number value);

// Reads an optional sign followed by digits with at most one decimal separator (at least one
// digit). Anything else, or a value beyond the range of Number, gives nothing.
std::optional<Number> ReadNumber(std::string_view text);

// Rounds to 2 decimals, half away from zero, after nudging the value by 1e-10 away from zero
// so that amounts like 0,125 stored a hair below their decimal value still round up.
Number RoundTo2Decimals(Number value);

}  // namespace calculator
