#pragma once
// Plain-text rules of the expression box that do not depend on the window: the history list,
// clear entry and the thousands separators dropped from a pasted value.
#include <string>
#include <string_view>
#include <vector>

namespace calculator {

// The most expressions the history keeps.
inline constexpr std::size_t kHistoryLimit = 32;

// Puts an expression at the top of the history (newest first). The text is trimmed (leading
// control characters and blanks, trailing blanks); an empty text changes nothing. An entry
// already in the list moves to the top instead of appearing twice; a full list drops its
// oldest entry. Returns true when the list changed.
bool PutInHistory(std::vector<std::string>& history, std::string_view expression);

// Clear entry: trailing operators go; when there are none, the trailing number goes together
// with the operator before it. "12+34" gives "12", "12+" gives "12", "5*-" gives "5".
std::string ClearEntry(std::string_view expression);

// The text with every thousands separator (process-wide) removed: "1.234,50" gives "1234,50".
std::string WithoutThousandSeparators(std::string_view text);

}  // namespace calculator
