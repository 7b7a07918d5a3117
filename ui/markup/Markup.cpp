#include "ui/markup/Markup.h"

#include <cstddef>

namespace ui {
namespace {

// U+200B in UTF-8: paints nothing, and is neither a digit nor a code character.
constexpr std::string_view kZeroWidthSpace = "\xE2\x80\x8B";

bool IsCodeChar(char c) {
  return c == '@' || c == '&' || c == '$' || c == '%' || c == '~';
}

// Reads the run of digits that starts at `pos` and moves `pos` past it. Returns false when the
// run is empty or its value does not fit a signed 32-bit number; the run is consumed either way.
// The value kept is the low 16 bits.
bool ReadNumber(std::string_view text, std::size_t& pos, unsigned& value) {
  const std::size_t start = pos;
  std::uint64_t v = 0;
  bool fits = true;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (fits) {
      v = v * 10 + unsigned(text[pos] - '0');
      if (v > 0x7FFFFFFFu) fits = false;
    }
    ++pos;
  }
  if (pos == start || !fits) return false;
  value = unsigned(v & 0xFFFFu);
  return true;
}

struct Parser {
  MarkupFont font;
  bool shadow = false;
  bool blink = false;
  std::vector<MarkupLine> lines;

  MarkupSegment Fresh() const { return MarkupSegment{{}, font, shadow, blink}; }
  MarkupSegment& Last() { return lines.back().back(); }

  // After a change of state: a segment that already holds text is closed and a new one opened
  // with the new state; a still empty one simply takes the new state.
  void StateChanged() {
    if (!Last().Text.empty())
      lines.back().push_back(Fresh());
    else
      Last() = Fresh();
  }
};

}  // namespace

std::vector<MarkupLine> ParseMarkup(std::string_view caption, const MarkupFont& startFont) {
  Parser p;
  p.font = startFont;
  if (caption.empty()) return {};
  p.lines.push_back(MarkupLine{p.Fresh()});

  std::size_t pos = 0;
  while (pos < caption.size()) {
    const char c = caption[pos++];
    switch (c) {
      case '\r': p.lines.push_back(MarkupLine{p.Fresh()}); break;
      case '\\':
        if (pos < caption.size() && IsCodeChar(caption[pos]))
          p.Last().Text += caption[pos++];
        else
          p.Last().Text += '\\';
        break;
      case '@':
      case '&':
      case '$': {
        unsigned n = 0;
        if (!ReadNumber(caption, pos, n)) break;
        if (c == '@') {
          if (n < unsigned(kMarkupColorCount)) p.font.Color = kMarkupColors[n];
        } else if (c == '&') {
          p.font.Size = int(n);
        } else {
          static constexpr unsigned kStyles[] = {0, fsItalic, fsBold, fsBold | fsItalic};
          if (n < 4) p.font.Style = kStyles[n];
        }
        p.StateChanged();
        break;
      }
      case '%':
        p.shadow = !p.shadow;
        p.StateChanged();
        break;
      case '~':
        p.blink = !p.blink;
        p.StateChanged();
        break;
      default: p.Last().Text += c; break;
    }
  }
  return std::move(p.lines);
}

std::string EscapeMarkup(std::string_view data) {
  std::string out;
  out.reserve(data.size() + 8);
  // Data that starts with a digit would extend the number of a code just before it ("@9" and
  // "8 preturi" make colour 98); a zero-width space ends the code's number first.
  if (!data.empty() && data.front() >= '0' && data.front() <= '9') out += kZeroWidthSpace;
  for (char c : data) {
    if (IsCodeChar(c)) out += '\\';
    out += c;
  }
  // A backslash at the very end would take the first character of whatever markup follows as
  // escaped. There is no literal-backslash escape, so a zero-width space (U+200B) is placed
  // after it: it keeps the backslash literal and paints nothing.
  if (!out.empty() && out.back() == '\\') out += kZeroWidthSpace;
  return out;
}

std::string MarkupPlainText(std::string_view caption) {
  std::string out;
  const auto lines = ParseMarkup(caption, MarkupFont{});
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += '\n';
    for (const auto& seg : lines[i]) out += seg.Text;
  }
  // The zero-width spaces that EscapeMarkup adds are not part of the text.
  for (std::size_t at = out.find(kZeroWidthSpace); at != std::string::npos;
       at = out.find(kZeroWidthSpace, at))
    out.erase(at, kZeroWidthSpace.size());
  return out;
}

}  // namespace ui
