#pragma once
// Test-only writer of BIFF record streams, byte for byte. Tests use it to build workbooks with
// exactly the records an edge case needs (a string split at a chosen byte, an INDEX that points
// at the wrong row...). Nothing here checks that the result is a sensible workbook: that is the
// point.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "reader/RecordIds.h"

namespace testbiff {

using Bytes = std::vector<std::uint8_t>;

// The BIFF generation a stream is written in. It decides record identifiers and layouts.
enum class Biff { v2, v3, v4, v5, v8 };

// Record identifiers and BOF types, named as the reader names them.
namespace rec = ::reader::rec;
using ::reader::rec::kChart;
using ::reader::rec::kGlobals;
using ::reader::rec::kWorksheet;

// Little-endian byte builder for record bodies.
class Body {
 public:
  Body() = default;
  Body& U8(std::uint8_t v);
  Body& U16(std::uint16_t v);
  Body& U32(std::uint32_t v);
  Body& I16(std::int16_t v) { return U16(static_cast<std::uint16_t>(v)); }
  Body& F64(double v);
  Body& Raw(const Bytes& b);
  Body& Raw(std::string_view bytes);
  Body& Zeros(std::size_t n);
  Body& Utf16(std::u16string_view units);  // code units, no count, no option byte
  std::size_t Size() const { return bytes_.size(); }
  const Bytes& bytes() const { return bytes_; }
  operator const Bytes&() const { return bytes_; }  // NOLINT: a body is its bytes

 private:
  Bytes bytes_;
};

// Text helpers. Test sources are UTF-8; the file wants Latin-1, UTF-16 or a code page.
std::u16string Utf16FromUtf8(std::string_view utf8);
bool FitsLatin1(std::u16string_view units);
std::string Latin1FromUtf16(std::u16string_view units);             // only for FitsLatin1 text
std::string CodepageFromUtf8(std::string_view utf8, int codepage);  // throws if unmappable

// A BIFF8 string as Excel stores it: count (16- or 8-bit), option byte, characters. Latin-1
// text is stored compressed (8-bit) unless `forceWide`.
Bytes Biff8Text(std::string_view utf8, bool longCount = true, bool forceWide = false);

// Byte-level record stream. Every Add returns the stream offset of the record's header, so a
// test can point BOUNDSHEET, INDEX and DBCELL offsets anywhere it likes.
class RecordStream {
 public:
  explicit RecordStream(Biff version, int codepage = 1252)
      : version_(version), codepage_(codepage) {}

  Biff version() const { return version_; }
  int codepage() const { return codepage_; }
  std::size_t Size() const { return data_.size(); }
  const Bytes& Data() const { return data_; }

  std::size_t Add(std::uint16_t id, const Bytes& body);
  // A header claiming `length` bytes followed by the given (possibly shorter) bytes.
  std::size_t AddRaw(std::uint16_t id, std::uint16_t length, const Bytes& body);
  void Append(const Bytes& raw);  // bytes outside any record (garbage, truncation tests)
  void PatchU16(std::size_t at, std::uint16_t v);
  void PatchU32(std::size_t at, std::uint32_t v);
  void Truncate(std::size_t size) { data_.resize(size); }

  // Common records in the layout of this stream's version.
  std::size_t Bof(std::uint16_t type);
  std::size_t Eof() { return Add(rec::kEof, {}); }
  std::size_t Codepage(std::uint16_t cp) { return Add(rec::kCodepage, Body().U16(cp)); }
  // Returns the stream offset of the sheet-offset field, for PatchU32 once the sheet is placed.
  std::size_t BoundSheet(std::string_view name, std::uint8_t kind = 0, std::uint32_t offset = 0);
  std::size_t Font(std::string_view name, std::uint16_t height = 200);
  std::size_t Format(std::uint16_t number, std::string_view text);
  std::size_t Xf(std::uint16_t formatNumber, bool style = false);
  std::size_t Dimensions(std::uint32_t firstRow, std::uint32_t lastRowPlus1, std::uint16_t firstCol,
                         std::uint16_t lastColPlus1);

  // Cell records (BIFF3 and later layouts; BIFF2 ones below).
  std::size_t Number(std::uint16_t row, std::uint16_t col, std::uint16_t xf, double v);
  std::size_t Rk(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::uint32_t rk);
  // cells: (xf, rk) per column from firstCol on.
  std::size_t MulRk(std::uint16_t row, std::uint16_t firstCol,
                    const std::vector<std::pair<std::uint16_t, std::uint32_t>>& cells);
  std::size_t Label(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::string_view utf8);
  std::size_t LabelSst(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::uint32_t index);
  std::size_t RString(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::string_view text,
                      const std::vector<std::pair<std::uint8_t, std::uint8_t>>& runs);
  std::size_t BoolErr(std::uint16_t row, std::uint16_t col, std::uint16_t xf, std::uint8_t value,
                      bool isError);
  std::size_t Blank(std::uint16_t row, std::uint16_t col, std::uint16_t xf);
  std::size_t MulBlank(std::uint16_t row, std::uint16_t firstCol,
                       const std::vector<std::uint16_t>& xfs);
  // Formula with a numeric cached result; tokens default to a lone integer constant.
  std::size_t FormulaNumber(std::uint16_t row, std::uint16_t col, std::uint16_t xf, double v,
                            const Bytes& tokens = {});
  // Formula with a non-numeric cached result: type 0 string, 1 Boolean, 2 error, 3 empty.
  std::size_t FormulaSpecial(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                             std::uint8_t type, std::uint8_t value, const Bytes& tokens = {});
  std::size_t StringResult(std::string_view utf8);  // STRING record after a string formula
  std::size_t Row(std::uint16_t row, std::uint16_t firstCol, std::uint16_t lastColPlus1,
                  std::uint16_t height = 255, std::uint16_t flags = 0x0100, std::uint16_t xf = 15);
  std::size_t ColInfo(std::uint16_t first, std::uint16_t last, std::uint16_t width,
                      std::uint16_t xf);
  // INDEX with the given DBCELL offsets; returns the header offset. The offsets' field starts at
  // header + 4 + (16 in BIFF8, 12 before), see IndexOffsetsField.
  std::size_t Index(std::uint32_t firstRow, std::uint32_t lastRowPlus1,
                    const std::vector<std::uint32_t>& dbcells);
  std::size_t IndexOffsetsField(std::size_t indexHeader) const;
  std::size_t DbCell(std::uint32_t backToFirstRow, const std::vector<std::uint16_t>& rowOffsets);

  // BIFF2 cell records (row, col, 3 attribute bytes, value).
  std::size_t Integer2(std::uint16_t row, std::uint16_t col, std::uint16_t v);
  std::size_t Number2(std::uint16_t row, std::uint16_t col, double v);
  std::size_t Label2(std::uint16_t row, std::uint16_t col, std::string_view utf8);
  std::size_t BoolErr2(std::uint16_t row, std::uint16_t col, std::uint8_t value, bool isError);
  std::size_t Formula2Number(std::uint16_t row, std::uint16_t col, double v);

  // 8-bit text of this stream's code page (BIFF2-BIFF5) with a length prefix of 1 or 2 bytes;
  // for BIFF8 a full Biff8Text.
  Bytes Text(std::string_view utf8, bool longCount) const;

 private:
  Biff version_;
  int codepage_;
  Bytes data_;
};

// The pieces of a shared-string table, laid out across SST and CONTINUE records under the
// writer's control. `Add` lays strings out the way Excel does, starting a CONTINUE record when a
// record is full; `Break` ends the current record at any chosen point, for tests of split
// strings.
class SstWriter {
 public:
  struct Str {
    std::string utf8;
    bool wide = false;  // store as UTF-16 even when the text fits 8-bit
    std::vector<std::pair<std::uint16_t, std::uint16_t>> runs;  // (first char, font)
    Bytes ext;                                                  // extended (phonetic) data
  };

  SstWriter(std::uint32_t total, std::uint32_t unique, std::size_t maxBody = 8224);

  // Whole string, split across records as needed (character data continues with an option
  // byte, headers and run blocks never split).
  SstWriter& Add(const Str& s);
  SstWriter& Add(std::string_view utf8) { return Add(Str{std::string(utf8)}); }

  // Low-level pieces for hand-made layouts.
  SstWriter& Raw(const Bytes& b);
  SstWriter& Break();                               // start a CONTINUE record here
  SstWriter& BreakWithOption(std::uint8_t option);  // CONTINUE beginning with an option byte

  // Record bodies: the first is the SST, the others CONTINUE records.
  const std::vector<Bytes>& Records() const { return records_; }
  void WriteTo(RecordStream& out) const;

 private:
  std::size_t Room() const { return maxBody_ - records_.back().size(); }
  void Put(const std::uint8_t* p, std::size_t n);
  void PutChars(const std::u16string& units, bool wide);

  std::size_t maxBody_;
  std::vector<Bytes> records_;
};

// Helpers for RK values.
std::uint32_t RkFromInt(std::int32_t v, bool div100 = false);
std::uint32_t RkFromDoubleHigh(double v, bool div100 = false);  // top 30 bits of the double

}  // namespace testbiff
