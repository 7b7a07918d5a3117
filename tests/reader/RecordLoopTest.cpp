// The record loop: worksheet selection, skipped substreams, the error-level policy, formula
// results, date/time decisions and the workbook tables.
#include <gtest/gtest.h>

#include <functional>

#include "BookBuilder.h"
#include "EventRecorder.h"

using namespace readertest;
using testbiff::Biff;
using testbiff::BookFile;
using testbiff::BuildStream;
using testbiff::Bytes;
using testbiff::RecordsFn;
using testbiff::RecordStream;

namespace {

RecordsFn Cell(double v) {
  return [v](RecordStream& s) { s.Number(0, 0, 0, v); };
}

struct Reading {
  Recorder rec;
  reader::TXLSRead r;
  std::unique_ptr<testbiff::TempFile> file;
  explicit Reading(const Bytes& stream) : file(BookFile(stream)) {
    rec.Attach(r);
    r.FileName = file->path();
  }
  Reading& Read() {
    r.Read();
    return *this;
  }
};

RecordsFn Xfs(std::initializer_list<std::uint16_t> formats) {
  return [formats](RecordStream& s) {
    for (std::uint16_t f : formats) s.Xf(f);
  };
}

Bytes ThreeSheets() {
  return BuildStream(Biff::v8, Xfs({0}),
                     {{"Foaia1", Cell(1)}, {"Foaia2", Cell(2)}, {"Foaia3", Cell(3)}});
}

// The LABELSST index 7 has no shared string: an error in the second record of the sheet.
Bytes BadStringIndexBook() {
  return BuildStream(Biff::v8, Xfs({0}), {{"Foaia1", [](RecordStream& s) {
                                             s.Number(0, 0, 0, 1);
                                             s.LabelSst(1, 0, 0, 7);
                                             s.Number(2, 0, 0, 3);
                                           }}});
}

}  // namespace

TEST(RecordLoop, WithoutASheetHandlerOnlyTheFirstSheetIsRead) {
  Reading run(ThreeSheets());
  run.Read();
  EXPECT_EQ(run.rec.log, std::vector<std::string>{"N 0,0 0 1"});  // first sheet only
  EXPECT_EQ(run.r.SheetNames().size(), 3u);
}

TEST(RecordLoop, WorksheetsAreChosenByTheSheetHandler) {
  Reading run(ThreeSheets());
  std::vector<std::string> sheets;
  run.r.OnSheet = [&](reader::TXLSRead&, const std::string& name, int index, bool& readIt) {
    sheets.push_back(name + "#" + std::to_string(index) + (readIt ? "+" : "-"));
    readIt = index != 1;
  };
  run.Read();
  EXPECT_EQ(sheets, (std::vector<std::string>{"Foaia1#0+", "Foaia2#1-", "Foaia3#2-"}));
  EXPECT_EQ(run.rec.log, (std::vector<std::string>{"N 0,0 0 1", "N 0,0 0 3"}));
  EXPECT_EQ(run.rec.progress.back(), 100);
}

TEST(RecordLoop, AChartSubstreamBetweenWorksheetsIsPassedOver) {
  // A chart substream between the worksheets is passed over with its records.
  const Bytes withChart = BuildStream(
      Biff::v8, Xfs({0}),
      {{"Foaia1", Cell(1)}, {"Foaia2", Cell(9), 0, testbiff::kChart}, {"Foaia3", Cell(3)}});
  Reading run(withChart);
  std::vector<int> unhandled;
  run.r.OnUnhandled = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
    unhandled.push_back(id);
  };
  run.r.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
  run.Read();
  EXPECT_EQ(run.rec.log, (std::vector<std::string>{"N 0,0 0 1", "N 0,0 0 3"}));
  EXPECT_TRUE(std::find(unhandled.begin(), unhandled.end(), testbiff::rec::kNumber) ==
              unhandled.end());
}

TEST(RecordLoop, ErrorLevelMessageAnsweredNoStopsTheSheet) {
  Reading run(BadStringIndexBook());
  run.rec.answer = false;
  run.Read();
  ASSERT_EQ(run.rec.messages.size(), 1u);
  EXPECT_EQ(run.rec.messages[0], "?List index out of bounds (7)\rRec# 7\rContinue?");
  EXPECT_EQ(run.rec.log, std::vector<std::string>{"N 0,0 0 1"});
  EXPECT_EQ(run.rec.progress.back(), 100);
}

TEST(RecordLoop, ErrorLevelMessageAnsweredYesGoesOn) {
  Reading run(BadStringIndexBook());
  run.Read();  // answered Yes
  EXPECT_EQ(run.rec.messages.size(), 1u);
  EXPECT_EQ(run.rec.log, (std::vector<std::string>{"N 0,0 0 1", "N 0,2 0 3"}));
}

TEST(RecordLoop, ErrorLevelIgnoreGoesOnSilently) {
  Reading run(BadStringIndexBook());
  run.r.ErrorLevel = reader::xelIgnore;
  run.Read();
  EXPECT_TRUE(run.rec.messages.empty());
  EXPECT_EQ(run.rec.log.size(), 2u);
}

TEST(RecordLoop, ErrorLevelExceptionStopsWithTheMessage) {
  Reading run(BadStringIndexBook());
  run.r.ErrorLevel = reader::xelException;
  run.Read();
  EXPECT_EQ(run.rec.messages, std::vector<std::string>{"!List index out of bounds (7)"});
  EXPECT_EQ(run.rec.log.size(), 1u);
}

TEST(RecordLoop, AThrowingCellHandlerIsARecordError) {
  // An owner's handler that throws is a record error like any other.
  Reading run(BadStringIndexBook());
  run.r.ErrorLevel = reader::xelIgnore;
  run.r.OnNumberCell = [](reader::TXLSRead&, int, int, int, double, bool) {
    throw std::runtime_error("stop");
  };
  EXPECT_NO_THROW(run.Read());
}

TEST(RecordLoop, TableRecordsPastTheIndexRangeAreRefused) {
  // Tables are named by 16-bit indexes: records past the 65,536th entry are refused, asked
  // about once and then counted, whatever their number; the message names the record in hex.
  struct Case {
    const char* id;
    std::function<void(RecordStream&)> one;
    std::function<std::size_t(const reader::TXLSRead&)> entries;
  };
  const std::vector<Case> cases = {
      {"0085",
       [](RecordStream& s) {
         s.Add(testbiff::rec::kBoundSheet, testbiff::Body().U32(0).U16(0).U8(1).U8(0).U8('x'));
       },
       [](const reader::TXLSRead& r) { return r.SheetNames().size(); }},
      {"00E0", [](RecordStream& s) { s.Xf(0); },
       [](const reader::TXLSRead& r) { return r.XFRecords().size(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Bytes many = BuildStream(Biff::v8,
                                   [&c](RecordStream& s) {
                                     s.Xf(0);
                                     for (int k = 0; k < 70000; ++k) c.one(s);
                                   },
                                   {{"Foaia1", Cell(1)}});
    Reading run(many);
    run.Read();
    EXPECT_EQ(c.entries(run.r), 65536u);
    ASSERT_EQ(run.rec.messages.size(), 2u);
    const std::string text = std::string("Too many ") + c.id + " records";
    EXPECT_EQ(run.rec.messages[0].rfind("?" + text + "\rRec# ", 0), 0u);
    EXPECT_EQ(run.rec.messages[1], "!" + text + "\rRepeated 4464 more times");
  }
}

TEST(RecordLoop, AnEncryptedFileIsNotRead) {
  const Bytes encrypted =
      BuildStream(Biff::v8,
                  [](RecordStream& s) {
                    s.Add(testbiff::rec::kFilePass, testbiff::Body().U16(1).Zeros(52));
                    s.Xf(0);
                  },
                  {{"Foaia1", Cell(1)}});
  Reading run(encrypted);
  run.r.ErrorLevel = reader::xelException;
  run.Read();
  EXPECT_EQ(run.rec.messages, std::vector<std::string>{"!Can not read, file is encrypted"});
  EXPECT_TRUE(run.rec.log.empty());
}

namespace {
// A sheet of `count` NUMBER records 8 bytes long (their fields need 14), then one good cell.
Bytes ShortNumberRecords(int count) {
  return BuildStream(Biff::v8, Xfs({0}), {{"Foaia1", [count](RecordStream& s) {
                                             for (int i = 0; i < count; ++i)
                                               s.AddRaw(
                                                   testbiff::rec::kNumber, 8,
                                                   testbiff::Body().U16(0).U16(0).U16(0).U16(0));
                                             s.Number(1, 0, 0, 2);
                                           }}});
}
}  // namespace

TEST(RecordLoop, ARecordShorterThanItsFieldsIsAnError) {
  // A record shorter than its fields is an error, not a read past its end.
  Reading run(ShortNumberRecords(1));
  run.Read();
  ASSERT_EQ(run.rec.messages.size(), 1u);
  EXPECT_NE(run.rec.messages[0].find("too short"), std::string::npos);
  EXPECT_EQ(run.rec.log, std::vector<std::string>{"N 0,1 0 2"});
}

TEST(RecordLoop, TheSameFaultInManyRecordsIsAskedAboutOnce) {
  // The same fault in many records is asked about once, then reported once with its count.
  Reading run(ShortNumberRecords(50));
  run.Read();
  ASSERT_EQ(run.rec.messages.size(), 2u);
  EXPECT_EQ(run.rec.messages[0].rfind("?Record 0203 is too short (8 bytes)", 0), 0u);
  EXPECT_EQ(run.rec.messages[1], "!Record 0203 is too short (8 bytes)\rRepeated 49 more times");
  EXPECT_EQ(run.rec.log, std::vector<std::string>{"N 0,1 0 2"});
}

TEST(RecordLoop, FormulaResultsFollowTheirFormulaText) {
  const Bytes book = BuildStream(Biff::v8, Xfs({0}), {{"Foaia1", [](RecordStream& s) {
                                                         s.FormulaSpecial(0, 1, 0, 0, 0);
                                                         s.StringResult("rezultat");
                                                         s.FormulaSpecial(1, 1, 0, 1, 1);
                                                         s.FormulaSpecial(2, 1, 0, 2, 0x07);
                                                         s.FormulaSpecial(3, 1, 0, 3, 0);
                                                         s.FormulaNumber(4, 1, 0, 2.5);
                                                       }}});
  Reading run(book);
  std::vector<int> records;
  run.r.OnRecord = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
    records.push_back(id);
  };
  run.Read();
  ASSERT_EQ(run.rec.log.size(), 10u) << ::testing::PrintToString(run.rec.log);
  EXPECT_EQ(run.rec.log[0].substr(0, 6), "F 1,0 ");
  EXPECT_EQ(run.rec.log[1], "S 1,0 rezultat F");
  EXPECT_EQ(run.rec.log[3], "B 1,1 1 F");
  EXPECT_EQ(run.rec.log[5], "S 1,2 #DIV/0! F");
  EXPECT_EQ(run.rec.log[7], "S 1,3  F");
  EXPECT_EQ(run.rec.log[9], "N 1,4 0 2.5 F");
  EXPECT_TRUE(std::find(records.begin(), records.end(), testbiff::rec::kString) == records.end());
}

TEST(RecordLoop, DateTimeDependsOnTheRenumberedFormat) {
  // XF 0 general, 1 built-in 14, 2 built-in 46, 3 the first FORMAT (renumbered to 49), 4 the
  // second FORMAT (renumbered to 50).
  const Bytes book =
      BuildStream(Biff::v8,
                  [](RecordStream& s) {
                    s.Format(164, "dd.mm.yyyy");
                    s.Format(165, "dd.mm.yyyy hh:mm");
                    for (std::uint16_t f : {0, 14, 46, 164, 165}) s.Xf(f);
                  },
                  {{"Foaia1", [](RecordStream& s) {
                      for (std::uint16_t xf = 0; xf < 5; ++xf) s.Number(xf, 0, xf, 45000);
                      s.MulRk(5, 0, {{1, testbiff::RkFromInt(45001)}, {0, testbiff::RkFromInt(7)}});
                      s.Number(6, 0, 9, 1);  // no XF 9
                    }}});
  Reading run(book);
  run.Read();
  const std::vector<std::string> want = {"N 0,0 0 45000", "D 0,1 1 45000", "N 0,2 2 45000",
                                         "N 0,3 3 45000", "D 0,4 4 45000", "D 0,5 1 45001",
                                         "N 1,5 0 7"};
  EXPECT_EQ(run.rec.log, want);
  ASSERT_EQ(run.rec.messages.size(), 1u);
  EXPECT_EQ(run.rec.messages[0].rfind("?List index out of bounds (9)", 0), 0u);
  EXPECT_EQ(run.r.XFRecords()[4].FormatNumber(), 50);
  EXPECT_EQ(run.r.Formats().size(), 2u);
  EXPECT_EQ(run.r.Formats()[1].FormatIndex, 165);
}

TEST(RecordLoop, WorkbookTablesAndLayoutRecords) {
  const Bytes book =
      BuildStream(Biff::v8,
                  [](RecordStream& s) {
                    for (const char* f : {"Arial", "Tahoma", "Verdana", "Courier New", "Times"})
                      s.Font(f, 240);
                    s.Xf(0);
                    s.Add(testbiff::rec::kName2, testbiff::Body()
                                                     .U16(0x20)
                                                     .U8(0)
                                                     .U8(4)
                                                     .U16(0)
                                                     .U16(0)
                                                     .U16(0)
                                                     .U8(0)
                                                     .U8(0)
                                                     .U8(0)
                                                     .U8(0)
                                                     .U8(0)
                                                     .Raw(std::string_view("Zona")));
                  },
                  {{"Foaia1", [](RecordStream& s) {
                      s.Dimensions(2, 10, 1, 6);
                      s.Row(3, 1, 6, 300, 0x0180, 17);
                      s.Row(4, 0, 2, 0x8000 | 255, 0x0100, 0);
                      s.ColInfo(2, 4, 3000, 15);
                      s.MulBlank(7, 2, {20, 21, 22});
                    }}});
  Reading run(book);
  std::vector<std::string> layout;
  run.r.OnRow = [&](reader::TXLSRead&, int row, int c1, int c2, int xf, int h) {
    layout.push_back("row " + std::to_string(row) + " " + std::to_string(c1) + "-" +
                     std::to_string(c2) + " " + std::to_string(xf) + " " + std::to_string(h));
  };
  run.r.OnCol = [&](reader::TXLSRead&, int c1, int c2, int xf, int w) {
    layout.push_back("col " + std::to_string(c1) + "-" + std::to_string(c2) + " " +
                     std::to_string(xf) + " " + std::to_string(w));
  };
  run.Read();
  EXPECT_EQ(layout,
            (std::vector<std::string>{"row 3 1-5 17 300", "row 4 0-1 -1 -1", "col 2-4 15 3000"}));
  EXPECT_EQ(run.rec.log, (std::vector<std::string>{"E 2,7 20", "E 3,7 21", "E 4,7 22"}));
  EXPECT_EQ(run.r.FirstRow(), 2);
  EXPECT_EQ(run.r.LastRow(), 9);
  EXPECT_EQ(run.r.FirstCol(), 1);
  EXPECT_EQ(run.r.LastCol(), 5);
  ASSERT_EQ(run.r.Fonts().size(), 6u);
  EXPECT_EQ(run.r.Fonts()[4].Name, "Arial");
  EXPECT_EQ(run.r.Fonts()[5].Name, "Times");
  EXPECT_EQ(run.r.Fonts()[1].Size, 12);
  ASSERT_EQ(run.r.Names().size(), 2u);
  EXPECT_EQ(run.r.Names()[0].Name, "<Np0>");
  EXPECT_EQ(run.r.Names()[1].Name, "Zona");
  EXPECT_EQ(run.r.ExternNames().at(0), "<Ep0>");
  // Read while a file is open does nothing.
  run.r.Open();
  run.rec.log.clear();
  run.r.Read();
  EXPECT_TRUE(run.rec.log.empty());
  run.r.Close();
}

namespace {

// A plain BIFF2-BIFF4 worksheet file: BOF, the caller's records, EOF.
struct PlainReading {
  Recorder rec;
  reader::TXLSRead r;
  testbiff::TempFile file;
  explicit PlainReading(const RecordStream& s) : file(s.Data()) {
    rec.Attach(r);
    r.FileName = file.path();
    r.Read();
  }
};

// XF of BIFF3 or BIFF4: font byte, format byte, then attributes.
void OldXf(RecordStream& s, std::uint8_t format) {
  const bool v4 = s.version() == Biff::v4;
  s.Add(v4 ? testbiff::rec::kXf4 : testbiff::rec::kXf3,
        testbiff::Body().U8(0).U8(format).U16(0x0001).U16(0).U16(0x20C0).U32(0));
}

}  // namespace

TEST(RecordLoop, OldXfRecordsDecideDateTimeByFormatPosition) {
  // Formats are numbered by their place in the file: 0 General, 1 "0.00", 2 a date. The number
  // field a BIFF4 FORMAT carries is not used.
  for (Biff v : {Biff::v3, Biff::v4}) {
    SCOPED_TRACE(v == Biff::v3 ? "BIFF3" : "BIFF4");
    RecordStream s(v);
    s.Bof(testbiff::kWorksheet);
    s.Format(7, "General");
    s.Format(7, "0.00");
    s.Format(7, "dd/mm/yy");
    for (std::uint8_t f : {0, 2, 1, 9}) OldXf(s, f);  // XF 3: a format the file lacks
    for (std::uint16_t xf = 0; xf < 4; ++xf) s.Number(xf, 0, xf, 45000);
    s.Rk(4, 0, 1, testbiff::RkFromInt(45001));
    s.Number(5, 0, 4, 1);  // no XF 4
    s.Eof();
    PlainReading run(s);
    const std::vector<std::string> want = {"N 0,0 0 45000", "D 0,1 1 45000", "N 0,2 2 45000",
                                           "N 0,3 3 45000", "D 0,4 1 45001"};
    EXPECT_EQ(run.rec.log, want);
    ASSERT_EQ(run.rec.messages.size(), 1u);
    EXPECT_EQ(run.rec.messages[0].rfind("?List index out of bounds (4)", 0), 0u);
    EXPECT_EQ(run.r.XFRecords().size(), 4u);
    ASSERT_EQ(run.r.Formats().size(), 3u);
    EXPECT_EQ(run.r.Formats()[2].FormatIndex, 2);
  }
}

TEST(RecordLoop, Biff2BoolErrCells) {
  RecordStream s(Biff::v2);
  s.Bof(testbiff::kWorksheet);
  // Row, column, 3 attribute bytes, value byte, error flag byte.
  auto boolErr = [&](std::uint16_t row, std::uint16_t col, std::uint8_t value,
                     std::uint8_t isError) {
    s.Add(testbiff::rec::kBoolErr2,
          testbiff::Body().U16(row).U16(col).Zeros(3).U8(value).U8(isError));
  };
  boolErr(0, 1, 1, 0);
  boolErr(1, 2, 0, 0);
  boolErr(2, 3, 0x07, 1);
  s.Add(testbiff::rec::kBoolErr2, testbiff::Body().U16(3).U16(0).Zeros(3).U8(1));  // no flag byte
  s.Number2(4, 0, 2.5);
  s.Eof();
  PlainReading run(s);
  const std::vector<std::string> want = {"B 1,0 1", "B 2,1 0", "S 3,2 #DIV/0!", "N 0,4 -1 2.5"};
  EXPECT_EQ(run.rec.log, want);
  ASSERT_EQ(run.rec.messages.size(), 1u);
  EXPECT_NE(run.rec.messages[0].find("0005"), std::string::npos) << run.rec.messages[0];
}

TEST(RecordLoop, StringResultRunsOnInContinueRecords) {
  // 300 characters: 100 8-bit in the STRING record, 150 UTF-16 in a CONTINUE, 50 8-bit in a
  // second CONTINUE.
  const std::string a(100, 'a'), c(50, 'c');
  const std::u16string b(150, u'\u0103');
  std::string bUtf8;
  for (int i = 0; i < 150; ++i) bUtf8 += "\xC4\x83";
  const Bytes book =
      BuildStream(Biff::v8, Xfs({0}),
                  {{"Foaia1", [&](RecordStream& s) {
                      s.FormulaSpecial(0, 0, 0, 0, 0);
                      s.Add(testbiff::rec::kString, testbiff::Body().U16(300).U8(0).Raw(a));
                      s.Add(testbiff::rec::kContinue, testbiff::Body().U8(1).Utf16(b));
                      s.Add(testbiff::rec::kContinue, testbiff::Body().U8(0).Raw(c));
                      s.Number(1, 0, 0, 1);
                      // Claims 10 characters, holds 3, and no CONTINUE follows.
                      s.FormulaSpecial(2, 0, 0, 0, 0);
                      s.Add(testbiff::rec::kString, testbiff::Body().U16(10).U8(0).Raw("xyz"));
                      s.Number(3, 0, 0, 2);
                      // A CONTINUE that ends before the string does, at the stream's end.
                      s.FormulaSpecial(4, 0, 0, 0, 0);
                      s.Add(testbiff::rec::kString, testbiff::Body().U16(10).U8(1).Utf16(u"xy"));
                      s.AddRaw(testbiff::rec::kContinue, 9, testbiff::Body().U8(0).Raw("zz"));
                    }}});
  Reading run(book);
  std::vector<int> records;
  run.r.OnRecord = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
    records.push_back(id);
  };
  run.Read();
  std::vector<std::string> strings;
  for (const auto& line : run.rec.log)
    if (line[0] == 'S' || line[0] == 'N') strings.push_back(line);
  const std::vector<std::string> want = {"S 0,0 " + a + bUtf8 + c + " F", "N 0,1 0 1", "N 0,3 0 2"};
  EXPECT_EQ(strings, want);
  EXPECT_TRUE(std::find(records.begin(), records.end(), testbiff::rec::kContinue) == records.end());
  ASSERT_EQ(run.rec.messages.size(), 2u) << ::testing::PrintToString(run.rec.messages);
  EXPECT_NE(run.rec.messages[0].find("0207"), std::string::npos) << run.rec.messages[0];
}

namespace {

// The first cell of a shared formula: FORMULA (ptgExp), SHRFMLA, then its STRING.
Bytes SharedFormulaBook() {
  const Bytes exp = {0x01, 0x00, 0x00, 0x00, 0x00};
  const testbiff::Body shared =
      testbiff::Body().U16(0).U16(1).U8(0).U8(0).U8(0).U8(1).U16(3).U8(0x1E).U16(5);
  return BuildStream(Biff::v8, Xfs({0}), {{"Foaia1", [&](RecordStream& s) {
                                             s.FormulaSpecial(0, 0, 0, 0, 0, exp);
                                             s.Add(testbiff::rec::kShrFmla, shared);
                                             s.StringResult("comun");
                                             // A string result that never came.
                                             s.FormulaSpecial(1, 0, 0, 0, 0, exp);
                                             s.Add(testbiff::rec::kShrFmla, shared);
                                             s.Number(2, 0, 0, 3);
                                           }}});
}

}  // namespace

TEST(RecordLoop, StringResultAfterASharedFormulaRecord) {
  Reading run(SharedFormulaBook());
  std::vector<int> records;
  run.r.OnRecord = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
    records.push_back(id);
  };
  run.Read();
  const std::vector<std::string> want = {"S 0,0 comun F", "F 0,0 5", "F 0,1 5",
                                         "F 0,0 5",       "F 0,1 5", "N 0,2 0 3"};
  EXPECT_EQ(run.rec.log, want);
  EXPECT_TRUE(run.rec.messages.empty()) << ::testing::PrintToString(run.rec.messages);
  EXPECT_EQ(std::count(records.begin(), records.end(), testbiff::rec::kShrFmla), 2);
  EXPECT_TRUE(std::find(records.begin(), records.end(), testbiff::rec::kString) == records.end());
}

TEST(RecordLoop, SharedFormulaTextsCellByCell) {
  // Cell by cell: each FORMULA record that uses the shared formula gives its text, the first
  // one before its string result; the SHRFMLA records give nothing of their own.
  Reading byCell(SharedFormulaBook());
  byCell.r.SharedFormulasByCell = true;
  byCell.Read();
  EXPECT_EQ(byCell.rec.log,
            (std::vector<std::string>{"F 0,0 5", "S 0,0 comun F", "F 0,1 5", "N 0,2 0 3"}));
  EXPECT_TRUE(byCell.rec.messages.empty()) << ::testing::PrintToString(byCell.rec.messages);
}

TEST(RecordLoop, AWideSharedRangeGivesATextForEachCellThatUsesIt) {
  // A range of 79,600 cells used by three cells (and named by one outside it): three texts,
  // each relative to its own cell.
  const Bytes wide = BuildStream(
      Biff::v8, Xfs({0}),
      {{"Foaia1", [](RecordStream& s) {
          const Bytes use = {0x01, 3, 0, 1, 0};  // first cell B4
          s.FormulaNumber(3, 1, 0, 1, use);
          // The cell to the left of each cell of the range.
          s.Add(testbiff::rec::kShrFmla,
                testbiff::Body().U16(3).U16(400).U8(1).U8(200).U16(0).U16(5).U8(0x4C).U16(0).U16(
                    0xC0FF));
          s.FormulaNumber(3, 2, 0, 2, use);
          s.FormulaNumber(4, 1, 0, 3, use);
          s.FormulaNumber(500, 1, 0, 4, use);
        }}});
  Reading all(wide);
  all.Read();
  EXPECT_EQ(std::count_if(all.rec.log.begin(), all.rec.log.end(),
                          [](const std::string& l) { return l[0] == 'F'; }),
            398 * 200);
  Reading few(wide);
  few.r.SharedFormulasByCell = true;
  few.Read();
  std::vector<std::string> texts;
  for (const auto& line : few.rec.log)
    if (line[0] == 'F') texts.push_back(line);
  EXPECT_EQ(texts, (std::vector<std::string>{"F 1,3 A4", "F 2,3 B4", "F 1,4 A5"}));
}
