#pragma once
// The general number format of workbook cells and prices: up to 15 significant digits,
// correctly rounded once, trailing zeros dropped, the process-wide decimal separator, no
// thousands separators. Integer parts over 15 digits and magnitudes below 10^smallestFixed
// take the scientific form ("1E20", "1,5E-7"). Non-finite values give "NAN", "INF", "-INF".
#include <string>

namespace platform {

std::string GeneralNumberText(double value, int smallestFixedExponent);

}  // namespace platform
