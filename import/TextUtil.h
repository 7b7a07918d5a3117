#pragma once
// Small text helpers of the import: ASCII case folding and the trimming rules it uses.
#include <string>
#include <string_view>

namespace imp {

// Drops leading and trailing blanks and tabs.
std::string_view TrimBlanks(std::string_view s);
// Drops leading and trailing characters up to and including the blank (control characters).
std::string_view TrimControl(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view s);

}  // namespace imp
