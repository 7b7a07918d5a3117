#pragma once
// Which reader a price list needs, decided from its first bytes, never from its name: a
// ".xls" that is really an .xlsx package is read as one.
#include <filesystem>
#include <memory>

#include "import/PriceWorkbook.h"

namespace imp {

enum class WorkbookFormat { Xls, Xlsx, Csv, Unknown };

// Unknown for a missing, empty or unreadable file and for bytes none of the readers takes.
// An encrypted package is Xlsx (its reader refuses it with the encryption message).
WorkbookFormat DetectWorkbookFormat(const std::filesystem::path& file);

// The workbook behind the import for any of the formats; Open picks the reader.
std::unique_ptr<PriceWorkbook> MakeFileWorkbook();

}  // namespace imp
