// The workbook reader behind the import's workbook interface.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "import/PriceWorkbook.h"
#include "reader/TXLSRead.h"

namespace imp {
namespace {

class XlsWorkbook final : public PriceWorkbook {
 public:
  void Open(const std::filesystem::path& file) override {
    reader_.FileName = file.string();
    // Refused before any record is read: past its encryption record a workbook is ciphertext.
    reader_.Open();
    const bool encrypted = reader_.IsEncrypted();
    reader_.Close();
    if (encrypted) throw WorkbookEncrypted();
    ScanUsedRanges();
    reader_.Open();  // kept open for the lookups
  }
  // A plain worksheet file lists no sheet: it is one sheet.
  int SheetCount() const override {
    const auto listed = static_cast<int>(reader_.SheetNames().size());
    return listed == 0 && reader_.IsSingleWorksheet() ? 1 : listed;
  }
  int LastCol() const override {
    int widest = -1;
    for (const UsedRange& u : used_) widest = std::max(widest, u.lastCol);
    return widest;
  }
  int LastRow(int sheet) const override {
    if (sheet < 0 || static_cast<std::size_t>(sheet) >= used_.size()) return -1;
    return used_[static_cast<std::size_t>(sheet)].lastRow;
  }
  bool GetCellValue(int sheet, int col, int row, CellValue& value) override {
    lastCell_ = CellKey(sheet, col, row);
    return reader_.GetCellValue(sheet, col, row, value);
  }
  void Close() override { reader_.Close(); }
  // The lookup gives a date as its serial number and a Boolean or a formula's text as text;
  // the pass over the cells noted which cells held those.
  PriceCellKind KindOfLastCell(const CellValue& value) const override {
    const PriceCellKind plain = PriceWorkbook::KindOfLastCell(value);
    const auto it = kinds_.find(lastCell_);
    if (it == kinds_.end()) return plain;
    const bool isNumber = plain == PriceCellKind::Number;
    return (it->second == PriceCellKind::Date) == isNumber ? it->second : plain;
  }

 private:
  struct UsedRange {
    int lastRow = -1, lastCol = -1;
  };

  static std::uint64_t CellKey(int sheet, int col, int row) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(sheet)) << 40 ^
           static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 16 ^
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(col));
  }

  // Only the cells that are not a plain number or text are kept; a later record for the same
  // cell replaces what an earlier one said.
  void NoteKind(int sheet, int col, int row, PriceCellKind kind) {
    if (sheet < 0) return;
    const std::uint64_t key = CellKey(sheet, col, row);
    if (kind == PriceCellKind::Number || kind == PriceCellKind::Text) {
      if (!kinds_.empty()) kinds_.erase(key);
    } else {
      kinds_[key] = kind;
    }
  }

  // Whether the cell format `xf` shows dates; an index without its format record shows none.
  bool IsDateFormat(int xf) {
    if (xf < 0 || static_cast<std::size_t>(xf) >= reader_.XFRecords().size()) return false;
    const auto at = static_cast<std::size_t>(xf);
    if (at >= dateXf_.size()) dateXf_.resize(at + 1, -1);
    if (dateXf_[at] < 0) {
      try {
        dateXf_[at] = reader_.IsDateTimeXF(xf) ? 1 : 0;
      } catch (...) {
        dateXf_[at] = 0;
      }
    }
    return dateXf_[at] == 1;
  }

  // One pass over every worksheet, noting the last row and column that hold a cell record
  // (blank ones included). The cells themselves say it: a DIMENSIONS record may be missing,
  // short or overstated in files of other programs.
  void ScanUsedRanges() {
    used_.clear();
    kinds_.clear();
    dateXf_.clear();
    auto note = [this](reader::TXLSRead& r, int col, int row) {
      const int sheet = r.SheetIndex() < 0 && r.IsSingleWorksheet() ? 0 : r.SheetIndex();
      if (sheet < 0) return;
      if (static_cast<std::size_t>(sheet) >= used_.size())
        used_.resize(static_cast<std::size_t>(sheet) + 1);
      UsedRange& u = used_[static_cast<std::size_t>(sheet)];
      u.lastRow = std::max(u.lastRow, row);
      u.lastCol = std::max(u.lastCol, col);
    };
    // A sheet's formats are its own: the reader renumbers format references at every worksheet
    // BOF, so an XF's date answer is not carried from one sheet to the next.
    reader_.OnSheet = [this](reader::TXLSRead&, const std::string&, int, bool& readIt) {
      dateXf_.clear();
      readIt = true;
    };
    reader_.OnBlankCell = [note](reader::TXLSRead& r, int c, int row, int) { note(r, c, row); };
    reader_.OnNumberCell = [this, note](reader::TXLSRead& r, int c, int row, int xf, double, bool) {
      note(r, c, row);
      NoteKind(r.SheetIndex(), c, row,
               IsDateFormat(xf) ? PriceCellKind::Date : PriceCellKind::Number);
    };
    reader_.OnStringCell = [this, note](reader::TXLSRead& r, int c, int row, int,
                                        const std::string&, bool formula) {
      note(r, c, row);
      NoteKind(r.SheetIndex(), c, row, formula ? PriceCellKind::FormulaText : PriceCellKind::Text);
    };
    reader_.OnBoolCell = [this, note](reader::TXLSRead& r, int c, int row, int, bool, bool) {
      note(r, c, row);
      NoteKind(r.SheetIndex(), c, row, PriceCellKind::Boolean);
    };
    try {
      reader_.Read();
    } catch (...) {
      ClearEvents();
      throw;
    }
    ClearEvents();
  }
  void ClearEvents() {
    reader_.OnSheet = nullptr;
    reader_.OnBlankCell = nullptr;
    reader_.OnNumberCell = nullptr;
    reader_.OnStringCell = nullptr;
    reader_.OnBoolCell = nullptr;
  }

  reader::TXLSRead reader_;
  std::vector<UsedRange> used_;                             // by sheet index
  std::unordered_map<std::uint64_t, PriceCellKind> kinds_;  // dates, Booleans, formula texts
  std::vector<signed char> dateXf_;                         // by XF index: -1 not yet known
  std::uint64_t lastCell_ = 0;
};

}  // namespace

std::unique_ptr<PriceWorkbook> MakeXlsWorkbook() {
  return std::make_unique<XlsWorkbook>();
}

}  // namespace imp
