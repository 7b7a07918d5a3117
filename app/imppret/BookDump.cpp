// dump and cell for the workbooks read into memory at once (.xlsx, .csv): the same JSON Lines
// as the .xls event walk, cells in row order, a formula's text before its cached value.
#include "app/imppret/BookDump.h"

#include <cstdio>
#include <exception>
#include <variant>

#include "app/imppret/Json.h"
#include "csv/CsvReader.h"
#include "import/BookWorkbook.h"
#include "import/WorkbookFormat.h"
#include "xlsx/XlsxReader.h"

namespace imppret {
namespace {

void ReadBook(const std::string& file, bool keepFormulas, xlsx::Book& book) {
  if (imp::DetectWorkbookFormat(file) == imp::WorkbookFormat::Csv)
    csv::ReadCsv(file, book);
  else
    xlsx::ReadXlsx(file, xlsx::ReadOptions{keepFormulas}, book);
}

class Lines {
 public:
  void Emit() { std::fwrite(line_.data(), 1, line_.size(), stdout); }
  void Start(int sheet, std::uint32_t row, int col, const char* type) {
    line_.assign("{\"event\":\"cell\",\"sheet\":");
    line_ += std::to_string(sheet);
    line_ += ",\"row\":";
    line_ += std::to_string(row);
    line_ += ",\"col\":";
    line_ += std::to_string(col);
    line_ += ",\"type\":\"";
    line_ += type;
    line_ += "\",\"value\":";
  }
  void Finish(bool formula) {
    line_ += formula ? ",\"formula\":true}\n" : ",\"formula\":false}\n";
    Emit();
  }
  std::string line_;
};

void DumpCell(Lines& out, const xlsx::Book& book, const xlsx::Sheet& s, int index,
              const xlsx::Cell& c) {
  switch (c.kind) {
    case xlsx::CellKind::Number:
    case xlsx::CellKind::Date:
      out.Start(index, c.row, c.col, c.kind == xlsx::CellKind::Date ? "datetime" : "number");
      AppendJsonNumber(out.line_, c.number);
      break;
    case xlsx::CellKind::Bool:
      out.Start(index, c.row, c.col, "bool");
      out.line_ += c.id ? "true" : "false";
      break;
    default:
      out.Start(index, c.row, c.col, "string");
      AppendJsonString(out.line_, book.TextOf(s, c));
      break;
  }
  out.Finish(c.formula);
}

void DumpSheet(Lines& out, const xlsx::Book& book, const xlsx::Sheet& s, int index) {
  out.line_.assign("{\"event\":\"sheet\",\"index\":");
  out.line_ += std::to_string(index);
  out.line_ += ",\"name\":";
  AppendJsonString(out.line_, s.name);
  out.line_ += "}\n";
  out.Emit();
  const auto& cells = s.cells.Cells();
  const auto& formulas = s.cells.Formulas();
  std::size_t f = 0;
  auto formulaEvent = [&](const xlsx::SheetCells::FormulaRef& fr) {
    out.Start(index, fr.row, fr.col, "formula");
    AppendJsonString(out.line_, s.cells.FormulaText(fr));
    out.Finish(true);
  };
  for (const xlsx::Cell& c : cells) {
    // Formulas without a cached value have no cell: their text still comes in its place.
    while (f < formulas.size() &&
           (formulas[f].row < c.row || (formulas[f].row == c.row && formulas[f].col <= c.col))) {
      formulaEvent(formulas[f]);
      ++f;
    }
    DumpCell(out, book, s, index, c);
  }
  for (; f < formulas.size(); ++f) formulaEvent(formulas[f]);
}

}  // namespace

bool IsBookFile(const std::string& file) {
  const imp::WorkbookFormat f = imp::DetectWorkbookFormat(file);
  return f == imp::WorkbookFormat::Xlsx || f == imp::WorkbookFormat::Csv;
}

int DumpBook(const std::string& file) {
  xlsx::Book book;
  try {
    ReadBook(file, true, book);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  Lines out;
  for (std::size_t i = 0; i < book.sheets.size(); ++i)
    if (book.sheets[i].type != xlsx::SheetType::Chartsheet)
      DumpSheet(out, book, book.sheets[i], static_cast<int>(i));
  out.line_.assign("{\"event\":\"end\",\"sheets\":[");
  const xlsx::Sheet* last = nullptr;
  for (std::size_t i = 0; i < book.sheets.size(); ++i) {
    if (i) out.line_ += ',';
    out.line_ += "{\"name\":";
    AppendJsonString(out.line_, book.sheets[i].name);
    out.line_ += ",\"offset\":0}";
    if (book.sheets[i].type != xlsx::SheetType::Chartsheet) last = &book.sheets[i];
  }
  // As for .xls: the used range of the last worksheet read, last row and column inclusive.
  const std::int64_t lastRow = last ? last->cells.LastRow() : -1;
  out.line_ += "],\"firstRow\":" + std::to_string(last ? last->cells.FirstRow() : 0) +
               ",\"lastRow\":" + std::to_string(lastRow) +
               ",\"firstCol\":" + std::to_string(last ? last->cells.FirstCol() : 0) +
               ",\"lastCol\":" + std::to_string(last ? last->cells.LastCol() : -1) + "}\n";
  out.Emit();
  std::fflush(stdout);
  return 0;
}

int CellFromBook(const std::string& file, int sheet, int col, int row) {
  std::unique_ptr<imp::PriceWorkbook> wb = imp::MakeFileWorkbook();
  imp::CellValue value;
  bool found = false;
  try {
    wb->Open(file);
    found = wb->GetCellValue(sheet, col, row, value);
    wb->Close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::string out;
  if (!found) {
    out = "{\"found\":false}\n";
  } else {
    out = "{\"found\":true,\"value\":";
    if (const double* d = std::get_if<double>(&value))
      AppendJsonNumber(out, *d);
    else if (const std::string* s = std::get_if<std::string>(&value))
      AppendJsonString(out, *s);
    else
      out += "null";
    out += "}\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace imppret
