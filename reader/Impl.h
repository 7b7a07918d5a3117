#pragma once
// The private state of TXLSRead: the open file, the record loop's working state and the lookup
// cache. Shared by the reader's source files only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ByteView.h"
#include "platform/Codepage.h"
#include "platform/cfb/CompoundFile.h"
#include "reader/CellRecord.h"
#include "reader/FormatRenumbering.h"
#include "reader/LookupPasses.h"
#include "reader/Messages.h"
#include "reader/RecordIds.h"
#include "reader/RecordStream.h"
#include "reader/RepeatedErrors.h"
#include "reader/SharedStrings.h"
#include "reader/TXLSRead.h"
#include "reader/Text.h"
#include "reader/formula/FormulaDecoder.h"

namespace reader {

namespace detail {

inline constexpr const char* kEncryptedMessage = msg::kEncrypted;

// Latin-1 (BIFF8 8-bit text) to UTF-8.
void AppendLatin1Fast(std::string& out, const std::uint8_t* p, std::size_t n);

std::string ListIndexError(long long index);

}  // namespace detail

struct TXLSRead::Impl {
  explicit Impl(TXLSRead& owner) : self(owner) { firstSmallFormat.fill(kNoFormat); }
  ~Impl();

  TXLSRead& self;
  std::unique_ptr<platform::cfb::CompoundFile> storage;
  std::unique_ptr<detail::RecordStream> stream;
  bool plain = false;
  bool plainWorksheet = false;  // a plain file whose first BOF is a worksheet's
  // A plain BIFF4 workbook: its sheets follow SHEETHDR records inside the globals.
  bool workbook4 = false;
  std::size_t sheetHeaders = 0;    // SHEETHDR records met by the record loop
  bool encrypted = false;          // the workbook's encryption record was met
  bool encryptionChecked = false;  // IsEncrypted looked at the open file's globals

  // Record loop state.
  std::vector<std::uint8_t> buf;  // the current record body
  detail::SharedStrings sst;
  detail::ByteText byteText;  // BIFF2-BIFF5 text in the file's code page
  formula::TFormulaContext fctx;
  detail::FormatRenumbering renumbering;  // of XF format numbers at each worksheet BOF
  // For the BIFF3/BIFF4 date test, which names formats by one byte: per format number below
  // 256, the first Formats entry with it (kNoFormat: none).
  static constexpr std::uint32_t kNoFormat = ~std::uint32_t{0};
  std::array<std::uint32_t, 256> firstSmallFormat;
  void FormatsCleared() {
    firstSmallFormat.fill(kNoFormat);
    renumbering.Invalidate();
  }
  void FormatAdded();
  // IsDateTimeXF of an XF that exists; asked for every number cell, hence here.
  bool IsDateXf(std::size_t index) {
    const TXLSRead& r = self;
    renumbering.Resolve(r.FXFRecords, index);
    const TXFRecord& xf = r.FXFRecords[index];
    if (r.FBookVersion <= 3) {
      // BIFF3/BIFF4: a one-byte format number, the position of a FORMAT record of the sheet.
      // The first FORMAT with that number decides.
      const std::uint32_t k = firstSmallFormat[xf.Data[1]];
      return k != kNoFormat && r.FFormats[k].IsDateMask();
    }
    const int m = xf.FormatNumber();
    if (m <= 49) return m >= 14 && m <= 22;
    const auto k = static_cast<std::size_t>(m - 49);
    return k < r.FFormats.size() && r.FFormats[k].IsDateMask();
  }
  std::uint32_t recordCount = 0;
  std::uint16_t recordId = 0;      // of the record being handled
  detail::RepeatedErrors repeats;  // record errors already asked about in this Read
  std::string text;                // scratch for event strings, reused to avoid allocations
  std::string text2;
  // The shared formulas of the current worksheet by their first cell (row << 8 | column), for
  // SharedFormulasByCell: the range and the tokens, the array data after them included.
  struct SharedFormula {
    std::uint16_t firstRow = 0, lastRow = 0;
    std::uint8_t firstCol = 0, lastCol = 0;
    std::size_t tokenLen = 0;
    std::vector<std::uint8_t> bytes;
  };
  std::unordered_map<std::uint32_t, SharedFormula> sharedFormulas;
  // Keeps the SHRFMLA record of len bytes in b (unless kept already); false when too short.
  bool KeepSharedFormula(const std::uint8_t* b, std::size_t len);
  // The text of the shared formula that the FORMULA record of (col, row) points at with its
  // first token (the shared formula's first cell at anchorRow, anchorCol), when known.
  void SharedFormulaCell(int col, int row, int anchorRow, int anchorCol);
  // A STRING record already taken for its formula, passed over when the loop reaches it.
  std::uint64_t skipFrom = ~std::uint64_t{0}, skipTo = 0;

  // Lookup cache, valid for one Open.
  std::unique_ptr<detail::GlobalsPass> globals;
  std::unique_ptr<detail::SheetDirectory> sheetDir;

  // A record error found without raising it: the record loop reports it as it reports a
  // raised one, and a file of a million records too short for what they hold costs no
  // exception each.
  bool faulted = false;
  std::string faultText;
  // Notes "Record XXXX is too short (n bytes)"; false.
  bool TooShort(std::uint16_t id, std::size_t len);
  // True, the error noted, when `body` of record `id` holds fewer than n bytes.
  bool Short(std::uint16_t id, const platform::ByteView& body, std::size_t n) {
    if (body.Size() >= n) return false;
    TooShort(id, body.Size());
    return true;
  }
  // Notes another record error; false.
  bool Fault(std::string text) {
    faultText = std::move(text);
    faulted = true;
    return false;
  }
  // Raises the noted error (outside the record loop, where errors are raised).
  [[noreturn]] void RaiseFault();
  // Record text: `count` characters at `offset` of the body (an option byte first in BIFF8),
  // 8-bit text in the code page of `bt`. False, the error noted, when the body is too short.
  [[nodiscard]] bool RecordText(std::string& out, const detail::ByteText& bt,
                                const platform::ByteView& body, std::size_t offset,
                                std::size_t count, std::uint16_t id);
  [[nodiscard]] bool RecordText(std::string& out, const platform::ByteView& body,
                                std::size_t offset, std::size_t count, std::uint16_t id) {
    return RecordText(out, byteText, body, offset, count, id);
  }
  void ResetTables();
  void RunLoop();
  // Handles one record; false when the loop must end, or with `faulted` when it noted an error.
  bool Dispatch(std::uint16_t id, std::uint16_t len, bool inMemory);
  bool HandleBof(std::uint16_t id, std::uint16_t len);
  void HandleGlobals(std::uint16_t id, std::uint16_t len);
  // Entries of the workbook table that records `id` fill (0 for other records).
  std::size_t TableEntries(std::uint16_t id) const;
  // The error of a record `id` whose table is full, or empty when it has room.
  std::string TableFull(std::uint16_t id) const;
  // The error policy for a record error: false when the loop must end.
  bool RecordFault(const std::string& what);
  void HandleCell(std::uint16_t id, std::uint16_t len);
  void HandleFormula(std::uint16_t id, std::uint16_t len);
  void HandleValueCell(std::uint16_t id, const platform::ByteView& body);
  void NumberOrDate(int col, int row, int xf, double value, bool isFormula);
  // A BIFF8 STRING record (body of length len in b) whose count of characters runs on into the
  // CONTINUE records that follow in `in`; b holds bufSize bytes. False, the error noted, when
  // the string ends short of its count.
  [[nodiscard]] bool LongStringResult(detail::RecordStream& in, std::uint8_t* b,
                                      std::size_t bufSize, std::string& out, std::uint16_t len,
                                      std::size_t count);
  // The text of a STRING record whose body of len bytes is in b (bufSize bytes), in `out`;
  // text of BIFF2-BIFF5 in the code page of `bt`. False, the error noted, for a record too short.
  [[nodiscard]] bool StringResultText(detail::RecordStream& in, std::uint16_t id, std::uint8_t* b,
                                      std::size_t bufSize, std::uint16_t len,
                                      const detail::ByteText& bt, std::string& out);
  // Reads the text of a STRING record (header just read) into text; false as StringResultText.
  [[nodiscard]] bool StringResultBody(std::uint16_t id, std::uint16_t len);
  void NonNumericResult(int col, int row, int xf, std::uint8_t type, std::uint8_t value);
  void ShowError(const std::string& text);
  // The text an error of a record is reported with: the reader's own for a failed allocation.
  std::string OwnMessage(const std::exception& e) const;
  bool AskContinue(const std::string& text);
  void ApplyPalette();
  void CloseFile();

  // Lookup (Lookup.cpp).
  bool Lookup(int sheetIndex, int col, int row, TCellValue& value);
  std::string FormulaStringResult(int version, int mrs, const detail::ByteText& text8);
};

}  // namespace reader
