#pragma once
// The reader's event walk over every cell, timed by the reader and the .xlsx tables alike.
#include <cstddef>
#include <cstdio>
#include <string>

#include "reader/TXLSRead.h"

namespace bench {

// The reader's event walk over every cell of every sheet; prints the cell and text byte counts.
inline int WalkXls(const std::string& path) {
  reader::TXLSRead r;
  r.FileName = path;
  r.ErrorLevel = reader::xelIgnore;
  std::size_t cells = 0, bytes = 0;
  r.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++cells; };
  r.OnDateTimeCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++cells; };
  r.OnStringCell = [&](reader::TXLSRead&, int, int, int, const std::string& v, bool) {
    ++cells;
    bytes += v.size();
  };
  r.OnRichCell = [&](reader::TXLSRead&, int, int, int, const std::string& v,
                     reader::PRecREFormatArray) {
    ++cells;
    bytes += v.size();
  };
  r.OnBoolCell = [&](reader::TXLSRead&, int, int, int, bool, bool) { ++cells; };
  r.Read();
  std::printf("%zu cells, %zu text bytes\n", cells, bytes);
  return cells > 0 ? 0 : 1;
}

}  // namespace bench
