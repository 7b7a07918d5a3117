#pragma once
// Numbers of formula constants as text: general format with at most 15 significant digits,
// trailing zeros dropped, the process-wide decimal separator and no thousands separator;
// scientific form ("1E20", "1,5E-7") for integer parts over 15 digits and magnitudes below
// 0.00001.
#include <string>

namespace formula {

std::string NumberText(double value);

}  // namespace formula
