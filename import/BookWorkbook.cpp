// Lookups over a Book, answering as the .xls reader answers: numbers and dates as numbers,
// texts as texts, the Boolean and error results of formulas as their texts, and Boolean or
// error constants not at all (the import treats them as no price).
#include "import/BookWorkbook.h"

#include <algorithm>
#include <stdexcept>

#include "csv/CsvReader.h"
#include "xlsx/XlsxError.h"
#include "xlsx/XlsxReader.h"

namespace imp {
namespace {

class BookWorkbook final : public PriceWorkbook {
 public:
  explicit BookWorkbook(bool csv) : csv_(csv) {}

  void Open(const std::filesystem::path& file) override {
    try {
      if (csv_)
        csv::ReadCsv(file, book_);
      else
        xlsx::ReadXlsx(file, xlsx::ReadOptions{}, book_);
    } catch (const xlsx::XlsxError& e) {
      // A password-protected package is refused as a protected .xls is.
      if (e.Reason() == xlsx::FailReason::Encrypted) throw WorkbookEncrypted();
      throw;
    }
    open_ = true;
  }
  int SheetCount() const override { return static_cast<int>(book_.sheets.size()); }
  int LastCol() const override {
    int widest = -1;
    for (const xlsx::Sheet& s : book_.sheets) widest = std::max(widest, s.cells.LastCol());
    return widest;
  }
  int LastRow(int sheet) const override {
    if (sheet < 0 || static_cast<std::size_t>(sheet) >= book_.sheets.size()) return -1;
    return static_cast<int>(book_.sheets[static_cast<std::size_t>(sheet)].cells.LastRow());
  }
  bool GetCellValue(int sheet, int col, int row, CellValue& value) override {
    if (!open_) throw std::runtime_error("File is not open");
    if (sheet < 0 || static_cast<std::size_t>(sheet) >= book_.sheets.size())
      throw std::runtime_error("Can not find the sheet");
    if (col < 0 || row < 0 || col > 0xFFFF) return false;
    const xlsx::Sheet& s = book_.sheets[static_cast<std::size_t>(sheet)];
    const xlsx::Cell* c =
        s.cells.Find(static_cast<std::uint32_t>(row), static_cast<std::uint16_t>(col));
    if (!c) return false;
    switch (c->kind) {
      case xlsx::CellKind::Number:
        value = c->number;
        kind_ = PriceCellKind::Number;
        return true;
      case xlsx::CellKind::Date:
        value = c->number;
        kind_ = PriceCellKind::Date;
        return true;
      case xlsx::CellKind::Bool:
        if (!c->formula) return false;
        value = std::string(c->id ? "TRUE" : "FALSE");
        kind_ = PriceCellKind::Boolean;
        return true;
      case xlsx::CellKind::Error:
        if (!c->formula) return false;
        value = book_.TextOf(s, *c);
        kind_ = PriceCellKind::FormulaText;
        return true;
      case xlsx::CellKind::Text:
      case xlsx::CellKind::Shared:
        value = book_.TextOf(s, *c);
        kind_ = c->formula ? PriceCellKind::FormulaText : PriceCellKind::Text;
        return true;
    }
    return false;
  }
  void Close() override {
    book_ = xlsx::Book();
    open_ = false;
  }
  PriceCellKind KindOfLastCell(const CellValue&) const override { return kind_; }

 private:
  bool csv_;
  bool open_ = false;
  xlsx::Book book_;
  PriceCellKind kind_ = PriceCellKind::Number;
};

}  // namespace

std::unique_ptr<PriceWorkbook> MakeXlsxWorkbook() {
  return std::make_unique<BookWorkbook>(false);
}
std::unique_ptr<PriceWorkbook> MakeCsvWorkbook() {
  return std::make_unique<BookWorkbook>(true);
}

}  // namespace imp
