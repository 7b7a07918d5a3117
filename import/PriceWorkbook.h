#pragma once
// The workbook as the import run uses it: opened once, the sheet list and the used range of
// every worksheet learnt, then single cells looked up by position until it is closed.
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/NumberText.h"
#include "import/plan/ChangeRow.h"

namespace imp {

// Raised by Open for a workbook protected by a password: nothing in it can be read.
class WorkbookEncrypted : public std::runtime_error {
 public:
  WorkbookEncrypted() : std::runtime_error("workbook protected by a password") {}
};

class PriceWorkbook {
 public:
  virtual ~PriceWorkbook() = default;
  // Reads the sheet list and the used range of every worksheet, then keeps the file open for
  // lookups. Raises when the file cannot be opened or is no workbook.
  virtual void Open(const std::filesystem::path& file) = 0;
  virtual int SheetCount() const = 0;
  // Last used column (0-based) of the widest worksheet; -1 when every worksheet is empty.
  virtual int LastCol() const = 0;
  // Last row (0-based) of the sheet that holds a cell; -1 when the sheet holds none.
  virtual int LastRow(int sheet) const = 0;
  // The value of the cell, or false when the sheet holds no value there. May raise.
  virtual bool GetCellValue(int sheet, int col, int row, CellValue& value) = 0;
  virtual void Close() = 0;
  // How the cell last given by GetCellValue held `value`; readers that know more than the
  // value's type (dates, Booleans, formula results) say so.
  virtual PriceCellKind KindOfLastCell(const CellValue& value) const {
    return std::holds_alternative<double>(value) ? PriceCellKind::Number : PriceCellKind::Text;
  }
};

// The workbook reader behind the interface.
std::unique_ptr<PriceWorkbook> MakeXlsWorkbook();

}  // namespace imp
