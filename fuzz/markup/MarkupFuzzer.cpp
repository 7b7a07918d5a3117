// Any byte string is a caption: parsing never fails, and escaped data always reads back as
// written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/markup/Markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto lines = ui::ParseMarkup(text, ui::MarkupFont{});
  std::size_t chars = 0;
  for (const auto& line : lines) {
    if (line.empty()) std::abort();  // every line has a segment
    for (const auto& seg : line) chars += seg.Text.size();
  }
  if (chars > text.size()) std::abort();  // output text never exceeds the input

  // Data joined through the escaper shows exactly, between two codes.
  const std::string caption = "@9" + ui::EscapeMarkup(text) + "@0.";
  std::string shown;
  const auto joined = ui::ParseMarkup(caption, ui::MarkupFont{});
  for (std::size_t i = 0; i < joined.size(); ++i) {
    if (i) shown += '\r';
    for (const auto& seg : joined[i])
      if (seg.Font.Color == ui::clRed) shown += seg.Text;
  }
  const std::string zwsp = "\xE2\x80\x8B";
  std::string expected = text;
  if (!text.empty() && text.front() >= '0' && text.front() <= '9') expected = zwsp + expected;
  if (!text.empty() && text.back() == '\\') expected += zwsp;
  if (shown != expected) std::abort();
  if (joined.back().back().Text != "." || joined.back().back().Font.Color != ui::clBlack)
    std::abort();
  return 0;
}
