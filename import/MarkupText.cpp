#include "import/MarkupText.h"

#include "ui/markup/Markup.h"

namespace imp {
namespace {

bool IsCode(char c) {
  return c == '@' || c == '&' || c == '$' || c == '%' || c == '~';
}

}  // namespace

std::string EscapeForMarkup(std::string_view data) {
  return ui::EscapeMarkup(data);
}

std::string MarkupToPlainText(std::string_view markup) {
  std::string out;
  for (std::size_t i = 0; i < markup.size(); ++i) {
    const char c = markup[i];
    if (c == '\\' && i + 1 < markup.size() && IsCode(markup[i + 1])) {
      out += markup[++i];
    } else if (c == '@' || c == '&' || c == '$') {
      while (i + 1 < markup.size() && markup[i + 1] >= '0' && markup[i + 1] <= '9') ++i;
    } else if (c == '%' || c == '~') {
      // Shadow and blink switches have no plain form.
    } else if (c == '\r') {
      out += '\n';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace imp
