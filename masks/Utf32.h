#pragma once
// UTF-8 <-> code points for the mask parser, which walks characters, not bytes.
#include <string>
#include <string_view>

namespace masks {

// Bytes that do not form valid UTF-8 are taken one by one as the character of the same number,
// so any input decodes and nothing is lost.
std::u32string ToUtf32(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);

}  // namespace masks
