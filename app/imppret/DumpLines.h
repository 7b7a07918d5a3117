#pragma once
// The output of dump (JSON Lines: a sheet event, its cells, one end event) and of cell (one
// answer line), written the same way whichever reader the file went through.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace imppret {

class DumpLines {
 public:
  DumpLines() { line_.reserve(256); }

  void Sheet(int index, std::string_view name);
  // A cell event: Cell opens it up to its value, which the caller appends to Line(); EndCell
  // closes and writes it.
  void Cell(int sheet, std::int64_t row, int col, const char* type);
  void EndCell(bool formula);
  void Number(int sheet, std::int64_t row, int col, const char* type, double v, bool formula);
  void Text(int sheet, std::int64_t row, int col, const char* type, std::string_view v,
            bool formula);
  // The end event: BeginEnd, one SheetEntry a sheet, then EndEnd with the used range.
  void BeginEnd();
  void SheetEntry(std::string_view name, std::int64_t offset);
  void EndEnd(std::int64_t firstRow, std::int64_t lastRow, std::int64_t firstCol,
              std::int64_t lastCol);

  std::string& Line() { return line_; }

 private:
  void Emit();

  std::string line_;
  bool firstEntry_ = true;
};

// cell's answer on stdout: {"found":false}, or the value (a number, a string, or null).
void PrintCellAnswer(bool found, const std::variant<std::monostate, double, std::string>& value);

}  // namespace imppret
