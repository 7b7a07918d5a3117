#include "import/HeaderWords.h"

#include <cstdint>

#include "platform/AsciiCase.h"

namespace imp {
namespace {

struct HeaderWord {
  const char* text;  // as a user would type it; folded before comparing
  HeaderKind kind;
};

// The one table of header words. Longer entries win over their prefixes, so "pret vanzare"
// decides before "pret".
constexpr HeaderWord kHeaderWords[] = {
    {"cod", HeaderKind::IdCode},
    {"cod articol", HeaderKind::IdCode},
    {"cod produs", HeaderKind::IdCode},
    {"cod extern", HeaderKind::IdCode},
    {"cod intern", HeaderKind::IdCode},
    {"cod furnizor", HeaderKind::IdCode},
    {"cod bare", HeaderKind::IdCode},
    {"ean", HeaderKind::IdCode},
    {"code", HeaderKind::IdCode},
    {"sku", HeaderKind::IdCode},
    {"item", HeaderKind::IdCode},
    {"articol", HeaderKind::IdName},
    {"produs", HeaderKind::IdName},
    {"denumire", HeaderKind::IdName},
    {"descriere", HeaderKind::IdName},
    {"description", HeaderKind::IdName},
    {"pret", HeaderKind::Price},
    {"pret vanzare", HeaderKind::SalePrice},
    {"pret de vanzare", HeaderKind::SalePrice},
    {"pret lista", HeaderKind::SalePrice},
    {"pret de lista", HeaderKind::SalePrice},
    {"pret unitar", HeaderKind::Price},
    {"pret fara tva", HeaderKind::Price},
    {"pret cu tva", HeaderKind::Price},
    {"valoare", HeaderKind::Price},
    {"price", HeaderKind::Price},
    {"unit price", HeaderKind::Price},
    {"list price", HeaderKind::SalePrice},
    {"sale price", HeaderKind::SalePrice},
    {"sales price", HeaderKind::SalePrice},
    {"selling price", HeaderKind::SalePrice},
};

// Base letters of U+00C0..U+017F, '.' where the code point is no letter with a base.
constexpr const char* kLatin1Base =
    "AAAAAAACEEEEIIII"   // C0
    "DNOOOOO.OUUUUY.s"   // D0
    "aaaaaaaceeeeiiii"   // E0
    "dnooooo.ouuuuy.y"   // F0
    "AaAaAaCcCcCcCcDd"   // 100
    "DdEeEeEeEeEeGgGg"   // 110
    "GgGgHhHhIiIiIiIi"   // 120
    "IiJjJjKkkLlLlLlL"   // 130
    "lLlNnNnNnnNnOoOo"   // 140
    "OoOoRrRrRrSsSsSs"   // 150
    "SsTtTtTtUuUuUuUu"   // 160
    "UuUuWwYyYZzZzZzs";  // 170

// One code point of well-formed UTF-8 at `i`, advancing it; U+FFFD for a broken sequence
// (which then folds to nothing).
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  if (b0 < 0x80) return b0;
  int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = b0 & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return 0xFFFD;
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (b & 0x3F);
    ++i;
  }
  return cp;
}

// The ASCII base letter of a Latin letter (upper case stays upper), 0 for anything else.
char BaseLetter(char32_t cp) {
  if (cp < 0x80) {
    const char c = static_cast<char>(cp);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if (cp >= 0xC0 && cp <= 0x17F) {
    const char c = kLatin1Base[cp - 0xC0];
    return c == '.' ? 0 : c;
  }
  switch (cp) {  // the comma-below letters of Romanian
    case 0x218: return 'S';
    case 0x219: return 's';
    case 0x21A: return 'T';
    case 0x21B: return 't';
    default: return 0;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

}  // namespace

std::string FoldHeaderText(std::string_view utf8, std::vector<bool>* boundaries) {
  std::string out;
  if (boundaries) boundaries->clear();
  bool gap = true;
  char previous = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const char c = BaseLetter(NextCodePoint(utf8, i));
    if (c == 0) {
      gap = true;
      continue;
    }
    const bool caseChange = previous != 0 && !IsUpper(previous) && !IsDigit(previous) && IsUpper(c);
    const bool digitChange = previous != 0 && IsDigit(previous) != IsDigit(c);
    if (boundaries) boundaries->push_back(gap || caseChange || digitChange);
    out += platform::LowerAscii(c);
    previous = c;
    gap = false;
  }
  return out;
}

HeaderKind ClassifyHeader(std::string_view utf8) {
  std::vector<bool> boundaries;
  const std::string folded = FoldHeaderText(utf8, &boundaries);
  HeaderKind best = HeaderKind::None;
  std::size_t bestLength = 0;
  for (const HeaderWord& word : kHeaderWords) {
    const std::string w = FoldHeaderText(word.text);
    if (w.size() <= bestLength || folded.compare(0, w.size(), w) != 0) continue;
    if (w.size() < folded.size() && !boundaries[w.size()]) continue;
    best = word.kind;
    bestLength = w.size();
  }
  return best;
}

}  // namespace imp
