#pragma once
// The import's workbook over the .xlsx and .csv readers: the file is read once at Open into
// the compact per-sheet form, and lookups answer from it.
#include <memory>

#include "import/PriceWorkbook.h"

namespace imp {

std::unique_ptr<PriceWorkbook> MakeXlsxWorkbook();
std::unique_ptr<PriceWorkbook> MakeCsvWorkbook();

}  // namespace imp
