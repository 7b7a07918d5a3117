// Byte-exact cases for opening, the record loop, the workbook globals and the cell events.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "BookBuilder.h"
#include "ReadBytes.h"
#include "support/ReaderHarness.h"
#include "support/TempFile.h"

namespace {

using namespace testbiff;

TEST(ReaderOpen, RefusesWhatIsNotAWorkbook) {
  reader::TXLSRead r;
  r.FileName = "   ";
  try {
    r.Open();
    ADD_FAILURE() << "blank file name accepted";
  } catch (const reader::EXLSError& e) {
    EXPECT_STREQ(e.what(), "Filename is missing");
  }
  EXPECT_EQ(OpenError(WriteCompoundFile({{"Other", Bytes(100, 1)}})),
            "File is not a Excel Workbook");
  RecordStream notBof(Biff::v5);
  notBof.Number(0, 0, 15, 1.0);
  EXPECT_EQ(OpenError(notBof.Data()), "File is not a Excel file");
  RecordStream badBof(Biff::v5);
  badBof.Add(0x0609, Body().U16(0x0600).U16(kWorksheet));
  EXPECT_EQ(OpenError(badBof.Data()), "File is not a Excel file");
  // Too short to hold even a record header.
  EXPECT_NE(OpenError(Bytes{0x09}), "");
}

TEST(ReaderOpen, WorkbookStreamWinsOverBook) {
  Bytes biff8 = BuildStream(Biff::v8, StandardXfs,
                            {{"Nou", [](RecordStream& s) { s.Number(0, 0, 15, 8.0); }}});
  Bytes biff5 = BuildStream(Biff::v5, StandardXfs,
                            {{"Vechi", [](RecordStream& s) { s.Number(0, 0, 15, 5.0); }}});
  TempFile f(WriteCompoundFile({{"Book", biff5}, {"Workbook", biff8}}));
  reader::TXLSRead r;
  Collected c = ReadAll(f.path());
  ASSERT_EQ(c.cells.size(), 1u);
  EXPECT_EQ(c.cells[0].number, 8.0);
  ASSERT_EQ(c.sheetNames.size(), 1u);
  EXPECT_EQ(c.sheetNames[0].Name, "Nou");
  r.FileName = f.path();
  r.Open();
  EXPECT_EQ(r.Version(), 6);
  EXPECT_EQ(r.MaxRecordSize(), 8224);
  // Read while the file is open does nothing at all.
  bool called = false;
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) { called = true; };
  r.Read();
  EXPECT_FALSE(called);
  r.Close();
}

std::vector<HandSheet> ThreeSheets() {
  return {{"Unu", [](RecordStream& s) { s.Number(0, 0, 15, 1.0); }},
          {"Doi", [](RecordStream& s) { s.Number(0, 0, 15, 2.0); }},
          {"Trei", [](RecordStream& s) { s.Number(0, 0, 15, 3.0); }}};
}

TEST(ReaderLoop, OnlyTheFirstSheetWithoutAnOnSheetHandler) {
  ReadOptions o;
  o.hookSheet = false;
  Collected c = ReadBytes(Biff8Book(StandardXfs, ThreeSheets()), o);
  ASSERT_EQ(c.cells.size(), 1u);
  EXPECT_EQ(c.cells[0].number, 1.0);
  EXPECT_EQ(c.sheetNames.size(), 3u);
}

TEST(ReaderLoop, EverySheetWhenTheHandlerSaysSo) {
  Collected c = ReadBytes(Biff8Book(StandardXfs, ThreeSheets()));
  ASSERT_EQ(c.sheetEvents.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.sheetEvents[i].second, i);
  EXPECT_EQ(c.sheetEvents[2].first, "Trei");
  ASSERT_EQ(c.cells.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.cells[i].sheet, i);
    EXPECT_EQ(c.cells[i].number, i + 1.0);
  }
  ASSERT_FALSE(c.progress.empty());
  EXPECT_EQ(c.progress.back(), 100);
}

TEST(ReaderLoop, DeclinedSheetsAreJumpedOver) {
  reader::TXLSRead r;
  TempFile f(Biff8Book(StandardXfs, ThreeSheets()));
  r.FileName = f.path();
  std::vector<double> values;
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double v, bool) { values.push_back(v); };
  r.OnSheet = [](reader::TXLSRead&, const std::string&, int index, bool& readIt) {
    readIt = index != 1;
  };
  r.Read();
  EXPECT_EQ(values, (std::vector<double>{1.0, 3.0}));
}

TEST(ReaderLoop, ChartSubstreamIsSkippedWithoutEvents) {
  std::vector<HandSheet> sheets = {{"Date", [](RecordStream& s) { s.Number(0, 0, 15, 1.0); }},
                                   {"Grafic",
                                    [](RecordStream& s) {
                                      s.Number(0, 0, 15, 99.0);
                                      s.Add(0x1001, Body().U16(1));
                                    },
                                    2, kChart},
                                   {"Mai multe", [](RecordStream& s) { s.Number(1, 1, 15, 2.0); }}};
  // The chart's sheet entry is listed last so that the worksheet names line up with their count.
  RecordStream out(Biff::v8);
  out.Bof(kGlobals);
  StandardXfs(out);
  std::size_t f0 = out.BoundSheet("Date"), f2 = out.BoundSheet("Mai multe"),
              f1 = out.BoundSheet("Grafic", 2);
  out.Eof();
  std::size_t fields[3] = {f0, f1, f2};
  for (int i = 0; i < 3; ++i) {
    out.PatchU32(fields[i], static_cast<std::uint32_t>(out.Size()));
    out.Bof(sheets[i].bofType);
    sheets[i].records(out);
    out.Eof();
  }
  Collected c = ReadBytes(WriteCompoundFile({{"Workbook", out.Data()}}));
  ASSERT_EQ(c.cells.size(), 2u);
  EXPECT_EQ(c.cells[0].number, 1.0);
  EXPECT_EQ(c.cells[1].number, 2.0);
  EXPECT_EQ(std::count(c.records.begin(), c.records.end(), 0x1001), 0);
  ASSERT_EQ(c.sheetEvents.size(), 2u);
  EXPECT_EQ(c.sheetEvents[1].first, "Mai multe");
}

TEST(ReaderLoop, StrayContinueIsUnhandled) {
  Collected c = ReadBytes(Biff8Book(StandardXfs, {{"S", [](RecordStream& s) {
                                                     s.Number(0, 0, 15, 1.0);
                                                     s.Add(rec::kContinue, Body().U32(7));
                                                   }}}));
  auto at = std::find(c.records.begin(), c.records.end(), rec::kContinue);
  ASSERT_NE(at, c.records.end());
  EXPECT_EQ(*(at - 1), rec::kNumber);
  EXPECT_NE(std::find(c.unhandled.begin(), c.unhandled.end(), rec::kContinue), c.unhandled.end());
}

TEST(ReaderLoop, EncryptedFileStopsUnderExceptionLevel) {
  ReadOptions o;
  o.errorLevel = reader::xelException;
  Collected c = ReadBytes(Biff8Book(
                              [](RecordStream& s) {
                                s.Add(rec::kFilePass, Body().U16(0).U32(0));
                                StandardXfs(s);
                              },
                              {{"S", [](RecordStream& s) { s.Number(0, 0, 15, 1.0); }}}),
                          o);
  ASSERT_EQ(c.messages.size(), 1u);
  EXPECT_EQ(c.messages[0], "Can not read, file is encrypted");
  EXPECT_TRUE(c.cells.empty());
  EXPECT_EQ(c.openError, "");
  ASSERT_FALSE(c.progress.empty());
  EXPECT_EQ(c.progress.back(), 100);
}

TEST(ReaderLoop, AnsweringNoEndsReadingNormally) {
  ReadOptions o;
  o.answerYes = false;
  // LABELSST pointing past the (missing) shared-string table.
  Collected c = ReadBytes(Biff8Book(StandardXfs, {{"S",
                                                   [](RecordStream& s) {
                                                     s.LabelSst(0, 0, 15, 5);
                                                     s.Number(1, 0, 15, 2.0);
                                                   }}}),
                          o);
  ASSERT_EQ(c.messages.size(), 1u);
  EXPECT_NE(c.messages[0].find("\rRec# "), std::string::npos) << c.messages[0];
  EXPECT_EQ(c.messages[0].substr(c.messages[0].size() - 10), "\rContinue?");
  EXPECT_TRUE(c.cells.empty());
  EXPECT_EQ(c.openError, "");
  ASSERT_FALSE(c.progress.empty());
  EXPECT_EQ(c.progress.back(), 100);
}

// ---- shared strings --------------------------------------------------------------------------

Collected ReadSst(const SstWriter& sst, int cells, const ReadOptions& o = {}) {
  return ReadBytes(Biff8Book(
                       [&](RecordStream& s) {
                         StandardXfs(s);
                         sst.WriteTo(s);
                       },
                       {{"S",
                         [&](RecordStream& s) {
                           for (int i = 0; i < cells; ++i)
                             s.LabelSst(static_cast<std::uint16_t>(i), 0, 15,
                                        static_cast<std::uint32_t>(i));
                         }}}),
                   o);
}

TEST(ReaderSharedStrings, StringSplitAcrossContinueSwitchesTo16Bit) {
  SstWriter sst(2, 2);
  sst.Raw(Body().U16(6).U8(0).Raw("abc")).BreakWithOption(1).Raw(Body().Utf16(u"ăîș"));
  sst.Add("după");
  Collected c = ReadSst(sst, 2);
  ASSERT_EQ(c.cells.size(), 2u) << (c.messages.empty() ? "" : c.messages[0]);
  EXPECT_EQ(c.cells[0].text, "abcăîș");
  EXPECT_EQ(c.cells[1].text, "după");
  EXPECT_TRUE(c.messages.empty());
}

TEST(ReaderSharedStrings, CharactersOutsideLatin1AreKept) {
  SstWriter sst(2, 2);
  sst.Add("ri ■ s g •rM S ’ ăș €");
  // 16-bit characters continued in 16-bit form.
  sst.Raw(Body().U16(6).U8(1).Utf16(u"■•")).BreakWithOption(1).Raw(Body().Utf16(u"’■€ș"));
  Collected c = ReadSst(sst, 2);
  ASSERT_EQ(c.cells.size(), 2u);
  EXPECT_EQ(c.cells[0].text, "ri ■ s g •rM S ’ ăș €");
  EXPECT_EQ(c.cells[1].text, "■•’■€ș");
  // The same characters in a string with formatting runs.
  SstWriter rich(1, 1);
  rich.Add(SstWriter::Str{"ri ■ s g •rM S ’", true, {{3, 1}}, {}});
  Collected r = ReadSst(rich, 1);
  ASSERT_EQ(r.cells.size(), 1u);
  EXPECT_EQ(r.cells[0].text, "ri ■ s g •rM S ’");
}

TEST(ReaderSharedStrings, StringSplitFrom16BitTo8Bit) {
  SstWriter sst(1, 1);
  sst.Raw(Body().U16(4).U8(1).Utf16(u"ăî")).BreakWithOption(0).Raw(Body().Raw("xy"));
  Collected c = ReadSst(sst, 1);
  ASSERT_EQ(c.cells.size(), 1u);
  EXPECT_EQ(c.cells[0].text, "ăîxy");
}

TEST(ReaderSharedStrings, BadOptionBytesAreReported) {
  SstWriter unknown(1, 1);
  unknown.Raw(Body().U16(6).U8(0).Raw("abc")).BreakWithOption(5).Raw(Body().Raw("def"));
  EXPECT_TRUE(AnyMessageContains(ReadSst(unknown, 0), "Unknown string [05] in SST"));
  SstWriter unhandled(1, 1);
  unhandled.Raw(Body().U16(3).U8(2).Raw("abc"));
  EXPECT_TRUE(AnyMessageContains(ReadSst(unhandled, 0), "Unhandled string in SST [02]"));
  SstWriter missing(2, 2);
  missing.Raw(Body().U16(3).U8(0).Raw("abc"));  // the second string never comes
  Collected c = ReadSst(missing, 1);
  ASSERT_EQ(c.cells.size(), 1u);
  EXPECT_EQ(c.cells[0].text, "abc");
}

TEST(ReaderSharedStrings, RichStringRunsAndExtendedData) {
  SstWriter sst(4, 4);
  sst.Add(SstWriter::Str{"Roșu și albastru", false, {{0, 5}, {5, 6}}, {}});
  sst.Add(SstWriter::Str{"cu extra", false, {{1, 7}}, Bytes{1, 2, 3, 4, 5, 6}});
  sst.Add(SstWriter::Str{"lat", true, {{0, 5}}, Bytes{9, 9}});
  sst.Add(SstWriter::Str{"simplu", false, {}, Bytes{1, 2, 3}});
  Collected c = ReadSst(sst, 4);
  ASSERT_EQ(c.cells.size(), 4u) << (c.messages.empty() ? "" : c.messages[0]);
  EXPECT_EQ(c.cells[0].kind, Kind::kRich);
  EXPECT_EQ(c.cells[0].text, "Roșu și albastru");
  ASSERT_EQ(c.cells[0].runs.size(), 3u);
  EXPECT_EQ(c.cells[0].runs[0].FontIndex, 2);
  EXPECT_EQ(c.cells[0].runs[1].Position, 0);
  EXPECT_EQ(c.cells[0].runs[1].FontIndex, 5);
  EXPECT_EQ(c.cells[0].runs[2].Position, 5);
  EXPECT_EQ(c.cells[0].runs[2].FontIndex, 6);
  EXPECT_EQ(c.cells[1].text, "cu extra");
  EXPECT_EQ(c.cells[2].text, "lat");
  EXPECT_EQ(c.cells[3].kind, Kind::kString);
  EXPECT_EQ(c.cells[3].text, "simplu");
  EXPECT_TRUE(c.messages.empty());
}

TEST(ReaderSharedStrings, LargeTableOverManyContinueRecords) {
  SstWriter sst(3000, 3000);
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) {
    texts.push_back((i % 3 ? "Articol " : "Țiglă ") + std::to_string(i) +
                    std::string(static_cast<std::size_t>(i % 17), 'x'));
    sst.Add(texts.back());
  }
  ASSERT_GT(sst.Records().size(), 5u);
  Collected c = ReadSst(sst, 3000);
  ASSERT_EQ(c.cells.size(), 3000u);
  for (int i = 0; i < 3000; ++i)
    EXPECT_EQ(c.cells[static_cast<std::size_t>(i)].text, texts[static_cast<std::size_t>(i)]);
}

// ---- globals -----------------------------------------------------------------------------------

TEST(ReaderGlobals, DateDecisionFollowsTheFormatNumber) {
  auto cells = [](RecordStream& s) {
    s.Number(0, 0, 16, 45000.0);  // format 14
    s.Number(0, 1, 17, 1.5);      // format 46: a number to the reader
    s.Rk(0, 2, 18, RkFromInt(45001));
    s.Rk(0, 3, 19, RkFromInt(45002));
  };
  auto globals = [](RecordStream& s) {
    s.Format(164, "0.000");
    s.Format(165, "dd.mm.yyyy");
    StandardXfs(s);
    s.Xf(164);  // 18: first FORMAT record, renumbered to 49
    s.Xf(165);  // 19: second FORMAT record, renumbered to 50: a date mask
  };
  Collected c = ReadBytes(Biff8Book(globals, {{"S", cells}}));
  ASSERT_EQ(c.cells.size(), 4u) << (c.messages.empty() ? "" : c.messages[0]);
  EXPECT_EQ(c.cells[0].kind, Kind::kDateTime);
  EXPECT_EQ(c.cells[1].kind, Kind::kNumber);
  EXPECT_EQ(c.cells[2].kind, Kind::kNumber);
  EXPECT_EQ(c.cells[3].kind, Kind::kDateTime);
  EXPECT_EQ(c.cells[3].number, 45002.0);
}

TEST(ReaderGlobals, ADateMaskInTheFirstFormatRecordIsRenumberedAwayFromDates) {
  // Only the first FORMAT being a date mask: renumbered to 49, so its cells stay numbers.
  auto firstIsDate = [](RecordStream& s) {
    s.Format(164, "dd.mm.yyyy");
    StandardXfs(s);
    s.Xf(164);
  };
  Collected d = ReadBytes(
      Biff8Book(firstIsDate, {{"S", [](RecordStream& s) { s.Number(0, 0, 18, 45000.0); }}}));
  ASSERT_EQ(d.cells.size(), 1u);
  EXPECT_EQ(d.cells[0].kind, Kind::kNumber);
}

TEST(ReaderGlobals, FontsSheetNamesAndDimensions) {
  auto globals = [](RecordStream& s) {
    for (int i = 0; i < 5; ++i)
      s.Font(i == 0 ? "Arial" : "Font" + std::to_string(i),
             static_cast<std::uint16_t>(200 + 20 * i));
    StandardXfs(s);
  };
  auto sheet = [](RecordStream& s) {
    s.Dimensions(2, 10, 1, 4);
    s.Number(2, 1, 15, 1.0);
  };
  TempFile f(Biff8Book(globals, {{"Foaie ăΩ", sheet}}));
  reader::TXLSRead r;
  r.FileName = f.path();
  r.SetCodepage(1250);
  ReadOptions o;
  o.codepage = 1250;
  Collected c = ReadAll(r, o);
  ASSERT_EQ(r.Fonts().size(), 6u);
  EXPECT_EQ(r.Fonts()[4].Name, r.Fonts()[0].Name);
  EXPECT_EQ(r.Fonts()[4].Size, r.Fonts()[0].Size);
  EXPECT_EQ(r.Fonts()[5].Name, "Font4");
  EXPECT_EQ(r.Fonts()[5].Size, 14);
  ASSERT_EQ(c.sheetNames.size(), 1u);
  EXPECT_EQ(c.sheetNames[0].Name, "Foaie ă?");  // the Greek letter is not in code page 1250
  EXPECT_EQ(r.FirstRow(), 2);
  EXPECT_EQ(r.LastRow(), 9);
  EXPECT_EQ(r.FirstCol(), 1);
  EXPECT_EQ(r.LastCol(), 3);
  Collected all = ReadBytes(Biff8Book(globals, {{"Foaie ăΩ", sheet}}));
  EXPECT_EQ(all.sheetNames[0].Name, "Foaie ăΩ");
}

TEST(ReaderGlobals, Biff5TextUsesTheWorkbookCodePage) {
  Bytes stream = BuildStream(
      Biff::v5,
      [](RecordStream& s) {
        s.Codepage(1250);
        StandardXfs(s);
      },
      {{"Preţuri ă",
        [](RecordStream& s) {
          s.Label(0, 0, 15, "Şurub ţeavă Ă");
          s.RString(1, 0, 15, "bogat ş", {{0, 5}, {2, 6}});
        }}},
      1250);
  Collected c = ReadBytes(WriteCompoundFile({{"Book", stream}}));
  ASSERT_EQ(c.cells.size(), 2u);
  EXPECT_EQ(c.cells[0].text, "Şurub ţeavă Ă");
  EXPECT_EQ(c.cells[1].kind, Kind::kRich);
  EXPECT_EQ(c.cells[1].text, "bogat ş");
  ASSERT_EQ(c.cells[1].runs.size(), 3u);
  EXPECT_EQ(c.cells[1].runs[0].FontIndex, 2);
  EXPECT_EQ(c.cells[1].runs[2].Position, 2);
  EXPECT_EQ(c.cells[1].runs[2].FontIndex, 6);
  EXPECT_EQ(c.sheetNames.at(0).Name, "Preţuri ă");
}

// ---- cell records -----------------------------------------------------------------------------

TEST(ReaderCells, DecodeRkAndCellReferences) {
  EXPECT_EQ(reader::TXLSRead::DecodeRK(0x3FF00000), 1.0);
  EXPECT_EQ(reader::TXLSRead::DecodeRK(0x3FF00001), 0.01);
  EXPECT_EQ(reader::TXLSRead::DecodeRK(0x00000192), 100.0);
  EXPECT_EQ(reader::TXLSRead::DecodeRK(0x00000193), 1.0);
  EXPECT_EQ(reader::TXLSRead::DecodeRK(0xFFFFFFFE), -1.0);
  EXPECT_EQ(reader::TXLSRead::DecodeRK(RkFromInt(123456, true)), 1234.56);
  EXPECT_EQ(reader::TXLSRead::CellRefText(27, 4, true, false), "$AB5");
  EXPECT_EQ(reader::TXLSRead::CellRefText(2, 0, false, false), "C1");
  EXPECT_EQ(reader::TXLSRead::CellRefText(0, 9, true, true), "$A$10");
}

TEST(ReaderCells, EveryCellRecordGivesItsEvent) {
  auto sheet = [](RecordStream& s) {
    s.MulRk(0, 2, {{15, RkFromInt(7)}, {16, RkFromInt(45000)}, {15, RkFromDoubleHigh(2.5)}});
    s.FormulaSpecial(1, 0, 15, 0, 0);
    s.StringResult("rezultat ț");
    s.FormulaSpecial(1, 1, 15, 1, 1);
    s.FormulaSpecial(1, 2, 15, 2, 0x07);
    s.FormulaSpecial(1, 3, 15, 3, 0);
    s.FormulaNumber(1, 4, 15, 6.25);
    s.BoolErr(2, 0, 15, 0x2A, true);
    s.BoolErr(2, 1, 15, 0x63, true);
    s.BoolErr(2, 2, 15, 0, false);
    s.Label(3, 0, 15, "etichetă");
    s.MulBlank(4, 1, {15, 16, 17});
    s.Blank(4, 5, 15);
  };
  Collected c = ReadBytes(Biff8Book(StandardXfs, {{"S", sheet}}));
  EXPECT_TRUE(c.messages.empty()) << c.messages.front();
  auto values = [&](int row) {
    std::vector<const testreader::CellEvent*> out;
    for (const auto& e : c.cells)
      if (e.row == row && e.kind != Kind::kFormula) out.push_back(&e);
    return out;
  };
  auto r0 = values(0);
  ASSERT_EQ(r0.size(), 3u);
  EXPECT_EQ(r0[0]->col, 2);
  EXPECT_EQ(r0[0]->number, 7.0);
  EXPECT_EQ(r0[1]->col, 3);
  EXPECT_EQ(r0[1]->kind, Kind::kDateTime);
  EXPECT_EQ(r0[1]->xf, 16);
  EXPECT_EQ(r0[2]->col, 4);
  EXPECT_EQ(r0[2]->number, 2.5);

  auto r1 = values(1);
  ASSERT_EQ(r1.size(), 5u);
  EXPECT_EQ(r1[0]->kind, Kind::kString);
  EXPECT_EQ(r1[0]->text, "rezultat ț");
  EXPECT_TRUE(r1[0]->isFormulaValue);
  EXPECT_EQ(r1[1]->kind, Kind::kBool);
  EXPECT_TRUE(r1[1]->boolean);
  EXPECT_TRUE(r1[1]->isFormulaValue);
  EXPECT_EQ(r1[2]->text, "#DIV/0!");
  EXPECT_EQ(r1[3]->kind, Kind::kString);
  EXPECT_EQ(r1[3]->text, "");
  EXPECT_EQ(r1[4]->number, 6.25);
  EXPECT_TRUE(r1[4]->isFormulaValue);
  // The STRING record is taken by the formula and never reaches OnRecord.
  EXPECT_EQ(std::count(c.records.begin(), c.records.end(), rec::kString), 0);
  // Formula text comes before the value of each formula cell.
  for (std::size_t i = 0; i + 1 < c.cells.size(); ++i)
    if (c.cells[i + 1].isFormulaValue) {
      EXPECT_EQ(c.cells[i].kind, Kind::kFormula);
    }

  auto r2 = values(2);
  ASSERT_EQ(r2.size(), 3u);
  EXPECT_EQ(r2[0]->text, "#N/A");
  EXPECT_EQ(r2[1]->text, "#???");
  EXPECT_EQ(r2[2]->kind, Kind::kBool);
  EXPECT_FALSE(r2[2]->boolean);
  EXPECT_FALSE(r2[2]->isFormulaValue);

  auto r3 = values(3);
  ASSERT_EQ(r3.size(), 1u);
  EXPECT_EQ(r3[0]->text, "etichetă");

  auto r4 = values(4);
  ASSERT_EQ(r4.size(), 4u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r4[static_cast<std::size_t>(k)]->kind, Kind::kBlank);
    EXPECT_EQ(r4[static_cast<std::size_t>(k)]->col, 1 + k);
    EXPECT_EQ(r4[static_cast<std::size_t>(k)]->xf, 15 + k);
  }
}

TEST(ReaderCells, RowColumnAndSharedFormulaEvents) {
  auto sheet = [](RecordStream& s) {
    s.Row(3, 0, 5, 0x8000 | 255, 0x0100, 15);  // default height, no format flag
    s.Row(4, 1, 3, 300, 0x0180, 0x1011);       // formatted: XF in the low 12 bits
    s.ColInfo(1, 3, 2560, 16);
    s.Add(rec::kShrFmla, Body().U16(3).U16(4).U8(1).U8(2).U16(0).U16(3).U8(0x1E).U16(9));
  };
  TempFile f(Biff8Book(StandardXfs, {{"S", sheet}}));
  reader::TXLSRead r;
  r.FileName = f.path();
  std::vector<std::vector<int>> rows, cols;
  std::vector<std::pair<int, int>> formulas;
  r.OnRow = [&](reader::TXLSRead&, int row, int c1, int c2, int xf, int h) {
    rows.push_back({row, c1, c2, xf, h});
  };
  r.OnCol = [&](reader::TXLSRead&, int c1, int c2, int xf, int w) {
    cols.push_back({c1, c2, xf, w});
  };
  r.OnFormulaCell = [&](reader::TXLSRead&, int c, int row, const std::string&) {
    formulas.emplace_back(c, row);
  };
  r.Read();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<int>{3, 0, 4, -1, -1}));
  EXPECT_EQ(rows[1], (std::vector<int>{4, 1, 2, 0x011, 300}));
  ASSERT_EQ(cols.size(), 1u);
  EXPECT_EQ(cols[0], (std::vector<int>{1, 3, 16, 2560}));
  EXPECT_EQ(formulas, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {1, 4}, {2, 4}}));
}

TEST(ReaderCells, PlainBiff2FileReportsItsCells) {
  RecordStream s(Biff::v2);
  s.Bof(kWorksheet);
  s.Dimensions(0, 3, 0, 2);
  s.Integer2(0, 0, 42);
  s.Number2(0, 1, 2.5);
  s.Label2(1, 0, "Text vechi");
  s.BoolErr2(2, 0, 1, false);
  s.Eof();
  Collected c = ReadBytes(s.Data());
  ASSERT_EQ(c.openError, "");
  std::vector<std::string> seen;
  for (const auto& e : c.cells) {
    EXPECT_EQ(e.sheet, -1);
    EXPECT_EQ(e.xf, -1);
    if (e.kind == Kind::kNumber) seen.push_back(std::to_string(e.number));
    if (e.kind == Kind::kString) seen.push_back(e.text);
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{std::to_string(42.0), std::to_string(2.5), "Text vechi"}));
}

}  // namespace
