#pragma once
// The calculator's expression evaluation. Parentheses are resolved innermost first, then
// multiplications and divisions left to right, then the sum of signed terms. Every
// intermediate value is put back into the expression as display text (8 decimals), so
// 1/3*3 gives 0,99999999, the way an accountant reading the tape would compute it.
#include <string>
#include <string_view>

#include "calculator/engine/CalculatorNumbers.h"

namespace calculator {

// The six messages an evaluation can end with, shown as they stand in the error label.
inline constexpr const char* kDivisionByZero = "Impartire la zero !...";
inline constexpr const char* kUnreadableNumber = ".?.";
inline constexpr const char* kMissingOperand = "...??...";
inline constexpr const char* kCheckOperators = "Verifica operatorii !...";
inline constexpr const char* kUnclosedParenthesis = "Nu ai inchis parantezele !...";
inline constexpr const char* kTooManyClosed = "Ai inchis prea multe paranteze !...";

// The longest expression the expression box holds.
inline constexpr std::size_t kMaxExpressionLength = 255;

struct Evaluation {
  Number Value = 0;
  std::string Error;  // one of the six messages, empty when the value is good
  bool Ok() const { return Error.empty(); }
};

// Evaluates `text`. Spaces are ignored; an empty text gives 0. The first error stops the
// evaluation. A value too large to hold gives kUnreadableNumber.
Evaluation Evaluate(std::string_view text);

}  // namespace calculator
