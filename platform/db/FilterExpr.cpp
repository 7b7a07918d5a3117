#include "platform/db/FilterExpr.h"

#include "platform/db/DbError.h"

namespace db {

FilterExpr ParseFilter(const std::string& text) {
  auto refuse = [&]() -> FilterExpr {
    throw DbError("Filtrul \"" + text + "\" nu este de forma Camp = 'valoare'");
  };
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  FilterExpr e;
  skipBlanks();
  if (i < text.size() && text[i] == '[') {
    std::size_t close = text.find(']', i + 1);
    if (close == std::string::npos) return refuse();
    e.field = text.substr(i + 1, close - i - 1);
    i = close + 1;
  } else {
    while (i < text.size()) {
      auto c = static_cast<unsigned char>(text[i]);
      bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '_' || c >= 0x80;
      if (!word) break;
      e.field.push_back(text[i++]);
    }
  }
  if (e.field.empty()) return refuse();
  skipBlanks();
  if (i >= text.size() || text[i] != '=') return refuse();
  ++i;
  skipBlanks();
  if (i >= text.size() || text[i] != '\'') return refuse();
  ++i;
  for (;;) {
    if (i >= text.size()) return refuse();  // unterminated literal
    if (text[i] == '\'') {
      if (i + 1 < text.size() && text[i + 1] == '\'') {
        e.literal.push_back('\'');
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    e.literal.push_back(text[i++]);
  }
  skipBlanks();
  if (i != text.size()) return refuse();
  return e;
}

}  // namespace db
