#pragma once
// The two passes a lookup keeps for one Open: what the workbook globals say (GlobalsPass.cpp)
// and where the cells of one sheet lie, with its index checked (SheetDirectory.cpp).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "reader/RecordStream.h"
#include "reader/SharedStrings.h"
#include "reader/Text.h"

namespace reader::detail {

// What one pass over the workbook globals found, in stream order, so that every lookup of one
// Open can replay the decisions of a fresh pass without reading the globals again.
struct GlobalsPass {
  struct Event {
    enum Kind : std::uint8_t { Sheet, Sst, Eof, End } kind = End;
    bool failed = false;         // Sst: the table failed here, with `error` below
    std::uint32_t offset = 0;    // Sheet: the BOF offset
    std::uint64_t position = 0;  // stream position after the record (or where its error arose)
    std::uint64_t strings = 0;   // Sst: strings in the table after this record
  };
  static_assert(sizeof(Event) == 24);
  std::uint64_t start = 0;
  int version = 0, maxRecordSize = 0, codepage = 0;
  // A lookup takes from a run of SST records with no sheet between them only the first (the
  // strings a sheet listed before the run sees) and the last (what later sheets see, or the
  // failure that ends the pass), so a run is kept as those two: there are at most two SST
  // events for each sheet event.
  std::vector<Event> events;
  std::string error;             // the message of the failed SST event, the pass's last
  std::uint64_t globalsEnd = 0;  // after the globals' EOF record (0: none seen)
  // The generation the globals' BOF declares: a "Book" stream may hold BIFF8 records.
  int effectiveVersion = 0, effectiveMaxRecordSize = 0;
  SharedStrings sst;
  ByteText byteText;
};

// Where the cells of one sheet lie: per row the stream positions of its first and last cell
// record, from one pass over the sheet, and what its INDEX/DBCELL/ROW records say.
struct SheetDirectory {
  static constexpr std::uint64_t kNone = ~std::uint64_t{0};
  struct Row {
    std::uint64_t first = kNone, last = 0;  // header positions of its cell records
    // From the index: the first cell position its ROW record leads to and its column range
    // [indexCol1, indexColEnd). Kept to 32 bytes a row: a sheet may have 65,536 of them.
    std::uint64_t indexBase = kNone;
    std::uint16_t minCol = 0xFFFF, maxCol = 0;
    std::uint16_t indexCol1 = 0, indexColEnd = 0;
  };
  std::uint64_t start = 0;            // where the pass over the sheet began
  std::uint64_t sheetOffset = kNone;  // the sheet-list offset that led here (BOF checked)
  int version = 0, maxRecordSize = 0;
  static_assert(sizeof(Row) == 32);
  std::vector<Row> rows;
  bool indexHolds = false;
  long long indexFirstRow = 0, indexLastRow = -1;
};

// One pass over the workbook globals from the current position up to their EOF. The globals of
// a BIFF4 workbook (workbook4) hold its sheets, each after the SHEETHDR that lists it.
std::unique_ptr<GlobalsPass> PassGlobals(RecordStream& s, int version, int maxRecordSize,
                                         int codepage, bool workbook4 = false);

// From just after a BOF: passes over the records of its substream, the substreams it holds
// included, up to and with the EOF that closes it (or to the end of the stream).
// False when the stream ends first.
bool SkipToSubstreamEnd(RecordStream& s);

// Pass over one sheet from `start` to its first EOF, noting where each row's cells lie, then
// check the sheet's index (when readIndex) against them.
std::unique_ptr<SheetDirectory> PassSheet(RecordStream& s, std::uint64_t start, int version,
                                          int maxRecordSize, bool readIndex);

// The stream position of the BOF of substream k after the globals, or SheetDirectory::kNone.
std::uint64_t FindSubstream(RecordStream& s, std::uint64_t globalsEnd, int k);

}  // namespace reader::detail
