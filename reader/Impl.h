#pragma once
// The private state of TXLSRead: the open file, the record loop's working state and the lookup
// cache. Shared by the reader's source files only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "platform/cfb/CompoundFile.h"
#include "reader/RecordStream.h"
#include "reader/SharedStrings.h"
#include "reader/TXLSRead.h"
#include "reader/Text.h"
#include "reader/formula/FormulaDecoder.h"

namespace reader {

namespace detail {

// Little-endian reads from a record body whose length has been checked by the caller.
inline std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
double F64(const std::uint8_t* p);
// Latin-1 (BIFF8 8-bit text) to UTF-8.
void AppendLatin1Fast(std::string& out, const std::uint8_t* p, std::size_t n);

[[noreturn]] void RecordTooShort(std::uint16_t id, std::size_t length);
std::string ListIndexError(long long index);

// What one pass over the workbook globals found, in stream order, so that every lookup of one
// Open can replay the decisions of a fresh pass without reading the globals again.
struct GlobalsPass {
  struct Event {
    enum Kind { Sheet, Sst, Eof, End } kind = End;
    std::uint64_t position = 0;  // stream position after the record (or where its error arose)
    std::uint32_t offset = 0;    // Sheet: the BOF offset
    std::size_t strings = 0;     // Sst: strings in the table after this record
    std::string error;           // Sst: the message it failed with
  };
  std::uint64_t start = 0;
  int version = 0, maxRecordSize = 0, codepage = 0;
  std::vector<Event> events;
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

}  // namespace detail

struct TXLSRead::Impl {
  explicit Impl(TXLSRead& owner) : self(owner) {}
  ~Impl();

  TXLSRead& self;
  std::unique_ptr<platform::cfb::CompoundFile> storage;
  std::unique_ptr<detail::RecordStream> stream;
  bool plain = false;
  bool plainWorksheet = false;  // a plain file whose first BOF is a worksheet's

  // Record loop state.
  std::vector<std::uint8_t> buf;  // the current record body
  detail::SharedStrings sst;
  detail::ByteText byteText;  // BIFF2-BIFF5 text in the file's code page
  formula::TFormulaContext fctx;
  std::uint32_t recordCount = 0;
  std::string text;  // scratch for event strings, reused to avoid allocations
  std::string text2;
  // A STRING record already taken for its formula, passed over when the loop reaches it.
  std::uint64_t skipFrom = ~std::uint64_t{0}, skipTo = 0;

  // Lookup cache, valid for one Open.
  std::unique_ptr<detail::GlobalsPass> globals;
  std::unique_ptr<detail::SheetDirectory> sheetDir;

  // Record text: p points into the body of length len (an option byte first in BIFF8).
  void RecordText(std::string& out, const std::uint8_t* body, std::size_t len, std::size_t offset,
                  std::size_t count, std::uint16_t id) const;
  void ResetTables();
  void RunLoop();
  // Handles one record; false when the loop must end.
  bool Dispatch(std::uint16_t id, std::uint16_t len, bool inMemory);
  bool HandleBof(std::uint16_t id, std::uint16_t len);
  void HandleGlobals(std::uint16_t id, std::uint16_t len);
  void HandleCell(std::uint16_t id, std::uint16_t len);
  void HandleFormula(std::uint16_t id, std::uint16_t len);
  void NumberOrDate(int col, int row, int xf, double value, bool isFormula);
  // A BIFF8 STRING record (body of length len in b) whose count of characters runs on into the
  // CONTINUE records that follow in `in`; b holds bufSize bytes.
  void LongStringResult(detail::RecordStream& in, std::uint8_t* b, std::size_t bufSize,
                        std::string& out, std::uint16_t len, std::size_t count);
  // Reads the text of a STRING record (header just read) into text.
  void StringResultBody(std::uint16_t id, std::uint16_t len);
  void NonNumericResult(int col, int row, int xf, std::uint8_t type, std::uint8_t value);
  void ShowError(const std::string& text);
  bool AskContinue(const std::string& text);
  void ApplyPalette();
  void CloseFile();

  // Lookup (Lookup.cpp).
  bool Lookup(int sheetIndex, int col, int row, TCellValue& value);
};

}  // namespace reader
