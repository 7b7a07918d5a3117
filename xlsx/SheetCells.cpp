// The compact cell store of one sheet.
#include "xlsx/SheetCells.h"

#include <algorithm>

namespace xlsx {

void SheetCells::Note(std::uint32_t row, std::uint16_t col) {
  if (lastRow_ < 0) {
    firstRow_ = lastRow_ = row;
    firstCol_ = lastCol_ = col;
    return;
  }
  firstRow_ = std::min<std::int64_t>(firstRow_, row);
  lastRow_ = std::max<std::int64_t>(lastRow_, row);
  firstCol_ = std::min<int>(firstCol_, col);
  lastCol_ = std::max<int>(lastCol_, col);
}

Cell& SheetCells::Add(std::uint32_t row, std::uint16_t col, CellKind kind, bool formula) {
  if (sorted_ && !cells_.empty()) {
    const Cell& last = cells_.back();
    if (row < last.row || (row == last.row && col <= last.col)) sorted_ = false;
  }
  Note(row, col);
  Cell& c = cells_.emplace_back();
  c.row = row;
  c.col = col;
  c.kind = kind;
  c.formula = formula;
  return c;
}

void SheetCells::AddNumber(std::uint32_t row, std::uint16_t col, double v, CellKind kind,
                           bool formula) {
  Add(row, col, kind, formula).number = v;
}

void SheetCells::AddBool(std::uint32_t row, std::uint16_t col, bool v, bool formula) {
  Add(row, col, CellKind::Bool, formula).id = v ? 1 : 0;
}

void SheetCells::AddText(std::uint32_t row, std::uint16_t col, std::string_view text, CellKind kind,
                         bool formula) {
  const std::uint64_t id = Pool(text);
  Add(row, col, kind, formula).id = id;
}

void SheetCells::AddShared(std::uint32_t row, std::uint16_t col, std::uint32_t index,
                           bool formula) {
  Add(row, col, CellKind::Shared, formula).id = index;
}

void SheetCells::AddFormula(std::uint32_t row, std::uint16_t col, std::string_view text) {
  formulas_.push_back({row, col, Pool(text)});
}

std::uint64_t SheetCells::Pool(std::string_view text) {
  starts_.push_back(pool_.size());
  pool_.append(text);
  return starts_.size() - 1;
}

std::string_view SheetCells::Pooled(std::uint64_t id) const {
  if (id >= starts_.size()) return {};
  const std::uint64_t end = id + 1 < starts_.size() ? starts_[id + 1] : pool_.size();
  return std::string_view(pool_).substr(starts_[id], end - starts_[id]);
}

namespace {
template <class T>
bool Before(const T& a, const T& b) {
  return a.row != b.row ? a.row < b.row : a.col < b.col;
}
template <class T>
void SortKeepLast(std::vector<T>& v) {
  // Stable, so among equal positions the one added last stays last and is kept.
  std::stable_sort(v.begin(), v.end(), Before<T>);
  std::size_t out = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i + 1 < v.size() && v[i + 1].row == v[i].row && v[i + 1].col == v[i].col) continue;
    v[out++] = v[i];
  }
  v.resize(out);
}
}  // namespace

void SheetCells::Finish() {
  if (!sorted_) SortKeepLast(cells_);
  sorted_ = true;
  cells_.shrink_to_fit();
  if (!formulas_.empty()) SortKeepLast(formulas_);
}

void SheetCells::Clear() {
  *this = SheetCells();
}

const Cell* SheetCells::Find(std::uint32_t row, std::uint16_t col) const {
  Cell key;
  key.row = row;
  key.col = col;
  auto it = std::lower_bound(cells_.begin(), cells_.end(), key, Before<Cell>);
  if (it == cells_.end() || it->row != row || it->col != col) return nullptr;
  return &*it;
}

std::string_view SheetCells::FormulaOf(std::uint32_t row, std::uint16_t col) const {
  FormulaRef key{row, col, 0};
  auto it = std::lower_bound(formulas_.begin(), formulas_.end(), key, Before<FormulaRef>);
  if (it == formulas_.end() || it->row != row || it->col != col) return {};
  return Pooled(it->id);
}

std::size_t SheetCells::MemoryBytes() const {
  return cells_.capacity() * sizeof(Cell) + formulas_.capacity() * sizeof(FormulaRef) +
         pool_.capacity() + starts_.capacity() * sizeof(std::uint64_t);
}

}  // namespace xlsx
