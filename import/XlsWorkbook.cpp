// The workbook reader behind the import's workbook interface.
#include "import/PriceWorkbook.h"
#include "reader/TXLSRead.h"

namespace imp {
namespace {

class XlsWorkbook final : public PriceWorkbook {
 public:
  void Open(const std::filesystem::path& file) override {
    reader_.FileName = file.string();
    reader_.Read();  // the sheet list and the used range of the first worksheet
    reader_.Open();  // kept open for the lookups
  }
  int SheetCount() const override { return static_cast<int>(reader_.SheetNames().size()); }
  int LastCol() const override { return reader_.LastCol(); }
  bool GetCellValue(int sheet, int col, int row, CellValue& value) override {
    return reader_.GetCellValue(sheet, col, row, value);
  }
  void Close() override { reader_.Close(); }

 private:
  reader::TXLSRead reader_;
};

}  // namespace

std::unique_ptr<PriceWorkbook> MakeXlsWorkbook() {
  return std::make_unique<XlsWorkbook>();
}

}  // namespace imp
