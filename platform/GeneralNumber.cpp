#include "platform/GeneralNumber.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "platform/Formats.h"

namespace platform {

std::string GeneralNumberText(double value, int smallestFixedExponent) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // Fifteen significant digits, correctly rounded, independent of the C locale.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));  // "-d.ddddddddddddddde+XX"
  bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  std::size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos))
    if (c != '.') digits += c;
  int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const char sep = platform::Formats().DecimalSeparator;
  std::string out = negative ? "-" : "";
  if (exponent >= smallestFixedExponent && exponent < 15) {
    if (exponent < 0) {
      out += '0';
      out += sep;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits);
        out += sep;
        out += digits.substr(intDigits);
      }
    }
    return out;
  }
  out += digits[0];
  if (digits.size() > 1) {
    out += sep;
    out += digits.substr(1);
  }
  out += 'E';
  out += std::to_string(exponent);
  return out;
}

}  // namespace platform
