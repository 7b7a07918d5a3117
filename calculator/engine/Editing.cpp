#include "calculator/engine/Editing.h"

#include <algorithm>

#include "calculator/engine/CalculatorNumbers.h"
#include "platform/Formats.h"

namespace calculator {
namespace {

bool IsOperator(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/';
}

}  // namespace

bool PutInHistory(std::vector<std::string>& history, std::string_view expression) {
  while (!expression.empty() && static_cast<unsigned char>(expression.front()) <= ' ')
    expression.remove_prefix(1);
  while (!expression.empty() && expression.back() == ' ') expression.remove_suffix(1);
  if (expression.empty()) return false;
  auto found = std::find(history.begin(), history.end(), expression);
  if (found != history.end()) {
    if (found == history.begin()) return false;  // already the newest
    history.erase(found);
  }
  if (history.size() >= kHistoryLimit) history.resize(kHistoryLimit - 1);
  history.insert(history.begin(), std::string(expression));
  return true;
}

std::string ClearEntry(std::string_view expression) {
  std::string text(expression);
  const std::size_t before = text.size();
  while (!text.empty() && IsOperator(text.back())) text.pop_back();
  if (text.size() != before) return text;
  while (!text.empty() && (IsNumberChar(text.back()) || text.back() == '.')) text.pop_back();
  if (!text.empty() && IsOperator(text.back())) text.pop_back();
  return text;
}

std::string WithoutThousandSeparators(std::string_view text) {
  const char separator = platform::Formats().ThousandSeparator;
  std::string result;
  for (char c : text)
    if (c != separator) result += c;
  return result;
}

}  // namespace calculator
