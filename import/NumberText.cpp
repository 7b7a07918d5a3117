#include "import/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/Formats.h"
#include "platform/GeneralNumber.h"

namespace imp {

std::string FormatGeneral(double value) {
  return platform::GeneralNumberText(value, -4);
}

bool TextToFloat(std::string_view text, double& value) {
  const char sep = platform::Formats().DecimalSeparator;
  std::size_t i = 0, n = text.size();
  auto isDigit = [&](std::size_t k) { return k < n && text[k] >= '0' && text[k] <= '9'; };
  while (i < n && text[i] == ' ') ++i;

  // Rebuild the number in the form from_chars takes: "-ddd.ddde-dd".
  std::string plain;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  std::size_t mantissaStart = i;
  long long intDigits = 0;  // significant digits before the separator
  bool seenNonZero = false;
  long long leadingFractionZeros = 0;
  std::string mantissa;
  while (isDigit(i)) {
    if (text[i] != '0') seenNonZero = true;
    if (seenNonZero) ++intDigits;
    mantissa += text[i++];
  }
  if (i < n && text[i] == sep) {
    mantissa += '.';
    ++i;
    while (isDigit(i)) {
      if (!seenNonZero && text[i] == '0') ++leadingFractionZeros;
      if (text[i] != '0') seenNonZero = true;
      mantissa += text[i++];
    }
  }
  if (i == mantissaStart) return false;  // nothing before the exponent
  if (mantissa == ".")
    mantissa = "0";
  else if (mantissa.front() == '.')
    mantissa.insert(mantissa.begin(), '0');
  if (mantissa.back() == '.') mantissa += '0';
  plain += mantissa;

  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool expNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    if (!isDigit(i)) return false;
    while (isDigit(i)) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (expNegative) exponent = -exponent;
    plain += 'e';
    plain += std::to_string(exponent);
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return false;

  double parsed = 0;
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
  if (end != plain.data() + plain.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Out of range is either too large (not a number) or too small (reads as zero).
    long long magnitude =
        seenNonZero ? (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent : 0;
    if (magnitude > 0) return false;
    parsed = plain.front() == '-' ? -0.0 : 0.0;
  } else if (ec != std::errc()) {
    return false;
  }
  if (std::isinf(parsed)) return false;
  value = parsed;
  return true;
}

bool IsNumber(std::string_view text) {
  double ignored = 0;
  return TextToFloat(text, ignored);
}

std::string CellValueText(const CellValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<double>(&value)) return FormatGeneral(*number);
  return std::string();
}

}  // namespace imp
