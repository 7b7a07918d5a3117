#pragma once
// A workbook read into memory as the import and the command-line tool use it: the sheet list
// in workbook order and, per sheet, its cells in the compact form. The .xlsx reader and the
// .csv reader both fill one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/SheetCells.h"

namespace xlsx {

enum class SheetType { Worksheet, Chartsheet, Dialogsheet, Macrosheet };
enum class SheetState { Visible, Hidden, VeryHidden };

struct Sheet {
  std::string name;
  SheetType type = SheetType::Worksheet;
  SheetState state = SheetState::Visible;
  std::string dimension;  // the dimension element's ref as written; empty when none
  SheetCells cells;
};

// The shared strings of a workbook: one buffer and where each string starts.
class SharedStrings {
 public:
  void Add(std::string_view s) {
    starts_.push_back(text_.size());
    text_.append(s);
  }
  std::size_t Count() const { return starts_.size(); }
  // Null-safe: false when the index names no string.
  bool Get(std::uint64_t index, std::string_view& out) const {
    if (index >= starts_.size()) return false;
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
    out = std::string_view(text_).substr(starts_[index], end - starts_[index]);
    return true;
  }
  std::size_t MemoryBytes() const { return text_.capacity() + starts_.capacity() * 8; }
  void Clear() {
    text_.clear();
    starts_.clear();
  }

 private:
  std::string text_;
  std::vector<std::size_t> starts_;
};

struct Book {
  std::vector<Sheet> sheets;
  SharedStrings strings;
  bool date1904 = false;  // as the file said; dates are kept as 1900-system serials anyway

  // The text of a Text, Error or Shared cell; raises XlsxError for a shared string index the
  // workbook does not hold.
  std::string TextOf(const Sheet& sheet, const Cell& cell) const;
};

struct ReadOptions {
  bool keepFormulas = false;  // keep the formula texts (the dump wants them, the import not)
};

}  // namespace xlsx
