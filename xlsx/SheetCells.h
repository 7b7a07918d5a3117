#pragma once
// The cells of one sheet in a compact form: one 16-byte entry per cell that holds a value, in
// (row, column) order, with the texts in one pool. A sheet is read once into this form; lookups
// then search it instead of reading the file again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

enum class CellKind : std::uint8_t {
  Number,
  Date,    // a number whose format shows a date or time: a serial of the 1900 system
  Bool,    // value 0 or 1
  Error,   // a text such as "#N/A"
  Text,    // a text of the sheet's pool
  Shared,  // a shared string of the workbook, by index
};

struct Cell {
  std::uint32_t row = 0;
  std::uint16_t col = 0;
  CellKind kind = CellKind::Number;
  bool formula = false;  // the value is the cached result of a formula
  union {
    double number;
    std::uint64_t id;  // Bool: the value; Text, Error: the pooled text; Shared: the index
  };
  Cell() : number(0) {}
};
static_assert(sizeof(Cell) == 16);

class SheetCells {
 public:
  struct FormulaRef {
    std::uint32_t row;
    std::uint16_t col;
    std::uint64_t id;
  };

  // Cells may arrive in any order; Finish sorts them once, the last of a position winning.
  void AddNumber(std::uint32_t row, std::uint16_t col, double v, CellKind kind, bool formula);
  void AddBool(std::uint32_t row, std::uint16_t col, bool v, bool formula);
  void AddText(std::uint32_t row, std::uint16_t col, std::string_view text, CellKind kind,
               bool formula);
  void AddShared(std::uint32_t row, std::uint16_t col, std::uint32_t index, bool formula);
  // The formula text of a cell (kept only when the reader is asked to keep formulas).
  void AddFormula(std::uint32_t row, std::uint16_t col, std::string_view text);
  // A position that holds no value (a styled blank, a formula without a cached result) still
  // counts for the used range.
  void NoteBlank(std::uint32_t row, std::uint16_t col) { Note(row, col); }
  void Finish();
  void Clear();
  // Room for `cells` entries ahead (a hint: the store still grows past it).
  void Reserve(std::size_t cells) { cells_.reserve(cells); }

  const std::vector<Cell>& Cells() const { return cells_; }
  const Cell* Find(std::uint32_t row, std::uint16_t col) const;
  std::string_view TextOf(const Cell& c) const { return Pooled(c.id); }
  // Empty when the cell has no formula text kept.
  std::string_view FormulaOf(std::uint32_t row, std::uint16_t col) const;
  // The formula texts kept, in (row, column) order.
  const std::vector<FormulaRef>& Formulas() const { return formulas_; }
  std::string_view FormulaText(const FormulaRef& f) const { return Pooled(f.id); }

  // Bounding box of the cells and blanks; LastRow -1 when there are none.
  std::int64_t FirstRow() const { return lastRow_ < 0 ? 0 : firstRow_; }
  std::int64_t LastRow() const { return lastRow_; }
  int FirstCol() const { return lastRow_ < 0 ? 0 : firstCol_; }
  int LastCol() const { return lastCol_; }
  std::size_t MemoryBytes() const;

 private:
  void Note(std::uint32_t row, std::uint16_t col);
  std::uint64_t Pool(std::string_view text);
  std::string_view Pooled(std::uint64_t id) const;
  Cell& Add(std::uint32_t row, std::uint16_t col, CellKind kind, bool formula);

  std::vector<Cell> cells_;
  std::vector<FormulaRef> formulas_;
  std::string pool_;
  std::vector<std::uint64_t> starts_;  // where each pooled text starts; the next start ends it
  bool sorted_ = true;
  std::int64_t firstRow_ = 0, lastRow_ = -1;
  int firstCol_ = 0, lastCol_ = -1;
};

}  // namespace xlsx
