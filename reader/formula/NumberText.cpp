#include "reader/formula/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Formats.h"

namespace formula {

std::string NumberText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // Fifteen significant digits, rounded once; the exponent is taken after rounding so that
  // 9.999999999999999 becomes 10, not 9.99...
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  const char* p = buf;
  std::string out;
  if (*p == '-') {
    out.push_back('-');
    ++p;
  }
  std::string digits;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits.push_back(*p);
  }
  const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const char decimal = platform::Formats().DecimalSeparator;
  if (exponent >= 15 || exponent < -5) {
    out.push_back(digits[0]);
    if (digits.size() > 1) {
      out.push_back(decimal);
      out.append(digits, 1, std::string::npos);
    }
    out += "E" + std::to_string(exponent);
    return out;
  }
  if (exponent < 0) {
    out += "0";
    out.push_back(decimal);
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= intDigits) {
    out += digits;
    out.append(intDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, intDigits);
    out.push_back(decimal);
    out.append(digits, intDigits, std::string::npos);
  }
  return out;
}

}  // namespace formula
