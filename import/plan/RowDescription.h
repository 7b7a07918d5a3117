#pragma once
// Reads, from the tables the run has open, what a change row needs to say about the value the
// run is about to write. Only reads; leaves the cursor where it found it.
#include <string>

#include "import/plan/ChangeRow.h"
#include "platform/db/Table.h"

namespace imp {

struct PriceSource {
  int Sheet = 0, Row = 0;  // 1-based
  std::string Identifier;
  std::string CellText;
  PriceCellKind CellKind = PriceCellKind::Number;
  double CellValue = 0;
  double Written = 0;
};

StoredPrice ReadStoredPrice(const db::Field& field);

// The article row: `articles` stands on the article found for `source.Identifier` in its
// current index. Without `details` the name, the producer and the look for a second article
// with the same key are left out.
ChangeRow DescribeArticleChange(db::Table& articles, const db::Field& price,
                                const PriceSource& source, bool details = true);

// Adds the multiple-price part to `row`: `value` is the row's price field (of an updated row)
// or nullptr for a row about to be added.
void DescribeMultiPriceChange(ChangeRow& row, const std::string& field, const db::Field* value,
                              int indexLocal);

}  // namespace imp
