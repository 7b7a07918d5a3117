// Format detection by content, and the workbook that opens whichever reader the file needs.
#include "import/WorkbookFormat.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "csv/CsvReader.h"
#include "import/BookWorkbook.h"
#include "xlsx/XlsxReader.h"

namespace imp {
namespace {

constexpr std::size_t kHead = 4096;

class FileWorkbook final : public PriceWorkbook {
 public:
  void Open(const std::filesystem::path& file) override {
    inner_.reset();
    switch (DetectWorkbookFormat(file)) {
      case WorkbookFormat::Xlsx: inner_ = MakeXlsxWorkbook(); break;
      case WorkbookFormat::Csv: inner_ = MakeCsvWorkbook(); break;
      default: inner_ = MakeXlsWorkbook(); break;  // its own messages for what it refuses
    }
    inner_->Open(file);
  }
  int SheetCount() const override { return inner_ ? inner_->SheetCount() : 0; }
  int LastCol() const override { return inner_ ? inner_->LastCol() : -1; }
  int LastRow(int sheet) const override { return inner_ ? inner_->LastRow(sheet) : -1; }
  bool GetCellValue(int sheet, int col, int row, CellValue& value) override {
    if (!inner_) throw std::runtime_error("File is not open");
    return inner_->GetCellValue(sheet, col, row, value);
  }
  void Close() override {
    if (inner_) inner_->Close();
  }
  PriceCellKind KindOfLastCell(const CellValue& value) const override {
    return inner_ ? inner_->KindOfLastCell(value) : PriceWorkbook::KindOfLastCell(value);
  }

 private:
  std::unique_ptr<PriceWorkbook> inner_;
};

}  // namespace

WorkbookFormat DetectWorkbookFormat(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return WorkbookFormat::Unknown;
  std::string head(kHead, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  if (head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
      ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
    return WorkbookFormat::Xlsx;
  if (head.rfind("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 0) == 0)
    return xlsx::IsEncryptedPackage(file) ? WorkbookFormat::Xlsx : WorkbookFormat::Xls;
  // A plain BIFF file starts with a BOF record: 0x09, then 0x00, 0x02, 0x04 or 0x08.
  if (head.size() >= 4 && head[0] == 0x09 &&
      (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04 || head[1] == 0x08))
    return WorkbookFormat::Xls;
  if (csv::LooksLikeText(head)) return WorkbookFormat::Csv;
  return WorkbookFormat::Unknown;
}

std::unique_ptr<PriceWorkbook> MakeFileWorkbook() {
  return std::make_unique<FileWorkbook>();
}

}  // namespace imp
