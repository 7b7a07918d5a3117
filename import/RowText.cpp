#include "import/RowText.h"

namespace imp {

bool IsBlankCellText(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') continue;
    if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
      ++i;
      continue;
    }
    return false;
  }
  return true;
}

std::string_view IdentifierKeyText(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string OneLineText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += ' ';
    } else if (c == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      ++i;  // a C1 control character
      out += ' ';
    } else if (c == 0xE2 && i + 2 < text.size() && text[i + 1] == '\x80' &&
               (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
      i += 2;  // line or paragraph separator
      out += ' ';
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace imp
