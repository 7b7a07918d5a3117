// The reader's small public helpers: RK numbers, cell references, error and Boolean texts, the
// built-in format table, and opening and classifying files.
#include <gtest/gtest.h>

#include <random>

#include "BookBuilder.h"
#include "reader/FormatRenumbering.h"

using reader::EXLSError;
using reader::TXLSRead;
using testbiff::Bytes;

TEST(ReaderHelpers, DecodeRkCoversAllFourForms) {
  EXPECT_EQ(TXLSRead::DecodeRK(0x3FF00000), 1.0);
  EXPECT_EQ(TXLSRead::DecodeRK(0x3FF00001), 0.01);
  EXPECT_EQ(TXLSRead::DecodeRK(0x00000192), 100.0);
  EXPECT_EQ(TXLSRead::DecodeRK(0x00000193), 1.0);
  EXPECT_EQ(TXLSRead::DecodeRK(0xFFFFFFFE), -1.0);
  EXPECT_EQ(TXLSRead::DecodeRK(0xFFFFFFFF), -0.01);  // -4 / 400
  EXPECT_EQ(TXLSRead::DecodeRK(static_cast<std::uint32_t>(-12345 * 4) | 3), -123.45);
  EXPECT_EQ(TXLSRead::DecodeRK(0xC0000000), -2.0);  // a double whose low half is zero
}

TEST(ReaderHelpers, CellReferenceText) {
  EXPECT_EQ(TXLSRead::CellRefText(27, 4, true, false), "$AB5");
  EXPECT_EQ(TXLSRead::CellRefText(2, 0, false, false), "C1");
  EXPECT_EQ(TXLSRead::CellRefText(25, 9, false, true), "Z$10");
  EXPECT_EQ(TXLSRead::CellRefText(26, 0, true, true), "$AA$1");
  EXPECT_EQ(TXLSRead::CellRefText(255, 65535, false, false), "IV65536");
  EXPECT_EQ(TXLSRead::CellRefText(701, 0, false, false), "ZZ1");
  EXPECT_EQ(TXLSRead::CellRefText(702, 0, false, false), "AAA1");  // never leaves the alphabet
}

TEST(ReaderHelpers, ErrorBooleanAndBuiltInFormatTexts) {
  TXLSRead r;
  const std::pair<int, const char*> codes[] = {
      {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
      {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"},    {0x63, "#???"}};
  for (const auto& [code, text] : codes) EXPECT_EQ(r.ErrorText(code), text) << code;
  EXPECT_EQ(r.BoolText(0), "FALSE");
  r.StrTRUE = "ADEVARAT";
  EXPECT_EQ(r.BoolText(5), "ADEVARAT");
  EXPECT_EQ(reader::BuiltInFormat(14), "m/d/yy");
  EXPECT_EQ(reader::BuiltInFormat(13), "# ?\?/??");
  EXPECT_EQ(reader::BuiltInFormat(30), "");
  EXPECT_EQ(reader::BuiltInFormat(44), "_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"??_);_(@_)");
  EXPECT_EQ(reader::BuiltInFormat(49), "@");
  EXPECT_EQ(reader::BuiltInFormat(50), "");
  r.SetCodepage(-3);
  EXPECT_EQ(r.Codepage(), 0);
}

// The table-driven renumbering of XF format numbers gives, BOF after BOF, what trying every
// FORMAT record on every XF gives: chains through later records, numbers that cycle from one
// BOF to the next, FORMAT and XF records added between BOFs, tables cleared. XFs are looked at
// after some BOFs only, some of them alone, so they catch up on several BOFs at once; every
// tenth round has a chain of 100 FORMAT records (record k numbered 50 + k, with others mixed
// in) and 150 BOFs.
TEST(ReaderHelpers, FormatRenumberingAgreesWithTheRecordByRecordRule) {
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    const bool deep = round % 10 == 0;
    std::vector<reader::TFormatEntry> formats;
    std::vector<reader::TXFRecord> fast, naive;
    reader::detail::FormatRenumbering renumbering;
    const int spread = deep ? 120 : 12;
    auto number = [&] { return static_cast<int>(44 + rng() % spread); };  // around 49: collisions
    auto newXf = [&](int n) {
      reader::TXFRecord xf;
      xf.Data[2] = static_cast<std::uint8_t>(n);
      fast.push_back(xf);
      naive.push_back(xf);
    };
    if (deep)
      for (int k = 0; k < 40; ++k) newXf(number());
    for (int bof = 0; bof < (deep ? 150 : 8); ++bof) {
      const unsigned step = rng() % 6;
      if (step == 0) formats.emplace_back("0", number());
      if (step <= 2) newXf(number());
      if (step == 5 && round % 3 == 0 && !deep) {
        formats.clear();
        fast.clear();
        naive.clear();
        renumbering.Invalidate();
      }
      if (bof == 0)
        for (int k = 0; k < (deep ? 100 : 6); ++k)
          formats.emplace_back("0", deep && rng() % 4 != 0 ? 50 + k : number());
      renumbering.Bof(fast, formats, 0);
      for (auto& xf : naive)
        for (std::size_t k = 0; k < formats.size(); ++k)
          if (xf.FormatNumber() == static_cast<std::uint16_t>(formats[k].FormatIndex)) {
            xf.Data[2] = static_cast<std::uint8_t>(49 + k);
            xf.Data[3] = 0;
          }
      ASSERT_EQ(fast.size(), naive.size());
      const unsigned look = rng() % 4;
      if (look == 0) continue;  // nobody looks: the XFs stay behind
      if (look == 1 && !fast.empty()) {
        const std::size_t i = rng() % fast.size();
        renumbering.Resolve(fast, i);
        ASSERT_EQ(fast[i].FormatNumber(), naive[i].FormatNumber()) << round << " " << bof;
        continue;
      }
      renumbering.ResolveAll(fast);
      for (std::size_t i = 0; i < fast.size(); ++i)
        ASSERT_EQ(fast[i].FormatNumber(), naive[i].FormatNumber()) << round << " " << bof;
    }
  }
}

namespace {

// Opens `name` with `r`: "opened", or the message of the error.
std::string OpenMessage(TXLSRead& r, const std::string& name) {
  r.FileName = name;
  try {
    r.Open();
  } catch (const EXLSError& e) {
    return std::string(e.what());
  }
  return std::string("opened");
}

}  // namespace

TEST(ReaderOpen, ABlankFileNameIsRefused) {
  TXLSRead r;
  EXPECT_EQ(OpenMessage(r, "   "), "Filename is missing");
}

TEST(ReaderOpen, CompoundFilesAreReadFromTheirWorkbookOrBookStream) {
  TXLSRead r;
  const auto message = [&](const std::string& name) { return OpenMessage(r, name); };
  // A compound file with both streams is read from "Workbook" as BIFF8.
  const Bytes book = testbiff::BuildStream(testbiff::Biff::v8, nullptr, {{"Foaia1", nullptr}});
  testbiff::TempFile both(testbiff::WriteCompoundFile({{"Book", book}, {"Workbook", book}}));
  EXPECT_EQ(message(both.path()), "opened");
  EXPECT_EQ(r.Version(), 6);
  EXPECT_EQ(r.MaxRecordSize(), 8224);
  EXPECT_EQ(r.StreamSize(), book.size());
  r.Close();
  testbiff::TempFile onlyBook(testbiff::WriteCompoundFile({{"Book", book}}));
  EXPECT_EQ(message(onlyBook.path()), "opened");
  EXPECT_EQ(r.Version(), 5);
  EXPECT_EQ(r.MaxRecordSize(), 2080);
  r.Close();
  testbiff::TempFile neither(testbiff::WriteCompoundFile({{"Other", book}}));
  EXPECT_EQ(message(neither.path()), "File is not a Excel Workbook");
  EXPECT_FALSE(r.IsOpen());
}

TEST(ReaderOpen, PlainFilesMustBeginWithTheBofOfAKnownGeneration) {
  TXLSRead r;
  const auto message = [&](const std::string& name) { return OpenMessage(r, name); };
  // Plain files: the first record must be a BOF of a known generation.
  const std::pair<std::uint8_t, int> plain[] = {{0x00, 1}, {0x02, 2}, {0x04, 3}, {0x08, 4}};
  for (const auto& [high, version] : plain) {
    testbiff::TempFile f(Bytes{0x09, high, 4, 0, 0, 0, 0x10, 0, 0x0A, 0, 0, 0});
    EXPECT_EQ(message(f.path()), "opened");
    EXPECT_EQ(r.Version(), version);
    r.Close();
  }
  testbiff::TempFile notBof(Bytes{0x0A, 0x00, 0, 0, 0x09, 0x08, 0, 0});
  EXPECT_EQ(message(notBof.path()), "File is not a Excel file");
  testbiff::TempFile badHigh(Bytes{0x09, 0x06, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(message(badHigh.path()), "File is not a Excel file");
  testbiff::TempFile tiny(Bytes{0x09});
  EXPECT_EQ(message(tiny.path()), "File is not a Excel file");
  EXPECT_NE(message("/nonexistent/x.xls"), "opened");
}
