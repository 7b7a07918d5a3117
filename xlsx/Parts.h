#pragma once
// The parts of a package the reader needs, each parsed by one streaming handler.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/Book.h"
#include "xlsx/Zip.h"

namespace xlsx {

struct Relationship {
  std::string id, type, target;  // type: the last segment of the type URI ("worksheet")
  bool external = false;
};

// The relationships part beside `part` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels");
// empty when the package has none.
std::vector<Relationship> ReadRelationships(ZipPackage& zip, std::string_view part);
// A relationship target resolved against the folder of the part that holds it.
std::string ResolveTarget(std::string_view fromPart, std::string_view target);

struct WorkbookSheet {
  std::string name, relId;
  SheetState state = SheetState::Visible;
};
struct WorkbookPart {
  std::vector<WorkbookSheet> sheets;
  bool date1904 = false;
};
WorkbookPart ReadWorkbook(ZipPackage& zip, std::string_view part);

// Per cell style (the s attribute of a cell): whether its number format shows a date.
std::vector<bool> ReadDateStyles(ZipPackage& zip, std::string_view part);

void ReadSharedStrings(ZipPackage& zip, std::string_view part, SharedStrings& out);
// The same over the part's bytes, fed in pieces of `piece` bytes, with or without the shortcut
// for items of one plain text (the tests and the fuzz target); the items it took, 0 when expat
// read the part.
std::size_t ReadSharedStringsBytes(std::string_view xml, SharedStrings& out, std::size_t piece,
                                   bool shortcut);

struct SheetContext {
  const std::vector<bool>* dateStyles = nullptr;
  const SharedStrings* strings = nullptr;
  bool date1904 = false;
  bool keepFormulas = false;
  std::uint64_t partSize = 0;  // the inflated size the package claims for the sheet's part
  // Rows and cells in their plainest form read by the shortcut (off: every tag one by one; the
  // same cells either way, which the tests compare).
  bool shortcut = true;
};
void ReadSheet(ZipPackage& zip, std::string_view part, const SheetContext& ctx, Sheet& sheet);
// The same over a sheet part's bytes, fed in pieces of `piece` bytes (the tests and the fuzz
// target); the constructs the shortcut took, 0 when expat read the part.
std::size_t ReadSheetBytes(std::string_view xml, const SheetContext& ctx, Sheet& sheet,
                           std::size_t piece);

// Appends text as a run of a string item, decoding the _xHHHH_ escapes of characters XML
// cannot carry.
void AppendEscapedText(std::string& out, std::string_view text);

// An ISO date or date-time ("2024-01-31", "2024-01-31T12:30:00") as a 1900-system serial.
bool IsoToSerial(std::string_view text, double& serial);

}  // namespace xlsx
