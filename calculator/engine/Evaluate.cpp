#include "calculator/engine/Evaluate.h"

#include <cmath>
#include <vector>

namespace calculator {
namespace {

bool IsOperator(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/';
}
bool IsSign(char c) {
  return c == '+' || c == '-';
}

// Carries the first error out of the nested steps.
struct Failure {
  const char* Message;
};

Number Checked(Number value) {
  if (!std::isfinite(value)) throw Failure{kUnreadableNumber};
  return value;
}

// A sum of signed terms: "5--6", "-3+4,5". Terms are added from the right, each remaining
// tail being a sum of its own.
Number EvaluateSum(std::string_view input) {
  std::string text(input);
  std::size_t pos = 0, end = text.size();  // the unread tail is text[pos, end)
  std::vector<Number> terms;
  for (;;) {
    if (end > pos && IsOperator(text[end - 1])) --end;
    if (end - pos >= 2) {
      const char a = text[pos], b = text[pos + 1];
      if (a == b && IsSign(a)) {
        pos += 2;  // "--5" and "++5" are 5
      } else if (IsSign(a) && IsSign(b)) {
        text[++pos] = '-';  // "-+5" and "+-5" are -5
      }
    }
    std::size_t termEnd = pos;
    if (termEnd < end && IsSign(text[termEnd])) ++termEnd;
    while (termEnd < end && IsNumberChar(text[termEnd])) ++termEnd;
    const std::optional<Number> term =
        ReadNumber(std::string_view(text).substr(pos, termEnd - pos));
    if (!term) throw Failure{kUnreadableNumber};
    terms.push_back(*term);
    pos = termEnd;
    if (pos == end) break;
    // What follows a term must be the sign of the next one; anything else cannot be read.
    if (!IsSign(text[pos])) throw Failure{kUnreadableNumber};
  }
  Number sum = 0;
  for (auto it = terms.rbegin(); it != terms.rend(); ++it) sum = Checked(*it + sum);
  return sum;
}

// Multiplications and divisions, left to right, each result put back as display text.
Number EvaluateProducts(std::string text) {
  for (;;) {
    const std::size_t op = text.find_first_of("*/");
    if (op == std::string::npos) return EvaluateSum(text);
    if (op + 1 == text.size()) throw Failure{kMissingOperand};
    if (op == 0 || IsOperator(text[op - 1])) throw Failure{kCheckOperators};
    if (text[op + 1] == '*' || text[op + 1] == '/') throw Failure{kCheckOperators};

    std::size_t leftStart = op;
    while (leftStart > 0 && IsNumberChar(text[leftStart - 1])) --leftStart;
    std::size_t rightEnd = op + 1;
    if (IsSign(text[rightEnd])) ++rightEnd;
    while (rightEnd < text.size() && IsNumberChar(text[rightEnd])) ++rightEnd;

    const Number left = EvaluateSum(std::string_view(text).substr(leftStart, op - leftStart));
    const Number right = EvaluateSum(std::string_view(text).substr(op + 1, rightEnd - op - 1));
    Number value = 0;
    if (text[op] == '*') {
      value = left * right;
    } else {
      if (right == 0) throw Failure{kDivisionByZero};
      value = left / right;
    }
    text = text.substr(0, leftStart) + NumberToDisplayText(Checked(value)) + text.substr(rightEnd);
  }
}

}  // namespace

Evaluation Evaluate(std::string_view input) {
  std::string text;
  text.reserve(input.size());
  for (char c : input)
    if (c != ' ') text += c;
  if (text.empty()) return {};
  try {
    // Innermost group first: the nearest "(" before the first ")".
    for (;;) {
      const std::size_t close = text.find(')');
      if (close == std::string::npos) {
        if (text.find('(') != std::string::npos) throw Failure{kUnclosedParenthesis};
        break;
      }
      const std::size_t open = close == 0 ? std::string::npos : text.rfind('(', close - 1);
      if (open == std::string::npos) throw Failure{kTooManyClosed};
      const Number inner = EvaluateProducts(text.substr(open + 1, close - open - 1));
      text = text.substr(0, open) + NumberToDisplayText(inner) + text.substr(close + 1);
    }
    return {EvaluateProducts(std::move(text)), {}};
  } catch (const Failure& failure) {
    return {0, failure.Message};
  }
}

}  // namespace calculator
