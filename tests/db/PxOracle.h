#pragma once
// pxlib, an independent implementation of the Paradox format, as a test oracle: it writes
// tables our engine must read, and reads back what our engine writes.
#include <filesystem>
#include <string>
#include <vector>

namespace pxo {

struct Column {
  std::string name;
  char type;         // pxlib's field type (pxfAlpha, pxfLong...)
  int len;           // bytes in the record (alpha: characters)
  int decimals = 0;  // BCD: digits after the point
};

struct Cell {
  bool blank = true;
  long long i = 0;  // short, long, date, time, autoinc, logical
  double d = 0;     // number, money, timestamp
  std::string s;    // alpha (UTF-8), BCD (pxlib's digits), bytes
};
inline Cell Int(long long v) {
  Cell c;
  c.blank = false;
  c.i = v;
  return c;
}
inline Cell Num(double v) {
  Cell c;
  c.blank = false;
  c.d = v;
  return c;
}
inline Cell Text(std::string v) {
  Cell c;
  c.blank = false;
  c.s = std::move(v);
  return c;
}
inline Cell Blank() {
  return {};
}

// Writes `db` (and its .PX beside it when keys > 0) with pxlib; rows must come in key order.
void Create(const std::filesystem::path& db, const std::vector<Column>& columns, int keys,
            int codepage, const std::vector<std::vector<Cell>>& rows);

struct Contents {
  std::vector<Column> columns;
  int codepage = 0;
  int records = 0;    // the header's record count
  int keyFields = 0;  // primary key fields
  int blockKB = 0;
  int version = 0;  // pxlib's file version: 30, 35, 40, 50, 70
  std::vector<std::vector<Cell>> rows;
};

// Reads every record with pxlib, through the primary index when `px` is given. False with a
// message when pxlib refuses the table or the index.
bool Read(const std::filesystem::path& db, const std::filesystem::path& px, Contents& out,
          std::string& error);

}  // namespace pxo
