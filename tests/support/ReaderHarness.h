#pragma once
// Runs TXLSRead over a workbook with every event hooked and keeps what it reported, so tests can
// compare it with expectations and with GetCellValue.
#include <cstdint>
#include <string>
#include <vector>

#include "reader/TXLSRead.h"

namespace testreader {

enum class Kind { kNumber, kDateTime, kString, kBool, kBlank, kRich, kFormula };
const char* KindName(Kind k);

struct CellEvent {
  Kind kind;
  int sheet;  // SheetIndex at the time of the event (-1 in a plain BIFF2-BIFF4 file)
  int col, row, xf;
  double number = 0;
  std::string text;
  bool boolean = false;
  bool isFormulaValue = false;
  std::uint16_t record = 0;                // identifier of the record being handled
  std::vector<reader::TRecREFormat> runs;  // rich cells: the block as passed, entry 0 first
};

struct Collected {
  std::vector<reader::TSheetEntry> sheetNames;
  std::vector<std::pair<std::string, int>> sheetEvents;  // OnSheet: name, index
  std::vector<CellEvent> cells;
  std::vector<std::string> messages;  // every text the message hook was shown
  std::vector<int> progress;
  std::vector<std::uint16_t> records;    // OnRecord identifiers, in order
  std::vector<std::uint16_t> unhandled;  // OnUnhandled identifiers
  std::vector<int> sheetKinds;           // BOUNDSHEET sheet kind byte, in record order
  std::string openError;                 // the exception of Read, if any
};

// Events count worksheets (SheetIndex), lookups take a position in the sheet list, where chart
// and macro sheets count too. The list position of the n-th worksheet; n itself for a plain file.
int ListPosition(const Collected& c, int worksheet);

struct ReadOptions {
  bool allSheets = true;     // OnSheet sets ReadIt for every sheet
  bool hookSheet = true;     // assign OnSheet at all
  bool hookDateTime = true;  // assign OnDateTimeCell
  reader::TXLSErrorLevel errorLevel = reader::xelMessage;
  bool answerYes = true;  // the answer to "Continue?" questions
  int codepage = 0;
};

// Read with every event assigned. Never throws: an exception of Read lands in openError.
Collected ReadAll(const std::string& path, const ReadOptions& options = {});
// The same with a reader the caller prepared (for properties the options do not cover).
Collected ReadAll(reader::TXLSRead& r, const ReadOptions& options = {});

// The value text of a lookup result, for messages.
std::string Describe(const reader::TCellValue& v);

}  // namespace testreader
