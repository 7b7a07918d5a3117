// imppret cell FILE SHEET COL ROW: one lookup, the way the import asks for a cell.
#include <cstdio>
#include <string>
#include <vector>

#include "app/imppret/BookDump.h"
#include "app/imppret/Command.h"
#include "app/imppret/DumpLines.h"
#include "reader/TXLSRead.h"

namespace imppret {
namespace {

bool ParseIndex(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

int Cell(const std::vector<std::string>& args) {
  int sheet = 0, col = 0, row = 0;
  if (args.size() != 4 || !ParseIndex(args[1], sheet) || !ParseIndex(args[2], col) ||
      !ParseIndex(args[3], row)) {
    std::fprintf(stderr, "usage: imppret cell FILE SHEET COL ROW (0-based numbers)\n");
    return 2;
  }
  if (IsBookFile(args[0])) return CellFromBook(args[0], sheet, col, row);
  reader::TXLSRead r;
  r.FileName = args[0];
  r.MessageHook = PrintReaderMessage;
  reader::TCellValue value;
  bool found = false;
  try {
    r.Read();
    if (r.IsEncrypted()) return 1;  // reported by the hook; no cell can be read
    r.Open();
    found = r.GetCellValue(sheet, col, row, value);
    r.Close();
  } catch (const std::exception& e) {
    r.Close();
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  PrintCellAnswer(found, value);
  return 0;
}

}  // namespace

IMPPRET_COMMAND("cell", "cell FILE SHEET COL ROW", Cell);

}  // namespace imppret
