#pragma once
// One value the import run writes (or, in a dry run, would write), described before the write:
// where it came from, the article it goes to, the value it replaces and what it becomes. The
// run hands every such row to an observer; the change plan, the change report and the undo
// journal are all built from these rows.
#include <cstdint>
#include <string>

namespace imp {

// How the price cell held its value, as far as the workbook reader can tell.
enum class PriceCellKind { Number, Text, Date, Boolean, FormulaText };

enum class MultiPriceAction { None, Updated, Added };

// A stored price: blank or a number.
struct StoredPrice {
  bool Null = true;
  double Value = 0;
};

struct ChangeRow {
  int Sheet = 0;  // 1-based, as in the error lines
  int Row = 0;
  std::int32_t ArticleCode = 0;
  std::string Identifier;  // as read from the identifier cell
  std::string Name;        // "Denumire"
  std::string Producer;    // "Producator"
  bool Ambiguous = false;  // the identifier matches more than one article; the first is updated

  // The price as the cell gave it, and the value written. They differ only when a price rule
  // turns the one into the other.
  std::string CellText;
  PriceCellKind CellKind = PriceCellKind::Number;
  double CellValue = 0;
  double NewValue = 0;

  std::string Field;  // "PretVanzare" or "PretValuta"
  StoredPrice OldValue;

  // The row of the multiple-price table in the chosen category ("Lei" or "Valuta").
  MultiPriceAction Multi = MultiPriceAction::None;
  std::string MultiField;
  StoredPrice MultiOldValue;  // of an updated row
  int IndexLocal = 0;         // of the row updated or added
};

// Told about every write before it happens. The article's own field comes first; a row of
// the multiple-price table follows as a second call for the same row, with Multi set.
class ChangeObserver {
 public:
  virtual ~ChangeObserver() = default;
  virtual void BeforeArticleWrite(const ChangeRow& row) = 0;
  virtual void BeforeMultiPriceWrite(const ChangeRow& row) = 0;
  // False for an observer that needs only where each value goes and what it replaces: the run
  // then leaves the name, the producer and the look for a second matching article out.
  virtual bool NeedsArticleDetails() const { return true; }
};

}  // namespace imp
