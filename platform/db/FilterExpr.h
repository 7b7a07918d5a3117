#pragma once
// Table filters of the one form the program uses:  Field = 'literal'  (a quote inside the
// literal is doubled; a field name with blanks goes in brackets).
#include <string>

namespace db {

struct FilterExpr {
  std::string field;
  std::string literal;  // quotes undoubled
};

// Raises DbError for any other form.
FilterExpr ParseFilter(const std::string& text);

}  // namespace db
