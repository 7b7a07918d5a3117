#include "calculator/engine/CalculatorNumbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/Formats.h"

namespace calculator {
namespace {

char Separator() {
  return platform::Formats().DecimalSeparator;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Trailing zeros of a fraction, then a bare separator, go; "-0" becomes "0".
void TrimFraction(std::string& text, char separator) {
  if (text.find(separator) == std::string::npos) return;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == separator) text.pop_back();
  if (text == "-0") text = "0";
}

}  // namespace

bool IsNumberChar(char c) {
  return IsDigit(c) || c == Separator();
}

std::string NumberToDisplayText(Number value) {
  if (!std::isfinite(value)) return "0";  // evaluation never lets one through
  // The largest long double has 4933 integer digits.
  std::string text(5000, '\0');
  auto [end, ec] =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 8);
  if (ec != std::errc()) return "0";
  text.resize(static_cast<std::size_t>(end - text.data()));
  const char separator = Separator();
  for (char& c : text)
    if (c == '.') c = separator;
  TrimFraction(text, separator);
  return text;
}

std::string NumberToGeneralText(Number value) {
  if (!std::isfinite(value) || value == 0) return "0";
  // 15 significant digits in scientific form first: "d.dddddddddddddde+XX".
  char buffer[64];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  if (ec != std::errc()) return "0";
  std::string_view sci(buffer, static_cast<std::size_t>(end - buffer));
  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const std::size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e))
    if (IsDigit(c)) digits += c;
  int exponent = 0;
  std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = negative ? "-" : "";
  const int digitCount = static_cast<int>(digits.size());
  if (exponent < 0) {
    text += '0';
    text += Separator();
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else if (exponent + 1 >= digitCount) {
    text += digits;
    text.append(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
  } else {
    text += digits.substr(0, static_cast<std::size_t>(exponent + 1));
    text += Separator();
    text += digits.substr(static_cast<std::size_t>(exponent + 1));
  }
  return text;
}

std::optional<Number> ReadNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const char separator = Separator();
  std::string plain;
  plain.reserve(text.size() + 1);
  bool seenSeparator = false, seenDigit = false;
  for (char c : text) {
    if (IsDigit(c)) {
      seenDigit = true;
      plain += c;
    } else if (c == separator && !seenSeparator) {
      seenSeparator = true;
      plain += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  if (plain.back() == '.') plain.pop_back();  // "5," reads as 5
  if (plain.front() == '.') plain.insert(plain.begin(), '0');
  Number value = 0;
  auto [end, ec] =
      std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

Number RoundTo2Decimals(Number value) {
  value += value >= 0 ? 1e-10L : -1e-10L;
  Number integerPart = 0;
  const Number fraction = std::modf(value, &integerPart);
  return std::round(fraction * 100) / 100 + integerPart;
}

}  // namespace calculator
