// The package walk: relationships to the workbook, its sheets, strings and styles.
#include "xlsx/XlsxReader.h"

#include <unordered_map>

#include "platform/cfb/CompoundFile.h"
#include "xlsx/Parts.h"
#include "xlsx/XlsxError.h"

namespace xlsx {
namespace {

SheetType TypeOf(const std::string& relType, bool& known) {
  known = true;
  if (relType == "worksheet") return SheetType::Worksheet;
  if (relType == "chartsheet") return SheetType::Chartsheet;
  if (relType == "dialogsheet") return SheetType::Dialogsheet;
  if (relType == "xlMacrosheet" || relType == "xlIntlMacrosheet") return SheetType::Macrosheet;
  known = false;
  return SheetType::Worksheet;
}

// A relationships part that cannot be read counts as none: the usual part names still find
// what the package holds.
std::vector<Relationship> RelationshipsOrNone(ZipPackage& zip, std::string_view part) {
  try {
    return ReadRelationships(zip, part);
  } catch (const XlsxError& e) {
    if (e.Reason() != FailReason::Damaged) throw;
    return {};
  }
}

std::string WorkbookPartName(ZipPackage& zip) {
  for (const Relationship& r : RelationshipsOrNone(zip, ""))
    if (r.type == "officeDocument" && !r.external) {
      const std::string part = ResolveTarget("", r.target);
      if (zip.Has(part)) return part;
    }
  for (const char* guess : {"xl/workbook.xml", "workbook.xml"})
    if (zip.Has(guess)) return guess;
  throw XlsxError(FailReason::NotAPackage, "The package holds no workbook");
}

}  // namespace

bool IsEncryptedPackage(const std::filesystem::path& file) {
  if (!platform::cfb::CompoundFile::IsCompoundFile(file)) return false;
  try {
    platform::cfb::CompoundFile cf(file);
    for (const auto& e : cf.RootElements())
      if (e.IsStream && e.Name == "EncryptedPackage") return true;
  } catch (const std::exception&) {
  }
  return false;
}

void ReadXlsx(const std::filesystem::path& file, const ReadOptions& options, Book& book) {
  book = Book();
  if (IsEncryptedPackage(file)) throw XlsxError(FailReason::Encrypted, kEncryptedText);
  ZipPackage zip(file);
  const std::string wbPart = WorkbookPartName(zip);
  const WorkbookPart wb = ReadWorkbook(zip, wbPart);
  book.date1904 = wb.date1904;

  std::unordered_map<std::string, Relationship> byId;
  std::string stylesPart, stringsPart;
  const std::vector<Relationship> rels = RelationshipsOrNone(zip, wbPart);
  for (const Relationship& r : rels) {
    if (r.external) continue;
    byId.emplace(r.id, r);
    if (r.type == "styles" && stylesPart.empty()) stylesPart = ResolveTarget(wbPart, r.target);
    if (r.type == "sharedStrings" && stringsPart.empty())
      stringsPart = ResolveTarget(wbPart, r.target);
  }
  if (rels.empty()) {  // no relationships part: the usual names
    stylesPart = ResolveTarget(wbPart, "styles.xml");
    stringsPart = ResolveTarget(wbPart, "sharedStrings.xml");
  }

  std::vector<bool> dateStyles;
  if (!stylesPart.empty() && zip.Has(stylesPart)) {
    try {
      dateStyles = ReadDateStyles(zip, stylesPart);
    } catch (const XlsxError& e) {
      if (e.Reason() != FailReason::Damaged) throw;
      dateStyles.clear();  // damaged styles cost the dates, not the values
    }
  }
  if (!stringsPart.empty() && zip.Has(stringsPart))
    ReadSharedStrings(zip, stringsPart, book.strings);

  SheetContext ctx;
  ctx.dateStyles = &dateStyles;
  ctx.strings = &book.strings;
  ctx.date1904 = wb.date1904;
  ctx.keepFormulas = options.keepFormulas;
  book.sheets.reserve(wb.sheets.size());
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    const WorkbookSheet& ws = wb.sheets[i];
    Sheet& sheet = book.sheets.emplace_back();
    sheet.name = ws.name;
    sheet.state = ws.state;
    std::string part;
    auto it = byId.find(ws.relId);
    if (it != byId.end()) {
      bool known = false;
      sheet.type = TypeOf(it->second.type, known);
      part = ResolveTarget(wbPart, it->second.target);
    } else if (rels.empty()) {
      part = ResolveTarget(wbPart, "worksheets/sheet" + std::to_string(i + 1) + ".xml");
    }
    // A chart sheet holds no cells; a sheet whose part is missing is an empty sheet.
    if (sheet.type == SheetType::Chartsheet || part.empty() || !zip.Has(part)) continue;
    ctx.partSize = zip.ClaimedSize(part);
    ReadSheet(zip, part, ctx, sheet);
  }
}

std::string Book::TextOf(const Sheet& sheet, const Cell& cell) const {
  if (cell.kind == CellKind::Shared) {
    std::string_view s;
    if (!strings.Get(cell.id, s))
      throw XlsxError(FailReason::Damaged, "Shared string index out of range");
    return std::string(s);
  }
  return std::string(sheet.cells.TextOf(cell));
}

}  // namespace xlsx
