#pragma once
// How the row loop reads the two cells of a price line: what counts as an empty cell, the text
// an identifier is searched by, and the one-line form a cell's text takes in an error line.
#include <string>
#include <string_view>

namespace imp {

// True for a text made only of blanks, tabs, line breaks and no-break spaces (or of nothing):
// such a cell holds no identifier and no price.
bool IsBlankCellText(std::string_view text);

// The identifier as the key search takes it: trailing blanks dropped (alpha values carry
// none), leading blanks and letter case kept.
std::string_view IdentifierKeyText(std::string_view text);

// The text on one line: a line break (CR LF, CR, LF, U+2028, U+2029) and every other control
// character (C0, DEL, C1) becomes one blank, so an error line stays one line.
std::string OneLineText(std::string_view text);

}  // namespace imp
