#pragma once
// The inline markup of emphasised texts. A caption is walked once into lines of segments; each
// segment carries the font state (size, style, colour) and the shadow and blink flags that were
// current when its text was collected:
//   "@n" colour n of kMarkupColors (n above 36 leaves the colour as it was)
//   "&n" point size n          "$n" style: 0 regular, 1 italic, 2 bold, 3 bold italic
//   "%"  toggles the shadow    "~"  toggles blinking
//   CR   ends the line         "\"  makes the next code character literal
// Plain C++: the import run, the command-line tool and the fuzzers use it without a display.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/markup/Colors.h"

namespace ui {

// Font style bits, as a set.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct MarkupFont {
  // Point size set by "&n"; kInheritedSize keeps the size of the font painting started with.
  static constexpr int kInheritedSize = -1;
  int Size = kInheritedSize;
  unsigned Style = 0;  // TFontStyle bits
  TColor Color = clBlack;
  bool operator==(const MarkupFont&) const = default;
};

struct MarkupSegment {
  std::string Text;
  MarkupFont Font;
  bool Shadow = false;
  bool Blink = false;
};

using MarkupLine = std::vector<MarkupSegment>;

// Parses `caption` starting from `startFont` with shadow and blink off. An empty caption gives
// no lines; any other gives at least one line, each with at least one segment.
std::vector<MarkupLine> ParseMarkup(std::string_view caption, const MarkupFont& startFont);

// Makes data safe to join into markup: a backslash goes before every "@", "&", "$", "%" and
// "~", so a file name such as "Pret 10%.xls" shows as written. Data that starts with a digit
// or ends with a backslash gets an invisible zero-width space (U+200B) before or after it, so
// it neither extends the number of a code in front nor escapes a code behind. Carriage
// returns are kept (they still break the line).
std::string EscapeMarkup(std::string_view data);

// The text a caption shows, codes and the escaper's zero-width spaces removed, lines joined
// with "\n": for the command-line tool and tests.
std::string MarkupPlainText(std::string_view caption);

}  // namespace ui
