// Byte-exact cases for GetCellValue: the indexed search, its fallback when the index records do
// not hold, and the values of each cell kind.
#include <gtest/gtest.h>

#include "BookBuilder.h"
#include "support/ReaderHarness.h"
#include "support/TempFile.h"
#include "support/WorkbookWriter.h"

namespace {

using namespace testbiff;
using reader::TCellValue;

// Open on construction, Close on destruction.
class Lookup {
 public:
  explicit Lookup(const Bytes& data) : file_(data) {
    r.FileName = file_.path();
    r.Read();
    r.Open();
  }
  ~Lookup() { r.Close(); }
  // The value, or "none" when not found; "raised: ..." when the lookup raised.
  std::string At(int sheet, int col, int row) {
    TCellValue v;
    try {
      if (!r.GetCellValue(sheet, col, row, v)) return "none";
    } catch (const reader::EXLSError& e) {
      return std::string("raised: ") + e.what();
    }
    if (std::holds_alternative<double>(v)) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", std::get<double>(v));
      return buf;
    }
    return std::holds_alternative<std::string>(v) ? "'" + std::get<std::string>(v) + "'" : "empty";
  }
  reader::TXLSRead r;

 private:
  TempFile file_;
};

Bytes ThreeSheetBook() {
  WorkbookWriter w;
  for (int s = 0; s < 3; ++s) {
    SheetData& d = w.AddSheet("Foaia " + std::to_string(s));
    for (int row = 0; row < 70; ++row) {
      d.Text(static_cast<std::uint16_t>(row), 0,
             "Cod " + std::to_string(s) + "-" + std::to_string(row));
      d.Number(static_cast<std::uint16_t>(row), 1, s * 1000 + row + 0.25);
    }
    d.MulRk(80, 2, {RkFromInt(1), RkFromInt(2), RkFromInt(3, true)});
    d.FormulaBool(81, 0, false);
    d.FormulaError(81, 1, 0x2A);
    d.FormulaString(81, 2, "din formulă");
    d.FormulaNumber(81, 3, -4.5);
    d.Blank(82, 0);
    d.Bool(82, 1, true);
  }
  return w.File();
}

TEST(ReaderLookup, FindsEachKindOfCellOnAnySheet) {
  Lookup l(ThreeSheetBook());
  EXPECT_EQ(l.At(2, 0, 0), "'Cod 2-0'");
  EXPECT_EQ(l.At(2, 0, 69), "'Cod 2-69'");
  EXPECT_EQ(l.At(1, 1, 40), "1040.25");
  EXPECT_EQ(l.At(0, 4, 80), "0.029999999999999999");  // third cell of a MULRK, integer/100 form
  EXPECT_EQ(l.At(0, 3, 80), "2");
  EXPECT_EQ(l.At(1, 0, 81), "'FALSE'");
  EXPECT_EQ(l.At(1, 1, 81), "'#N/A'");
  EXPECT_EQ(l.At(1, 2, 81), "'din formulă'");
  EXPECT_EQ(l.At(1, 3, 81), "-4.5");
  // Blank and Boolean cells are never found.
  EXPECT_EQ(l.At(0, 0, 82), "none");
  EXPECT_EQ(l.At(0, 1, 82), "none");
  EXPECT_EQ(l.At(0, 9, 10), "none");
  // Beyond the last row of the INDEX record.
  EXPECT_EQ(l.At(0, 0, 5000), "none");
  // The same question twice gives the same answer.
  EXPECT_EQ(l.At(2, 1, 33), "2033.25");
  EXPECT_EQ(l.At(2, 1, 33), "2033.25");
  l.r.StrFALSE = "FALS";
  EXPECT_EQ(l.At(2, 0, 81), "'FALS'");
  // Last: after an error the stream is not back at its start.
  EXPECT_EQ(l.At(3, 0, 0), "raised: Can not find the sheet");
}

TEST(ReaderLookup, NotFoundLeavesTheValueAlone) {
  Lookup l(ThreeSheetBook());
  TCellValue v = std::string("neschimbat");
  EXPECT_FALSE(l.r.GetCellValue(0, 0, 82, v));
  EXPECT_EQ(std::get<std::string>(v), "neschimbat");
}

TEST(ReaderLookup, RaisesWhenNothingIsOpen) {
  reader::TXLSRead r;
  TCellValue v;
  try {
    r.GetCellValue(0, 0, 0, v);
    ADD_FAILURE() << "no error";
  } catch (const reader::EXLSError& e) {
    EXPECT_STREQ(e.what(), "File is not open");
  }
}

TEST(ReaderLookup, NumbersOnlyWorkbookWithoutSharedStrings) {
  WorkbookWriter w;
  SheetData& d = w.AddSheet("Numere");
  for (int row = 0; row < 40; ++row) d.Rk(static_cast<std::uint16_t>(row), 0, RkFromInt(row * 3));
  Lookup l(w.File());
  EXPECT_EQ(l.At(0, 0, 39), "117");
  EXPECT_EQ(l.At(0, 0, 0), "0");
}

TEST(ReaderLookup, EveryCellOfALargerSheetWithAndWithoutIndexRecords) {
  for (bool index : {true, false}) {
    SCOPED_TRACE(index ? "with INDEX/DBCELL" : "without ROW, INDEX or DBCELL");
    WorkbookOptions o;
    o.indexRecords = index;
    o.rowRecords = index;
    WorkbookWriter w(o);
    w.AddSheet("Gol");
    SheetData& d = w.AddSheet("Lista");
    for (int row = 0; row < 300; row += (row % 50 == 49 ? 7 : 1)) {
      d.Text(static_cast<std::uint16_t>(row), 0, "A" + std::to_string(row));
      d.Number(static_cast<std::uint16_t>(row), 3, row / 8.0);
    }
    Lookup l(w.File());
    for (int row = 0; row < 300; row += (row % 50 == 49 ? 7 : 1)) {
      ASSERT_EQ(l.At(1, 0, row), "'A" + std::to_string(row) + "'") << row;
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", row / 8.0);
      ASSERT_EQ(l.At(1, 3, row), buf) << row;
      ASSERT_EQ(l.At(1, 2, row), "none") << row;
    }
    EXPECT_EQ(l.At(1, 0, 50), "none");  // a row that has no cells
  }
}

// A sheet whose INDEX and DBCELL records disagree with where the rows are: the lookup must still
// answer what the cell records say.
Bytes MisindexedBook(int how) {
  RecordStream out(Biff::v8);
  out.Bof(kGlobals);
  StandardXfs(out);
  std::size_t field = out.BoundSheet("S");
  out.Eof();
  out.PatchU32(field, static_cast<std::uint32_t>(out.Size()));
  out.Bof(kWorksheet);
  std::size_t index = out.Index(0, 40, {0, 0});
  out.Dimensions(0, 40, 0, 1);
  std::vector<std::size_t> dbcells;
  for (int block = 0; block < 2; ++block) {
    std::size_t firstRow = out.Size();
    for (int r = 0; r < 20; ++r) out.Row(static_cast<std::uint16_t>(block * 20 + r), 0, 1);
    std::vector<std::uint16_t> offsets;
    std::size_t base = firstRow + 20;
    for (int r = 0; r < 20; ++r) {
      std::size_t start =
          out.Number(static_cast<std::uint16_t>(block * 20 + r), 0, 15, block * 20 + r + 0.5);
      offsets.push_back(static_cast<std::uint16_t>(start - base));
      base = start;
    }
    if (how == 0)
      for (auto& o : offsets) o = static_cast<std::uint16_t>(o + 18);  // each points one cell on
    if (how == 1) offsets.assign(offsets.size(), 0);
    std::size_t db = out.DbCell(static_cast<std::uint32_t>(out.Size() - firstRow), offsets);
    dbcells.push_back(db);
  }
  std::size_t offsetsField = out.IndexOffsetsField(index);
  if (how == 2) {
    out.PatchU32(offsetsField, 0x7FFFFFF0);  // outside the stream
    out.PatchU32(offsetsField + 4, static_cast<std::uint32_t>(dbcells[1]));
  } else if (how == 3) {
    out.PatchU32(offsetsField, static_cast<std::uint32_t>(dbcells[1]));  // blocks swapped
    out.PatchU32(offsetsField + 4, static_cast<std::uint32_t>(dbcells[0]));
  } else {
    out.PatchU32(offsetsField, static_cast<std::uint32_t>(dbcells[0]));
    out.PatchU32(offsetsField + 4, static_cast<std::uint32_t>(dbcells[1]));
  }
  out.Eof();
  return WriteCompoundFile({{"Workbook", out.Data()}});
}

TEST(ReaderLookup, FallsBackWhenTheIndexRecordsDoNotHold) {
  for (int how : {0, 1, 2, 3}) {
    SCOPED_TRACE("damage " + std::to_string(how));
    Lookup l(MisindexedBook(how));
    for (int row = 0; row < 40; ++row) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", row + 0.5);
      ASSERT_EQ(l.At(0, 0, row), buf) << "row " << row;
    }
  }
}

TEST(ReaderLookup, ABiff5WorkbookInItsCodePage) {
  WorkbookOptions o;
  o.version = Biff::v5;
  o.codepage = 1250;
  WorkbookWriter w(o);
  SheetData& d = w.AddSheet("Vechi");
  d.Text(0, 0, "Ştift ţ");
  d.Number(1, 1, 3.5);
  Lookup l(w.File());
  EXPECT_EQ(l.At(0, 0, 0), "'Ştift ţ'");
  EXPECT_EQ(l.At(0, 1, 1), "3.5");
}

TEST(ReaderLookup, APlainBiff4WorksheetFile) {
  RecordStream s(Biff::v4);
  s.Bof(kWorksheet);
  s.Dimensions(0, 3, 0, 2);
  s.Number(0, 0, 15, 1.25);
  s.Rk(1, 1, 15, RkFromInt(-8));
  s.Label(2, 0, 15, "text");
  s.Eof();
  Lookup plain(s.Data());
  EXPECT_EQ(plain.At(0, 0, 0), "1.25");
  EXPECT_EQ(plain.At(0, 1, 1), "-8");
  EXPECT_EQ(plain.At(0, 0, 2), "'text'");
  EXPECT_EQ(plain.At(0, 1, 2), "none");
}

}  // namespace
