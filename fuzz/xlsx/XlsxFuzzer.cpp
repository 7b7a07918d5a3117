// Any bytes as an .xlsx package: read every sheet with the formulas kept, then look up every
// cell found. Errors are fine; crashes, hangs and reads outside buffers are not.
#include <cstdint>
#include <exception>

#include "fuzz/reader/FuzzInput.h"
#include "xlsx/XlsxReader.h"

namespace {
volatile std::size_t sink = 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzreader::WriteScratch(data, size)) return 0;
  xlsx::Book book;
  try {
    xlsx::ReadXlsx(fuzzreader::ScratchPath(), xlsx::ReadOptions{true}, book);
  } catch (const std::exception&) {
    return 0;
  }
  std::size_t bytes = 0;
  for (const xlsx::Sheet& s : book.sheets) {
    bytes += s.name.size() + s.dimension.size();
    for (const xlsx::Cell& c : s.cells.Cells()) {
      if (s.cells.Find(c.row, c.col) != &c) __builtin_trap();  // the lookup finds every cell
      try {
        if (c.kind == xlsx::CellKind::Text || c.kind == xlsx::CellKind::Error ||
            c.kind == xlsx::CellKind::Shared)
          bytes += book.TextOf(s, c).size();
      } catch (const std::exception&) {
      }
    }
    for (const auto& f : s.cells.Formulas()) bytes += s.cells.FormulaText(f).size();
  }
  sink = bytes;
  return 0;
}
