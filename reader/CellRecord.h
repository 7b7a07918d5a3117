#pragma once
// One decoding of the worksheet's cell records, shared by the record walk (events) and the
// single-cell lookup, so that a rule about a cell record is written once.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ByteView.h"
#include "reader/RecordIds.h"

namespace reader::detail {

[[noreturn]] void RecordTooShort(std::uint16_t id, std::size_t length);
// The text of that error, in `out`.
void TooShortText(std::string& out, std::uint16_t id, std::size_t length);
// A record id as messages write it: four upper-case hex digits. Written by hand, as a file of
// millions of faulty records formats one message per record.
inline void AppendRecordId(std::string& out, std::uint16_t id) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kDigits[(id >> shift) & 0xF]);
}

// A record body whose reads past its end raise "Record XXXX is too short (n bytes)".
platform::ByteView RecordBody(std::uint16_t id, const std::uint8_t* body, std::size_t len);
// Raises the record's too-short error unless it holds at least n bytes.
inline void Need(const platform::ByteView& body, std::size_t n) {
  (void)body.Sub(0, n);
}

// The code page 8-bit text of a BIFF2-BIFF5 file is read in: 32769 (the BIFF2-BIFF4 alias of
// 1252) keeps the default 1252. 1200 (UTF-16) stays: ByteText reads such a file's texts by what
// their bytes hold.
inline int TextCodepage(int fileCodepage) {
  return fileCodepage == 32769 ? 1252 : fileCodepage;
}

// The first cell of a shared, array or table formula has that formula's own record between
// itself and the STRING record of its string result.
inline bool StandsBeforeStringResult(std::uint16_t id) {
  return id == rec::kShrFmla || id == rec::kShrFmla2 || id == rec::kArray || id == rec::kTable;
}

// BIFF2 keeps its own FORMULA layout under the common identifier.
inline bool IsBiff2Formula(std::uint16_t id, int version) {
  return id == rec::kFormula && version == 1;
}

// The records a lookup takes a cell's value from: numbers, text and formula results. BLANK,
// MULBLANK and BOOLERR cells are never found: a lookup answers with a value the import can
// use as a price or a code, and an empty or Boolean cell holds none.
bool LookupTakesValue(std::uint16_t id, int version);

// Where a cell record of len bytes sits, from its first bytes in `head`: its row and the
// columns it covers (a MULRK covers several). False when the record is too short to say.
bool CellPosition(std::uint16_t id, const platform::ByteView& head, std::size_t len, int version,
                  int& row, int& firstCol, int& lastCol);

// What a value cell record states, before any of its text is decoded.
struct ValueCell {
  enum Kind : std::uint8_t { Number, SharedString, Text, Formula } kind = Number;
  int row = 0, col = 0, xf = -1;  // xf -1: BIFF2 cells name no XF record
  double number = 0;              // Number; Formula with a numeric result
  std::uint32_t index = 0;        // SharedString: index into the string table
  // Text: where the text starts (the option byte first in BIFF8) and its count of characters.
  std::size_t textAt = 0, textCount = 0;
  // Formula: a result that is not a number (type 0 string, 1 Boolean, 2 error, else empty).
  bool nonNumeric = false;
  std::uint8_t resultType = 0, resultValue = 0;
};

// Decodes NUMBER, RK, LABELSST, LABEL, RSTRING, FORMULA and the BIFF2 INTEGER, NUMBER and
// LABEL records. False when the record is shorter than its fixed part (the kind is set even
// then); a record of another kind is not a value cell.
bool DecodeValueCell(std::uint16_t id, const platform::ByteView& body, int version,
                     ValueCell& cell);

// The k-th cell of a MULRK record: its XF and its RK value (k below MulRkCount).
inline std::size_t MulRkCount(const platform::ByteView& body) {
  return body.Size() >= 6 ? (body.Size() - 6) / 6 : 0;
}
inline int MulRkXf(const platform::ByteView& body, std::size_t k) {
  return body.U16(4 + 6 * k);
}
inline std::uint32_t MulRkValue(const platform::ByteView& body, std::size_t k) {
  return body.U32(6 + 6 * k);
}

}  // namespace reader::detail
