#pragma once
// TXLSRead: reads a BIFF2-BIFF8 workbook (a plain file or the "Book"/"Workbook" stream of a
// compound file) record by record and hands sheets and cells to its owner through events, or
// answers single-cell lookups by position (Open, GetCellValue, Close).
//
// Strings are UTF-8. BIFF8 8-bit strings are Latin-1; BIFF2-BIFF5 text is in the workbook's
// code page (its CODEPAGE record, 1252 when there is none). The Codepage property governs the
// UTF-16 sheet names and shared strings: 0 keeps every character, another Windows code page
// keeps only what that code page can hold (the rest becomes '?').
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "masks/ExcelMask.h"

namespace reader {

// Every failure the reader raises (open errors, lookup errors, record errors).
class EXLSError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How an error met while a record is processed is handled by Read.
enum TXLSErrorLevel { xelException, xelMessage, xelIgnore };

// How the reader shows its messages. Question true: a Yes/No question ("...Continue?"), the
// result is true for Yes. Question false: an error with an OK button, the result is ignored.
// The window installs its message dialog here; the default prints the text on stderr and
// answers Yes, so reading goes on.
using TXLSMessageHook = std::function<bool(const std::string& Text, bool Question)>;
// Process-wide hook used by every reader whose own MessageHook is empty. An empty hook restores
// the default. Returns the previous hook.
TXLSMessageHook SetXLSMessageHook(TXLSMessageHook Hook);

// One formatting run of a rich string. Entry 0 of a block holds the run count in FontIndex.
struct TRecREFormat {
  std::uint16_t Position = 0;
  std::uint16_t FontIndex = 0;
};
using PRecREFormatArray = const TRecREFormat*;

// A sheet of the workbook: its name and the stream offset of its BOF record.
struct TSheetEntry {
  std::string Name;
  std::uint32_t Offset = 0;
};

struct TXLSFont {
  std::string Name;
  int Size = 0;  // points
  int Charset = 0;
  std::uint32_t Color = 0;  // colour index while reading; RGB (red in the low byte) after Read
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
};

// Raw copy of an XF record: 20 bytes in BIFF8, 16 before. The format number at offset 2 is
// renumbered at every worksheet BOF.
struct TXFRecord {
  std::array<std::uint8_t, 20> Data{};
  std::uint8_t Size = 0;
  std::uint16_t FormatNumber() const {
    return static_cast<std::uint16_t>(Data[2] | (Data[3] << 8));
  }
};

// A FORMAT record: its format number and its text. The text is parsed only when a cell asks
// whether it formats dates, once; the answer is kept (masks::TExcelMask(Mask) parses it whole).
class TFormatEntry {
 public:
  TFormatEntry(std::string mask, int formatIndex)
      : Mask(std::move(mask)), FormatIndex(formatIndex) {}
  std::string Mask;     // at most 255 characters
  int FormatIndex = 0;  // the FORMAT record's format number
  // True when the mask's first section formats a date or time.
  bool IsDateMask() const { return date_ < 0 ? ParseDate() : date_ == 1; }

 private:
  bool ParseDate() const;
  mutable std::int8_t date_ = -1;  // -1 not parsed yet
};

struct TNameEntry {
  std::string Name;
  std::uint16_t Options = 0;
};

// The value of a cell found by GetCellValue: a number (also date/time serials and numeric
// formula results) or a text (strings, Boolean and error formula results).
using TCellValue = std::variant<std::monostate, double, std::string>;

class TXLSRead;

// The XF records as cells see them: an entry's format number is brought up to date with the
// worksheet BOFs read so far when the entry is looked at.
class TXFRecordList {
 public:
  std::size_t size() const;
  bool empty() const { return size() == 0; }
  const TXFRecord& operator[](std::size_t i) const;

 private:
  friend class TXLSRead;
  explicit TXFRecordList(const TXLSRead& r) : r_(&r) {}
  const TXLSRead* r_;
};

using TBlankCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex)>;
using TNumberCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex,
                                            double Value, bool IsFormulaValue)>;
using TDateTimeCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex,
                                              double Value, bool IsFormulaValue)>;
using TStringCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex,
                                            const std::string& Value, bool IsFormulaValue)>;
using TBoolCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex,
                                          bool Value, bool IsFormulaValue)>;
// Formatting is valid during the call only.
using TRichCellEvent = std::function<void(TXLSRead& Sender, int Col, int Row, int FormatIndex,
                                          const std::string& Value, PRecREFormatArray Formatting)>;
using TFormulaCellEvent =
    std::function<void(TXLSRead& Sender, int Col, int Row, const std::string& Formula)>;
using TColEvent =
    std::function<void(TXLSRead& Sender, int Col1, int Col2, int FormatIndex, int Width)>;
using TRowEvent =
    std::function<void(TXLSRead& Sender, int Row, int Col1, int Col2, int FormatIndex, int Height)>;
using TSheetEvent =
    std::function<void(TXLSRead& Sender, const std::string& Name, int Index, bool& ReadIt)>;
// Data is null when the body is not in memory (the SST, and bodies longer than MaxRecordSize);
// Length is always the true body length.
using TRecordEvent =
    std::function<void(TXLSRead& Sender, std::uint16_t ID, int Length, const std::uint8_t* Data)>;
using TIntegerEvent = std::function<void(TXLSRead& Sender, int Value)>;

// The format strings of the built-in format numbers 0 to 49 (empty where none is defined).
std::string_view BuiltInFormat(int Number);

class TXLSRead {
 public:
  TXLSRead();
  ~TXLSRead();
  TXLSRead(const TXLSRead&) = delete;
  TXLSRead& operator=(const TXLSRead&) = delete;

  // ---- properties -------------------------------------------------------------------------
  std::string FileName;          // path of the workbook (UTF-8)
  std::string StrTRUE = "TRUE";  // text of a Boolean true in formula text and lookups
  std::string StrFALSE = "FALSE";
  TXLSErrorLevel ErrorLevel = xelMessage;
  char FuncArgSeparator = ',';  // between function arguments in formula text
  // False: a shared formula's text is given for every cell of the range its SHRFMLA record
  // names. True: only for the cells whose FORMULA record uses it, in their record order, so the
  // events stay proportional to the cells of the file (imppret dump sets it).
  bool SharedFormulasByCell = false;
  int Codepage() const { return FCodepage; }
  void SetCodepage(int Value) { FCodepage = Value < 0 ? 0 : Value; }

  // Replaces the process-wide message hook for this reader when set.
  TXLSMessageHook MessageHook;

  // ---- events (called only when assigned) -------------------------------------------------
  TIntegerEvent OnProgress;
  TRecordEvent OnRecord;
  TRecordEvent OnUnhandled;
  TBlankCellEvent OnBlankCell;
  TBoolCellEvent OnBoolCell;
  TNumberCellEvent OnNumberCell;
  TDateTimeCellEvent OnDateTimeCell;
  TStringCellEvent OnStringCell;
  TRichCellEvent OnRichCell;
  TFormulaCellEvent OnFormulaCell;
  TColEvent OnCol;
  TRowEvent OnRow;
  TSheetEvent OnSheet;

  // ---- operations -------------------------------------------------------------------------
  // Opens FileName and classifies it; raises EXLSError ("Filename is missing", "File is not a
  // Excel Workbook", "File is not a Excel file", or the compound file's or the system's error).
  void Open();
  // Releases whatever Open opened; does nothing when nothing is open.
  void Close();
  // Open, the record loop with its events, Close. Does nothing while a file is open. Errors of
  // Open are raised; errors of the records follow ErrorLevel.
  void Read();
  // Looks up the cell (Col, Row) of sheet SheetIndex (position in SheetNames) in the file left
  // open by Open. True when found, with Value set; Value is left alone otherwise. Raises
  // EXLSError ("File is not open", "Can not find the sheet", "File has no data", the shared
  // string messages).
  bool GetCellValue(int SheetIndex, int Col, int Row, TCellValue& Value);
  bool IsOpen() const;
  // True after Open of a plain file that holds one worksheet and no sheet list: Read gives its
  // cells with SheetIndex -1, and GetCellValue finds them whatever the sheet index.
  bool IsSingleWorksheet() const;
  // True when the workbook is protected by a password: on an open file, when its globals hold
  // the encryption record (only the records before the sheet list are read); after Read, when
  // Read met it and stopped there. GetCellValue raises "Can not read, file is encrypted" for
  // such a file.
  bool IsEncrypted();

  std::string ErrorText(int Code) const;
  std::string BoolText(int Value) const { return Value == 0 ? StrFALSE : StrTRUE; }
  static double DecodeRK(std::uint32_t Value);
  // Raises EXLSError when XFIndex has no XF record.
  bool IsDateTimeXF(int XFIndex) const;
  static std::string CellRefText(int Col, int Row, bool AbsCol, bool AbsRow);

  // ---- state readable by the owner -------------------------------------------------------
  const std::vector<TSheetEntry>& SheetNames() const { return FSheetNames; }
  int FirstRow() const { return FFirstRow; }
  int LastRow() const { return FLastRow; }
  int FirstCol() const { return FFirstCol; }
  int LastCol() const { return FLastCol; }
  int SheetIndex() const { return FSheetIndex; }
  // 0 none, 1 BIFF2, 2 BIFF3, 3 BIFF4, 4 BIFF5+ in a plain file, 5 BIFF5/BIFF7, 6 BIFF8.
  int Version() const { return FVersion; }
  int BookVersion() const { return FBookVersion; }
  int MaxRecordSize() const { return FMaxRecordSize; }
  std::uint64_t StreamSize() const { return FStreamSize; }
  int FileCodepage() const { return FFileCodepage; }
  TXFRecordList XFRecords() const { return TXFRecordList(*this); }
  // One entry per FORMAT record, with its record's format number.
  const std::vector<TFormatEntry>& Formats() const { return FFormats; }
  const std::vector<TXLSFont>& Fonts() const { return FFonts; }
  const std::vector<std::uint32_t>& Palette() const { return FPalette; }
  const std::vector<TNameEntry>& Names() const { return FNames; }
  const std::vector<std::string>& ExternNames() const { return FExternNames; }

  struct Impl;  // the open file, record loop and lookup state

 private:
  friend struct Impl;
  friend class TXFRecordList;
  int FCodepage = 0;
  std::vector<TSheetEntry> FSheetNames;
  int FFirstRow = 0, FLastRow = 0, FFirstCol = 0, FLastCol = 0;
  int FSheetIndex = -1;
  int FVersion = 0;
  int FBookVersion = 0;
  int FMaxRecordSize = 2080;
  std::uint64_t FStreamSize = 0;
  int FFileCodepage = 0;
  // Format numbers are renumbered when read (see TXFRecordList), hence mutable.
  mutable std::vector<TXFRecord> FXFRecords;
  std::vector<TFormatEntry> FFormats;
  std::vector<TXLSFont> FFonts;
  std::vector<std::uint32_t> FPalette;
  std::vector<TNameEntry> FNames;
  std::vector<std::string> FExternNames;
  TXLSFont FDefaultFont;
  std::unique_ptr<Impl> FImpl;
};

}  // namespace reader
