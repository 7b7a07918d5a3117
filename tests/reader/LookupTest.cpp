// GetCellValue: indexed lookups on consistent files, the same answers when the index records
// are wrong or missing, and the lookup's errors.
#include <gtest/gtest.h>

#include <variant>

#include "BookBuilder.h"
#include "EventRecorder.h"
#include "support/WorkbookWriter.h"

using namespace readertest;
using reader::TCellValue;
using testbiff::Biff;
using testbiff::Bytes;
using testbiff::RecordStream;
using testbiff::WorkbookOptions;
using testbiff::WorkbookWriter;

namespace {

std::string Show(const TCellValue& v) {
  if (const double* d = std::get_if<double>(&v)) return Recorder::Num(*d);
  if (const std::string* s = std::get_if<std::string>(&v)) return "'" + *s + "'";
  return "none";
}

struct Lookup {
  std::unique_ptr<testbiff::TempFile> file;
  reader::TXLSRead r;
  explicit Lookup(const Bytes& compound) : file(std::make_unique<testbiff::TempFile>(compound)) {
    r.FileName = file->path();
    r.MessageHook = [](const std::string&, bool) { return true; };
    r.Read();
    r.Open();
  }
  std::string Get(int sheet, int col, int row) {
    TCellValue v = std::string("unchanged");
    return r.GetCellValue(sheet, col, row, v) ? Show(v) : "not found, " + Show(v);
  }
};

WorkbookWriter ThreeSheets(WorkbookOptions o = {}) {
  WorkbookWriter w(o);
  auto& a = w.AddSheet("Unu");
  a.Number(0, 0, 1.5);
  a.Text(1, 0, "primul");
  auto& b = w.AddSheet("Doi");
  b.Number(0, 0, 2.5);
  auto& c = w.AddSheet("Trei");
  c.Text(0, 1, "Preț în lei");
  c.MulRk(1, 2, {testbiff::RkFromInt(10), testbiff::RkFromInt(20), testbiff::RkFromInt(30, true)});
  c.FormulaBool(2, 0, false);
  c.FormulaError(3, 0, 0x2A);
  c.FormulaString(4, 0, "calculat");
  c.FormulaNumber(5, 0, 42);
  c.Blank(6, 0);
  for (std::uint16_t row = 10; row < 300; ++row) c.Number(row, 3, row * 2.0);
  return w;
}

// Header offsets of every record with identifier `id` in a workbook stream.
std::vector<std::size_t> Find(const Bytes& s, std::uint16_t id) {
  std::vector<std::size_t> out;
  for (std::size_t pos = 0; pos + 4 <= s.size();) {
    const std::uint16_t rid = static_cast<std::uint16_t>(s[pos] | (s[pos + 1] << 8));
    const std::size_t len = s[pos + 2] | (s[pos + 3] << 8);
    if (rid == id) out.push_back(pos);
    pos += 4 + len;
  }
  return out;
}

// BIFF5 in code page 1250 keeps the cedilla letter that stands for the comma-below one.
void ExpectThirdSheetAnswers(Lookup& l, const std::string& text = "'Preț în lei'") {
  EXPECT_EQ(l.Get(2, 1, 0), text);
  EXPECT_EQ(l.Get(2, 4, 1), "0.3");  // third cell of the MULRK
  EXPECT_EQ(l.Get(2, 3, 1), "20");
  EXPECT_EQ(l.Get(2, 0, 2), "'FALSE'");
  EXPECT_EQ(l.Get(2, 0, 3), "'#N/A'");
  EXPECT_EQ(l.Get(2, 0, 4), "'calculat'");
  EXPECT_EQ(l.Get(2, 0, 5), "42");
  EXPECT_EQ(l.Get(2, 0, 6), "not found, 'unchanged'");  // blank cells are never found
  EXPECT_EQ(l.Get(2, 3, 299), "598");
  EXPECT_EQ(l.Get(2, 3, 150), "300");
  EXPECT_EQ(l.Get(2, 3, 150), "300");  // the stream is back at its start after each lookup
  EXPECT_EQ(l.Get(2, 9, 150), "not found, 'unchanged'");
  EXPECT_EQ(l.Get(2, 3, 5000), "not found, 'unchanged'");
  EXPECT_EQ(l.Get(0, 0, 1), "'primul'");
  EXPECT_EQ(l.Get(1, 0, 0), "2.5");
}

}  // namespace

TEST(Lookup, FindsCellsOfEveryKindThroughTheIndex) {
  Lookup l(ThreeSheets().File());
  ExpectThirdSheetAnswers(l);
  try {
    l.Get(3, 0, 0);
    FAIL() << "a sheet past the list was found";
  } catch (const reader::EXLSError& e) {
    EXPECT_STREQ(e.what(), "Can not find the sheet");
  }
  reader::TXLSRead closed;
  TCellValue v;
  EXPECT_THROW(closed.GetCellValue(0, 0, 0, v), reader::EXLSError);
}

TEST(Lookup, GivesTheSameAnswersWithoutIndexRecords) {
  {
    WorkbookOptions o;
    o.indexRecords = false;
    Lookup l(ThreeSheets(o).File());
    ExpectThirdSheetAnswers(l);
  }
  {
    WorkbookOptions o;
    o.indexRecords = false;
    o.rowRecords = false;
    Lookup l(ThreeSheets(o).File());
    ExpectThirdSheetAnswers(l);
  }
}

TEST(Lookup, GivesTheSameAnswersWithWrongIndexRecords) {
  const Bytes stream = ThreeSheets().Stream();
  const auto dbcells = Find(stream, 0x00D7);
  const auto indexes = Find(stream, 0x020B);
  ASSERT_GE(dbcells.size(), 3u);
  ASSERT_EQ(indexes.size(), 3u);
  {
    // Row offsets of a DBCELL that lead to the wrong row.
    Bytes s = stream;
    const std::size_t last = dbcells.back();
    s[last + 4 + 4 + 2] ^= 0x0E;
    s[last + 4 + 4 + 4] ^= 0x0E;
    Lookup l(testbiff::WriteCompoundFile({{"Workbook", s}}));
    ExpectThirdSheetAnswers(l);
  }
  {
    // An INDEX whose DBCELL offsets point elsewhere, and one whose row range is too short.
    Bytes s = stream;
    for (std::size_t k = 0; k < 4; ++k) s[indexes[2] + 4 + 16 + k] = 0;
    s[indexes[1] + 4 + 8] = 0;
    Lookup l(testbiff::WriteCompoundFile({{"Workbook", s}}));
    ExpectThirdSheetAnswers(l);
  }
}

TEST(Lookup, Biff5Workbooks) {
  WorkbookOptions o;
  o.version = testbiff::Biff::v5;
  o.codepage = 1250;
  Lookup l(ThreeSheets(o).File());
  EXPECT_EQ(l.r.Version(), 5);
  ExpectThirdSheetAnswers(l, "'Preţ în lei'");
}

TEST(Lookup, ASheetOffsetThatPointsAtNoBof) {
  // A sheet offset that points at no BOF, with no way to find the sheet otherwise.
  Bytes s = ThreeSheets().Stream();
  const auto bounds = Find(s, testbiff::rec::kBoundSheet);
  const auto bofs = Find(s, 0x0809);
  ASSERT_EQ(bofs.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) s[bounds[2] + 4 + k] = k == 0 ? 4 : 0;
  {
    // Counting the substreams after the globals still finds the third sheet.
    Lookup moved(testbiff::WriteCompoundFile({{"Workbook", s}}));
    EXPECT_EQ(moved.Get(2, 3, 150), "300");
  }
  s[bofs[3]] = 0x03;  // the third sheet's BOF is gone as well
  Lookup bad(testbiff::WriteCompoundFile({{"Workbook", s}}));
  try {
    bad.Get(2, 0, 0);
    FAIL() << "no error";
  } catch (const reader::EXLSError& e) {
    EXPECT_STREQ(e.what(), "File has no data");
  }
}

TEST(Lookup, NoAnswerBehindAnEncryptionRecord) {
  // Behind an encryption record every cell is ciphertext: no lookup answers from it.
  Bytes locked = ThreeSheets().Stream();
  const auto bofs = Find(locked, 0x0809);
  const std::size_t afterBof = bofs[0] + 4 + (locked[bofs[0] + 2] | (locked[bofs[0] + 3] << 8));
  const Bytes filePass = {0x2F, 0x00, 0x06, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00};
  locked.insert(locked.begin() + static_cast<std::ptrdiff_t>(afterBof), filePass.begin(),
                filePass.end());
  Lookup enc(testbiff::WriteCompoundFile({{"Workbook", locked}}));
  EXPECT_TRUE(enc.r.IsEncrypted());
  try {
    enc.Get(0, 0, 0);
    FAIL() << "no error";
  } catch (const reader::EXLSError& e) {
    EXPECT_STREQ(e.what(), "Can not read, file is encrypted");
  }
}

TEST(Lookup, BiffEightInABookStream) {
  // Some writers store BIFF8 records in a stream named "Book".
  Lookup l(testbiff::WriteCompoundFile({{"Book", ThreeSheets().Stream()}}));
  EXPECT_EQ(l.r.Version(), 5);
  ExpectThirdSheetAnswers(l);
}

TEST(Lookup, ABareBiffEightStreamInAPlainFile) {
  // A bare BIFF8 workbook stream in a plain file: read as BIFF8, its UTF-16 texts whole.
  Lookup l(ThreeSheets().Stream());
  EXPECT_EQ(l.r.Version(), 6);
  EXPECT_EQ(l.r.MaxRecordSize(), 8224);
  ASSERT_EQ(l.r.SheetNames().size(), 3u);
  EXPECT_EQ(l.r.SheetNames()[2].Name, "Trei");
  ExpectThirdSheetAnswers(l);
}

TEST(Lookup, APlainBiff5WorksheetFile) {
  // A plain BIFF5 file holding one worksheet and no sheet list.
  RecordStream s(Biff::v5);
  s.Bof(testbiff::kWorksheet);
  s.Label(0, 0, 0, "antet");
  s.Number(1, 2, 0, 4321);
  s.Eof();
  Lookup l(s.Data());
  EXPECT_EQ(l.r.Version(), 4);
  EXPECT_TRUE(l.r.IsSingleWorksheet());
  EXPECT_EQ(l.Get(0, 0, 0), "'antet'");
  EXPECT_EQ(l.Get(0, 2, 1), "4321");
  EXPECT_EQ(l.Get(0, 2, 1), "4321");
  EXPECT_EQ(l.Get(0, 1, 1), "not found, 'unchanged'");
}

TEST(Lookup, APlainBiff2WorksheetFile) {
  // BIFF2: its own cell records are found too, in the first records after the BOF as well.
  RecordStream s(Biff::v2);
  s.Bof(testbiff::kWorksheet);
  s.Integer2(0, 0, 17);
  s.Label2(0, 1, "doi");
  s.Number2(1, 0, 2.75);
  s.Eof();
  Lookup l(s.Data());
  EXPECT_EQ(l.r.Version(), 1);
  EXPECT_EQ(l.Get(0, 0, 0), "17");
  EXPECT_EQ(l.Get(0, 1, 0), "'doi'");
  EXPECT_EQ(l.Get(0, 0, 1), "2.75");
}
