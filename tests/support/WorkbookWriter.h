#pragma once
// Test-only writer of whole BIFF5/BIFF8 workbooks: globals (fonts, formats, XFs, sheet list,
// shared strings), then each worksheet with INDEX, ROW blocks and DBCELL records laid out the way
// Excel lays them out. Tests and benchmarks describe cells; the writer does the offsets.
#include <cstdint>
#include <string>
#include <vector>

#include "support/BiffWriter.h"

namespace testbiff {

// XF indexes the writer always provides.
inline constexpr std::uint16_t kXfGeneral = 15;  // first cell XF, format 0
inline constexpr std::uint16_t kXfDate = 16;     // built-in format 14 (m/d/yy)
inline constexpr std::uint16_t kXfTime46 = 17;   // built-in format 46 ([h]:mm:ss)
inline constexpr std::uint16_t kXfPrice = 18;    // built-in format 4 (#,##0.00)

class SheetData {
 public:
  explicit SheetData(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }

  void Number(std::uint16_t row, std::uint16_t col, double v, std::uint16_t xf = kXfGeneral);
  void Rk(std::uint16_t row, std::uint16_t col, std::uint32_t rk, std::uint16_t xf = kXfGeneral);
  void MulRk(std::uint16_t row, std::uint16_t firstCol, const std::vector<std::uint32_t>& rks,
             std::uint16_t xf = kXfGeneral);
  // A text cell: LABELSST in BIFF8, LABEL in BIFF5.
  void Text(std::uint16_t row, std::uint16_t col, std::string text, std::uint16_t xf = kXfGeneral);
  void Bool(std::uint16_t row, std::uint16_t col, bool v);
  void Error(std::uint16_t row, std::uint16_t col, std::uint8_t code);
  void Blank(std::uint16_t row, std::uint16_t col, std::uint16_t xf = kXfGeneral);
  void MulBlank(std::uint16_t row, std::uint16_t firstCol, std::uint16_t count);
  void FormulaNumber(std::uint16_t row, std::uint16_t col, double v, std::uint16_t xf = kXfGeneral);
  void FormulaString(std::uint16_t row, std::uint16_t col, std::string text);
  void FormulaBool(std::uint16_t row, std::uint16_t col, bool v);
  void FormulaError(std::uint16_t row, std::uint16_t col, std::uint8_t code);

  enum class Kind {
    kNumber,
    kRk,
    kMulRk,
    kText,
    kBool,
    kError,
    kBlank,
    kMulBlank,
    kFNumber,
    kFString,
    kFBool,
    kFError
  };
  struct Item {
    Kind kind;
    std::uint16_t row, col, lastCol, xf;
    double number = 0;
    std::vector<std::uint32_t> rks;  // MULRK values; RK value in rks[0]
    std::string text;
    std::uint8_t code = 0;  // Boolean value or error code
  };
  const std::vector<Item>& items() const { return items_; }

 private:
  Item& Push(Kind k, std::uint16_t row, std::uint16_t col, std::uint16_t xf);
  std::string name_;
  std::vector<Item> items_;
};

struct WorkbookOptions {
  Biff version = Biff::v8;
  int codepage = 1252;  // BIFF5 text; also written as the CODEPAGE record
  bool codepageRecord = true;
  bool indexRecords = true;  // INDEX + DBCELL (needs ROW records)
  bool rowRecords = true;
  std::size_t sstMaxBody = 8224;     // SST/CONTINUE body limit
  std::vector<std::string> formats;  // custom FORMAT records, numbers 164 on; XFs 19 on use them
};

class WorkbookWriter {
 public:
  explicit WorkbookWriter(WorkbookOptions options = {}) : options_(std::move(options)) {}
  SheetData& AddSheet(std::string name);
  // XF index whose format is custom format k (0-based position in options.formats).
  static std::uint16_t CustomXf(std::size_t k) { return static_cast<std::uint16_t>(19 + k); }

  Bytes Stream() const;  // the workbook stream
  Bytes File() const;    // compound file with a "Workbook" (BIFF8) or "Book" (BIFF5) stream

 private:
  void WriteSheet(RecordStream& out, const SheetData& sheet,
                  const std::vector<std::uint32_t>& sst) const;
  WorkbookOptions options_;
  std::vector<SheetData> sheets_;
};

}  // namespace testbiff
