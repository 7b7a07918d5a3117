// Any bytes as a workbook: Read for the sheet list, then Open and GetCellValue at a few
// positions derived from the input, then the same lookups again (they must agree: each lookup
// leaves the stream at its start).
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/reader/FuzzInput.h"
#include "reader/TXLSRead.h"

namespace {

struct Position {
  int sheet, col, row;
};

std::vector<Position> Positions(const std::uint8_t* data, std::size_t size) {
  std::vector<Position> out = {{0, 0, 0}, {0, 1, 1}, {1, 0, 0}};
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  for (int k = 0; k < 5; ++k) {
    out.push_back({static_cast<int>(h % 4), static_cast<int>((h >> 2) % 8),
                   static_cast<int>((h >> 5) % 300)});
    h = h * 1103515245u + 12345u;
  }
  return out;
}

std::string Text(const reader::TCellValue& v) {
  if (std::holds_alternative<double>(v)) {
    const double d = std::get<double>(v);
    return d == d ? std::to_string(d) : "nan";
  }
  if (std::holds_alternative<std::string>(v)) return "s:" + std::get<std::string>(v);
  return "-";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzreader::WriteScratch(data, size)) return 0;
  reader::TXLSRead r;
  r.FileName = fuzzreader::ScratchPath();
  r.ErrorLevel = reader::xelIgnore;
  r.MessageHook = [](const std::string&, bool) { return true; };
  try {
    r.Read();
    r.Open();
  } catch (const std::exception&) {
    return 0;
  }
  std::vector<std::string> first;
  bool failed = false;
  for (const Position& p : Positions(data, size)) {
    reader::TCellValue v;
    try {
      first.push_back(r.GetCellValue(p.sheet, p.col, p.row, v) ? Text(v) : "none");
    } catch (const std::exception&) {
      failed = true;  // after an error the stream position is not defined: stop here
      break;
    }
  }
  if (!failed) {
    std::size_t k = 0;
    for (const Position& p : Positions(data, size)) {
      reader::TCellValue v;
      std::string again;
      try {
        again = r.GetCellValue(p.sheet, p.col, p.row, v) ? Text(v) : "none";
      } catch (const std::exception&) {
        std::abort();  // the same lookups succeeded a moment ago
      }
      if (again != first[k++]) std::abort();
    }
  }
  r.Close();
  return 0;
}
