// Any bytes as delimited text: parsed into one sheet whose every cell the lookup must find.
#include <cstdint>
#include <exception>
#include <string_view>

#include "csv/CsvReader.h"

namespace {
volatile std::size_t sink = 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  xlsx::Book book;
  try {
    csv::ParseCsv(std::string_view(reinterpret_cast<const char*>(data), size), "f", book);
  } catch (const std::exception&) {
    return 0;
  }
  std::size_t bytes = csv::LooksLikeText(
      std::string_view(reinterpret_cast<const char*>(data), size < 4096 ? size : 4096));
  const xlsx::Sheet& s = book.sheets.at(0);
  for (const xlsx::Cell& c : s.cells.Cells()) {
    if (s.cells.Find(c.row, c.col) != &c) __builtin_trap();
    bytes += book.TextOf(s, c).size();
  }
  sink = bytes;
  return 0;
}
