#pragma once
// The JSON pieces of imppret's output: strings are UTF-8 with JSON escapes, numbers in shortest
// round-trip form. Output lines are built by appending to a std::string.
#include <string>
#include <string_view>

namespace imppret {

void AppendJsonString(std::string& out, std::string_view utf8);
void AppendJsonNumber(std::string& out, double value);  // NaN and infinities become null

}  // namespace imppret
