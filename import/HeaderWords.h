#pragma once
// The words by which a supplier's header row names its columns, kept in one table, and the
// comparison that ignores diacritics, case, blanks and punctuation ("PREȚ FĂRĂ TVA",
// "Pret_fara_tva" and "pret fara TVA." all read the same).
#include <string>
#include <string_view>
#include <vector>

namespace imp {

enum class HeaderKind {
  None,
  IdCode,     // a code column: matched against codes first
  IdName,     // a name or description column
  Price,      // a price that is not named as the sale or list price
  SalePrice,  // the sale or list price, preferred among several price columns
};

// The text folded for comparison: letters without diacritics in lower case and digits, every
// other character dropped. `boundaries` (when given) gets one flag per output character: true
// where a word starts (after a dropped character, at a lower-to-upper case change or between
// letters and digits), so "CodArticol" and "Cod articol" both split after "cod".
std::string FoldHeaderText(std::string_view utf8, std::vector<bool>* boundaries = nullptr);

// What a header cell names: the longest word of the table that the cell's folded text starts
// with, ending on a word boundary ("Pret vanzare (lei)" is a sale price, "Preturi" is nothing).
HeaderKind ClassifyHeader(std::string_view utf8);

inline bool IsIdentifierKind(HeaderKind k) {
  return k == HeaderKind::IdCode || k == HeaderKind::IdName;
}
inline bool IsPriceKind(HeaderKind k) {
  return k == HeaderKind::Price || k == HeaderKind::SalePrice;
}

}  // namespace imp
