// The shared-string table across CONTINUE records, in every shape a string can take, and its
// error messages.
#include <gtest/gtest.h>

#include "BookBuilder.h"
#include "EventRecorder.h"

using namespace readertest;
using testbiff::Biff;
using testbiff::BookFile;
using testbiff::BuildStream;
using testbiff::Bytes;
using testbiff::RecordStream;
using testbiff::SstWriter;

namespace {

Bytes Utf16(std::u16string_view s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}
Bytes Latin(std::string_view s) {
  return Bytes(s.begin(), s.end());
}
Bytes Header(std::uint16_t count, std::uint8_t flags) {
  return Bytes{static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8),
               flags};
}

// Reads a book whose globals hold `sst` and whose sheet has LABELSST cells 0..n-1 in column 0.
Recorder ReadStrings(const SstWriter& sst, int n, reader::TXLSErrorLevel level = reader::xelMessage,
                     int codepage = 0, bool rich = false) {
  const Bytes stream = BuildStream(Biff::v8, [&](RecordStream& s) { sst.WriteTo(s); },
                                   {{"Foaia1", [&](RecordStream& s) {
                                       for (int i = 0; i < n; ++i)
                                         s.LabelSst(static_cast<std::uint16_t>(i), 0, 0, i);
                                       s.Number(100, 0, 0, 7.0);
                                     }}});
  auto file = BookFile(stream);
  reader::TXLSRead r;
  Recorder rec;
  rec.Attach(r);
  r.ErrorLevel = level;
  r.SetCodepage(codepage);
  r.OnDateTimeCell = nullptr;
  if (rich)
    r.OnRichCell = [&rec](reader::TXLSRead&, int c, int row, int, const std::string& v,
                          reader::PRecREFormatArray f) {
      std::string s =
          "R " + Recorder::Pos(c, row) + " " + v + " [" + std::to_string(f[0].FontIndex) + "]";
      for (int k = 1; k <= f[0].FontIndex; ++k)
        s += " " + std::to_string(f[k].Position) + ":" + std::to_string(f[k].FontIndex);
      rec.log.push_back(s);
    };
  r.FileName = file->path();
  r.Read();
  return rec;
}

}  // namespace

TEST(SharedStrings, StringsSplitAcrossContinueRecordsInEveryShape) {
  SstWriter sst(6, 6);
  // 8-bit start, UTF-16 continuation.
  sst.Raw(Header(7, 0x00)).Raw(Latin("Ana ")).BreakWithOption(0x01).Raw(Utf16(u"ță!"));
  // UTF-16 start, 8-bit continuation (the rest of the characters one byte each).
  sst.Raw(Header(5, 0x01)).Raw(Utf16(u"Șu")).BreakWithOption(0x00).Raw(Latin("rub"));
  // A string header at the very end of a record: all characters follow the option byte.
  sst.Raw(Header(3, 0x00)).BreakWithOption(0x00).Raw(Latin("abc"));
  // A rich string with two runs, and rich + extended data in both character widths.
  sst.Add(SstWriter::Str{"Preț nou", false, {{0, 1}, {5, 2}}, {}});
  sst.Add(SstWriter::Str{"ext", false, {{1, 3}}, Bytes{1, 2, 3, 4, 5}});
  sst.Add(SstWriter::Str{"larg", true, {{0, 5}}, Bytes(9, 0xEE)});
  const Recorder rec = ReadStrings(sst, 6, reader::xelMessage, 0, true);
  EXPECT_TRUE(rec.messages.empty()) << rec.messages[0];
  const std::vector<std::string> want = {
      "S 0,0 Ana ță!",     "S 0,1 Șurub",        "S 0,2 abc",  "R 0,3 Preț nou [2] 0:1 5:2",
      "R 0,4 ext [1] 1:3", "R 0,5 larg [1] 0:5", "N 0,100 0 7"};
  EXPECT_EQ(rec.log, want);
}

TEST(SharedStrings, LongTablesSplitTheWayExcelSplitsThem) {
  // Excel-like layout over many CONTINUE records, checked string by string.
  SstWriter sst(3000, 3000, 300);
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) {
    texts.push_back(i % 3 == 0 ? "Țeavă " + std::to_string(i) : "text " + std::to_string(i * 7));
    sst.Add(texts.back());
  }
  const Recorder rec = ReadStrings(sst, 3000);
  ASSERT_EQ(rec.log.size(), 3001u);
  for (int i = 0; i < 3000; ++i) EXPECT_EQ(rec.log[i], "S 0," + std::to_string(i) + " " + texts[i]);
}

TEST(SharedStrings, CodepagePropertyNarrowsUtf16Text) {
  SstWriter sst(1, 1);
  sst.Add(SstWriter::Str{"Oțel ș € Ω", true, {}, {}});
  EXPECT_EQ(ReadStrings(sst, 1, reader::xelMessage, 1250).log[0], "S 0,0 Oţel ş € ?");
  EXPECT_EQ(ReadStrings(sst, 1, reader::xelMessage, 0).log[0], "S 0,0 Oțel ș € Ω");
}

TEST(SharedStrings, AnUnknownOptionByteInAContinueRecord) {
  SstWriter sst(2, 2);
  sst.Add("bun").Raw(Header(4, 0x00)).Raw(Latin("ab")).BreakWithOption(0x05).Raw(Latin("cd"));
  const Recorder rec = ReadStrings(sst, 1);
  ASSERT_FALSE(rec.messages.empty());
  EXPECT_EQ(rec.messages[0].rfind("?Unknown string [05] in SST\rRec# ", 0), 0u) << rec.messages[0];
  ASSERT_FALSE(rec.log.empty());
  EXPECT_EQ(rec.log.front(), "S 0,0 bun");  // strings before the error stay
}

TEST(SharedStrings, AnUnhandledStringKind) {
  SstWriter sst(1, 1);
  sst.Raw(Header(2, 0x02)).Raw(Latin("xy"));
  const Recorder rec = ReadStrings(sst, 0);
  ASSERT_FALSE(rec.messages.empty());
  EXPECT_EQ(rec.messages[0].rfind("?Unhandled string in SST [02]", 0), 0u) << rec.messages[0];
}

TEST(SharedStrings, ACharacterCountPastTheEndWithNoContinue) {
  // A character count past the end with no CONTINUE after it.
  SstWriter sst(1, 1);
  sst.Raw(Header(40, 0x00)).Raw(Latin("scurt"));
  const Recorder rec = ReadStrings(sst, 0);
  ASSERT_FALSE(rec.messages.empty());
  EXPECT_EQ(rec.messages[0].rfind("?CONTINUE record missing", 0), 0u) << rec.messages[0];
  // Reading goes on at the next record boundary: the sheet's cell still arrives.
  EXPECT_EQ(rec.log.back(), "N 0,100 0 7");
}

TEST(SharedStrings, AUniqueCountLargerThanTheStringsStored) {
  // A unique count larger than the strings stored ends the table quietly.
  SstWriter sst(5, 5);
  sst.Add("unu").Add("doi");
  const Recorder rec = ReadStrings(sst, 2);
  EXPECT_TRUE(rec.messages.empty());
  EXPECT_EQ(rec.log, (std::vector<std::string>{"S 0,0 unu", "S 0,1 doi", "N 0,100 0 7"}));
}

TEST(SharedStrings, ExtendedDataWhoseSizeDoesNotFit) {
  // Extended data whose size field does not fit the record: the overflow names the size.
  SstWriter sst(1, 1);
  sst.Raw(Header(2, 0x04)).Raw(Bytes{1, 2});
  const Recorder rec = ReadStrings(sst, 0);
  ASSERT_FALSE(rec.messages.empty());
  EXPECT_EQ(rec.messages[0].rfind("?SST Buffer owerflow (4)", 0), 0u) << rec.messages[0];
}
