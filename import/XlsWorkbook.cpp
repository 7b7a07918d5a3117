// The workbook reader behind the import's workbook interface.
#include <algorithm>
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
    return reader_.GetCellValue(sheet, col, row, value);
  }
  void Close() override { reader_.Close(); }

 private:
  struct UsedRange {
    int lastRow = -1, lastCol = -1;
  };

  // One pass over every worksheet, noting the last row and column that hold a cell record
  // (blank ones included). The cells themselves say it: a DIMENSIONS record may be missing,
  // short or overstated in files of other programs.
  void ScanUsedRanges() {
    used_.clear();
    auto note = [this](reader::TXLSRead& r, int col, int row) {
      const int sheet = r.SheetIndex() < 0 && r.IsSingleWorksheet() ? 0 : r.SheetIndex();
      if (sheet < 0) return;
      if (static_cast<std::size_t>(sheet) >= used_.size())
        used_.resize(static_cast<std::size_t>(sheet) + 1);
      UsedRange& u = used_[static_cast<std::size_t>(sheet)];
      u.lastRow = std::max(u.lastRow, row);
      u.lastCol = std::max(u.lastCol, col);
    };
    reader_.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) {
      readIt = true;
    };
    reader_.OnBlankCell = [note](reader::TXLSRead& r, int c, int row, int) { note(r, c, row); };
    reader_.OnNumberCell = [note](reader::TXLSRead& r, int c, int row, int, double, bool) {
      note(r, c, row);
    };
    reader_.OnStringCell = [note](reader::TXLSRead& r, int c, int row, int, const std::string&,
                                  bool) { note(r, c, row); };
    reader_.OnBoolCell = [note](reader::TXLSRead& r, int c, int row, int, bool, bool) {
      note(r, c, row);
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
  std::vector<UsedRange> used_;  // by sheet index
};

}  // namespace

std::unique_ptr<PriceWorkbook> MakeXlsWorkbook() {
  return std::make_unique<XlsWorkbook>();
}

}  // namespace imp
