// dump and cell for the workbooks read into memory at once (.xlsx, .csv): the same JSON Lines
// as the .xls event walk, cells in row order, a formula's text before its cached value.
#include "app/imppret/BookDump.h"

#include <cstdio>
#include <exception>
#include <variant>

#include "app/imppret/DumpLines.h"
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

void DumpCell(DumpLines& out, const xlsx::Book& book, const xlsx::Sheet& s, int index,
              const xlsx::Cell& c) {
  switch (c.kind) {
    case xlsx::CellKind::Number:
    case xlsx::CellKind::Date:
      out.Number(index, c.row, c.col, c.kind == xlsx::CellKind::Date ? "datetime" : "number",
                 c.number, c.formula);
      break;
    case xlsx::CellKind::Bool:
      out.Cell(index, c.row, c.col, "bool");
      out.Line() += c.id ? "true" : "false";
      out.EndCell(c.formula);
      break;
    default: out.Text(index, c.row, c.col, "string", book.TextOf(s, c), c.formula); break;
  }
}

void DumpSheet(DumpLines& out, const xlsx::Book& book, const xlsx::Sheet& s, int index) {
  out.Sheet(index, s.name);
  const auto& cells = s.cells.Cells();
  const auto& formulas = s.cells.Formulas();
  std::size_t f = 0;
  auto formulaEvent = [&](const xlsx::SheetCells::FormulaRef& fr) {
    out.Text(index, fr.row, fr.col, "formula", s.cells.FormulaText(fr), true);
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
  DumpLines out;
  for (std::size_t i = 0; i < book.sheets.size(); ++i)
    if (book.sheets[i].type != xlsx::SheetType::Chartsheet)
      DumpSheet(out, book, book.sheets[i], static_cast<int>(i));
  out.BeginEnd();
  const xlsx::Sheet* last = nullptr;
  for (const xlsx::Sheet& s : book.sheets) {
    out.SheetEntry(s.name, 0);
    if (s.type != xlsx::SheetType::Chartsheet) last = &s;
  }
  // As for .xls: the used range of the last worksheet read, last row and column inclusive.
  if (last)
    out.EndEnd(last->cells.FirstRow(), last->cells.LastRow(), last->cells.FirstCol(),
               last->cells.LastCol());
  else
    out.EndEnd(0, -1, 0, -1);
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
  PrintCellAnswer(found, value);
  return 0;
}

}  // namespace imppret
