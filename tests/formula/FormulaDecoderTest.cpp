#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "formula/TokenBytes.h"
#include "platform/Formats.h"
#include "reader/formula/FormulaDecoder.h"

using namespace formula;

namespace {

TFormulaContext Biff8() {
  TFormulaContext c;
  c.Reset();
  c.BookVersion = c.Version = 6;
  c.SheetNames = {"Foaie1", "Foaie2", "Preturi"};
  c.Names.push_back("TVA");
  c.Names.push_back("MYFUNC");
  return c;
}

TFormulaContext Biff5() {
  TFormulaContext c = Biff8();
  c.BookVersion = c.Version = 5;
  return c;
}

// Tokens plus the additional data that follows them in the record.
std::string Decode(const TFormulaContext& c, const TokenBytes& tokens, const TokenBytes& extra = {},
                   int baseCol = 0, int baseRow = 0) {
  std::vector<std::uint8_t> buf = tokens.b;
  buf.insert(buf.end(), extra.b.begin(), extra.b.end());
  return DecodeFormula(c, buf.data(), tokens.b.size(), extra.b.size(), baseCol, baseRow);
}

class DecimalComma : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::Formats();
    platform::Formats().DecimalSeparator = ',';
  }
  void TearDown() override { platform::Formats() = saved_; }
  platform::FormatSettings saved_;
};

}  // namespace

TEST(FormulaDecoder, OperatorsFollowTheTokensWithoutAddedParentheses) {
  const auto c = Biff8();
  TokenBytes t;
  t.Int(1).Int(2).Int(3).Op(0x05).Op(0x03);
  EXPECT_EQ(Decode(c, t), "1+2*3");
  t.Op(0x15);
  EXPECT_EQ(Decode(c, t), "(1+2*3)");

  const char* ops[] = {"+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">", "<>"};
  for (unsigned id = 0x03; id <= 0x0E; ++id) {
    EXPECT_EQ(Decode(c, TokenBytes().Int(7).Int(8).Op(id)), std::string("7") + ops[id - 3] + "8");
  }
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(0, 0, true, true).Op(0x14)), "A1%");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(0, 0, true, true).Op(0x13)), "-A1");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(0, 0, true, true).Op(0x12)), "A1");
  // Entries below the top are dropped.
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).Int(2)), "2");
}

TEST(FormulaDecoder, EndMarkersAndErrorTexts) {
  const auto c = Biff8();
  EXPECT_EQ(Decode(c, TokenBytes()), "[ERROR]");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x01).u16(0).u16(0)), "<Shared>");
  EXPECT_EQ(Decode(c, TokenBytes().Int(5).u8(0x00).Int(6)), "5") << "0x00 ends the tokens";
  for (unsigned id : {0x02u, 0x0Fu, 0x10u, 0x11u, 0x18u, 0x26u, 0x29u, 0x2Eu, 0x38u, 0x3Eu, 0x3Fu,
                      0x46u, 0x5Eu, 0x5Fu, 0x61u, 0x7Fu, 0xFFu}) {
    char want[20];
    std::snprintf(want, sizeof want, "Unknown ptg[%.2X]", id);
    EXPECT_EQ(Decode(c, TokenBytes().Int(1).u8(id).Int(2)), want);
  }
  // Operators with too few operands push the marker and leave the stack as it was.
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).Op(0x03)), "<Val missing>");
  EXPECT_EQ(Decode(c, TokenBytes().Op(0x13)), "<Val missing>");
  EXPECT_EQ(Decode(c, TokenBytes().Op(0x14)), "<Val missing>");
  EXPECT_EQ(Decode(c, TokenBytes().Int(4).Op(0x03).Op(0x03)), "4+<Val missing>");
  // Constants.
  EXPECT_EQ(Decode(c, TokenBytes().Int(40000)), "40000");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x1C, 0x07})), "#DIV/0!");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x1C, 0x2A})), "#N/A");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x1C, 0x63})), "#???");
  auto ro = c;
  ro.StrTRUE = "ADEVARAT";
  ro.StrFALSE = "FALS";
  EXPECT_EQ(Decode(ro, TokenBytes().u8s({0x1D, 1, 0x1D, 0, 0x08})), "ADEVARAT&FALS");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x16)), "");
}

TEST(FormulaDecoder, TruncatedOperandsEndDecodingWithinTheBuffer) {
  const auto c = Biff8();
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).u8(0x1E).u8(5)), "Truncated ptg[1E]");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x1F).zeros(7)), "Truncated ptg[1F]");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x17, 5, 0}).latin1("abc")), "Truncated ptg[17]");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x17, 2, 1}).u16('a')), "Truncated ptg[17]");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x44, 0, 0, 0})), "Truncated ptg[44]");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x19, 0x04, 3, 0, 0, 0})), "Truncated ptg[19]");
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).u8s({0x42, 1})), "Truncated ptg[42]");
}

TEST(FormulaDecoder, StringConstantsIn8And16BitCharacters) {
  auto c = Biff8();
  // "ăș" stored as UTF-16, then & and a reference: the tokens after it are found.
  TokenBytes wide;
  wide.u8s({0x17, 2, 1}).utf16({0x0103, 0x0219}).Ref8(0, 1, false, false).Op(0x08);
  EXPECT_EQ(Decode(c, wide), "\"ăș\"&$B$1");
  TokenBytes narrow;
  narrow.u8s({0x17, 3, 0}).u8s({'P', 0xE2, 'n'}).Int(1).Op(0x08);
  EXPECT_EQ(Decode(c, narrow), "\"Pân\"&1") << "8-bit BIFF8 text is Latin-1";
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x17, 0, 0})), "\"\"");
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x17, 4, 0}).latin1("a\"b\"")), "\"a\"b\"\"")
      << "embedded quotes are not doubled";

  auto five = Biff5();
  five.Codepage = 1250;
  TokenBytes cp;
  cp.u8s({0x17, 3}).u8s({0xBA, 0xFE, 'a'}).Int(2).Op(0x08);
  EXPECT_EQ(Decode(five, cp), "\"şţa\"&2") << "no option byte before BIFF8; code page 1250";
}

TEST_F(DecimalComma, NumbersUseGeneralFormatAndTheDecimalSeparator) {
  const auto c = Biff8();
  auto num = [&](double v) { return Decode(c, TokenBytes().u8(0x1F).f64(v)); };
  EXPECT_EQ(num(1.5), "1,5");
  EXPECT_EQ(num(-2), "-2");
  EXPECT_EQ(num(0), "0");
  EXPECT_EQ(num(0.1 + 0.2), "0,3");
  EXPECT_EQ(num(1.0 / 3), "0,333333333333333");
  EXPECT_EQ(num(123456789012345.0), "123456789012345");
  EXPECT_EQ(num(1234567890123456.0), "1,23456789012346E15");
  EXPECT_EQ(num(1e20), "1E20");
  EXPECT_EQ(num(0.00001), "0,00001");
  EXPECT_EQ(num(0.0000015), "1,5E-6");
  EXPECT_EQ(num(-0.000001), "-1E-6");
  EXPECT_EQ(num(9.9999999999999999), "10");
}

TEST(FormulaDecoder, FunctionCalls) {
  auto c = Biff8();
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x41).u16(19)), "PI()");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x21).u16(74).u8(0x21).u16(221).Op(0x04)), "NOW()-TODAY()");
  TokenBytes mid;
  mid.Ref8(0, 0, true, true).Int(2).Int(3).u8(0x41).u16(31);
  EXPECT_EQ(Decode(c, mid), "MID(A1,2,3)");
  TokenBytes replace;
  replace.Int(1).Int(2).Int(3).Int(4).u8(0x41).u16(119);
  EXPECT_EQ(Decode(c, replace), "REPLACE(1,2,3,4)");
  // Beyond the table: one operand, the number between markers.
  EXPECT_EQ(Decode(c, TokenBytes().Int(9).u8(0x41).u16(400)), "?<400>?(9)");
  // IF with its second argument missing, and the prompt bit of the count ignored.
  TokenBytes iff;
  iff.Ref8(0, 0, true, true).u8(0x16).Int(2).u8(0x42).u8(0x83).u16(1);
  EXPECT_EQ(Decode(c, iff), "IF(A1,,2)");
  // A user-defined function: the name travels as the deepest argument of function 255.
  TokenBytes udf;
  udf.u8(0x43).u16(2).u16(0).Int(1).Int(2).u8(0x42).u8(3).u16(255);
  EXPECT_EQ(Decode(c, udf), "MYFUNC(1,2)");
  // A function number above the table works the same way; bit 15 (command) is ignored.
  TokenBytes high;
  high.u8(0x43).u16(1).u16(0).u8(0x42).u8(1).u16(0x8000 | 500);
  EXPECT_EQ(Decode(c, high), "TVA()");
  // SUM through the attribute token, and a variable SUM with two arguments.
  TokenBytes sum;
  sum.Area8(0, 8, 0, 0).u8s({0x19, 0x10}).u16(0);
  EXPECT_EQ(Decode(c, sum), "SUM(A1:A9)");
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).Int(2).u8(0x22).u8(2).u16(4)), "SUM(1,2)");
  // CHOOSE: the jump table after the attribute is skipped; skip and volatile print nothing.
  TokenBytes choose;
  choose.Int(2)
      .u8s({0x19, 0x04})
      .u16(2)
      .u16(8)
      .u16(12)
      .u16(16)
      .Int(10)
      .u8s({0x19, 0x08})
      .u16(3)
      .Int(20)
      .u8s({0x19, 0x08})
      .u16(0)
      .u8s({0x19, 0x01})
      .u16(0)
      .u8(0x42)
      .u8(3)
      .u16(100);
  EXPECT_EQ(Decode(c, choose), "CHOOSE(2,10,20)");

  c.FuncArgSeparator = ';';
  EXPECT_EQ(Decode(c, mid), "MID(A1;2;3)");
  EXPECT_EQ(Decode(c, iff), "IF(A1;;2)");
}

TEST(FormulaDecoder, OperandSizesFollowTheVersions) {
  auto c = Biff8();
  // BIFF3: function numbers of one byte; BIFF4: two bytes, and a variable call takes the
  // first byte in BIFF4 only when Version says BIFF4 exactly.
  c.BookVersion = c.Version = 2;
  EXPECT_EQ(Decode(c, TokenBytes().u8s({0x41, 19})), "PI()");
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).Int(2).u8s({0x42, 2, 4})), "SUM(1,2)");
  EXPECT_EQ(Decode(c, TokenBytes().Ref5(2, 1, false, false)), "$B$3");
  c.BookVersion = c.Version = 3;
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x41).u16(19)), "PI()");
  EXPECT_EQ(Decode(c, TokenBytes().Int(1).Int(2).u8s({0x42, 2, 4, 0x80})), "SUM(1,2)");
  // BIFF2: the attribute carries one data byte.
  c.BookVersion = c.Version = 1;
  EXPECT_EQ(Decode(c, TokenBytes().Ref5(0, 0, true, true).u8s({0x19, 0x10, 0}).Int(3).Op(0x05)),
            "SUM(A1)*3");
  // ptgName: 10 bytes up to BIFF4, 14 in BIFF5, 4 in BIFF8.
  c.BookVersion = c.Version = 3;
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x23).u16(1).zeros(8).Int(2).Op(0x05)), "TVA*2");
  c.BookVersion = c.Version = 5;
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x43).u16(1).zeros(12).Int(2).Op(0x05)), "TVA*2");
  // BookVersion decides reference layouts, Version the function-number size.
  c.BookVersion = 6;
  c.Version = 2;
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(4, 2, true, false).u8s({0x41, 24})), "ABS($C5)");
}

TEST(FormulaDecoder, NamesAndListIndexErrors) {
  auto c = Biff8();
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x23).u16(0).u16(0)), "<Np0>");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x43).u16(1).u16(0)), "TVA");
  EXPECT_THROW(Decode(c, TokenBytes().u8(0x23).u16(3).u16(0)), EFormulaListError);
  EXPECT_THROW(Decode(c, TokenBytes().u8(0x39).u16(0).u16(1).u16(0)), EFormulaListError);
  c.ExternNames.push_back("EDATE");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x39).u16(0).u16(1).u16(0)), "EDATE");
  EXPECT_THROW(Decode(c, TokenBytes().Op(0x15)), EFormulaListError);
  EXPECT_THROW(Decode(c, TokenBytes().u8s({0x19, 0x10}).u16(0)), EFormulaListError);
  EXPECT_THROW(Decode(c, TokenBytes().Int(1).u8(0x41).u16(31)), EFormulaListError);
  EXPECT_THROW(Decode(c, TokenBytes().Int(1).u8(0x42).u8(2).u16(4)), EFormulaListError);
  EXPECT_THROW(Decode(c, TokenBytes().u8(0x42).u8(0).u16(255)), EFormulaListError);
  try {
    Decode(c, TokenBytes().u8(0x23).u16(7).u16(0));
  } catch (const EFormulaListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (7)");
  }
  // BIFF2-BIFF4: inside ptgSheet ... ptgEndSheet a name token means an external name.
  auto b3 = Biff8();
  b3.BookVersion = b3.Version = 2;
  b3.ExternNames.push_back("Alta");
  TokenBytes ext;
  ext.u8(0x1A).zeros(10).u8(0x23).u16(1).zeros(8).u8(0x1B).zeros(4).u8(0x23).u16(1).zeros(8).Op(
      0x03);
  EXPECT_EQ(Decode(b3, ext), "Alta+TVA");
}

TEST(FormulaDecoder, ReferencesAndAreas) {
  const auto c = Biff8();
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(6, 1, true, true)), "B7");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(6, 1, false, false)), "$B$7");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(6, 1, true, false)), "$B7");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(6, 1, false, true)), "B$7");
  EXPECT_EQ(Decode(c, TokenBytes().Ref8(65535, 255, false, false)), "$IV$65536");
  const auto area = TokenBytes().Area8(0, 3, 0, 1, 0xC000, 0x25);
  const auto valueArea = TokenBytes().Area8(0, 3, 0, 1, 0xC000, 0x45);
  EXPECT_EQ(Decode(c, area), "A1:B4");
  EXPECT_EQ(Decode(c, valueArea), Decode(c, area));
  EXPECT_EQ(Decode(c, TokenBytes().Area8(0, 3, 0, 1, 0)), "$A$1:$B$4");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x2A).zeros(4).Int(1).Op(0x03)), "#REF!+1");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x4B).zeros(8)), "#REF!");

  const auto b5 = Biff5();
  EXPECT_EQ(Decode(b5, TokenBytes().Ref5(6, 27, true, false)), "$AB7");
  EXPECT_EQ(Decode(b5, TokenBytes().u8(0x25).u16(0xC000).u16(0xC009).u8s({2, 2})), "C1:C10");
  EXPECT_EQ(Decode(b5, TokenBytes().u8(0x2B).zeros(6)), "#REF!");
}

TEST(FormulaDecoder, SharedFormulasResolveAgainstTheBaseCell) {
  const auto c = Biff8();
  // B2:B4 holding =A2+1 and so on: row offset 0, column offset -1.
  TokenBytes t;
  t.u8(0x4C).u16(0).u16(0xC000 | 0xFF).Int(1).Op(0x03);
  EXPECT_EQ(Decode(c, t, {}, 1, 1), "A2+1");
  EXPECT_EQ(Decode(c, t, {}, 1, 2), "A3+1");
  EXPECT_EQ(Decode(c, t, {}, 1, 3), "A4+1");
  // An area with a relative row end and absolute columns: =SUM($A$1:$A2) filled down.
  TokenBytes area;
  area.u8(0x2D).u16(0).u16(0xFFFF).u16(0).u16(0x8000).u8s({0x19, 0x10}).u16(0);
  EXPECT_EQ(Decode(c, area, {}, 3, 9), "SUM($A$1:$A9)");
  // Offsets that pass the sheet's edge wrap as the file format does.
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x2C).u16(0xFFFF).u16(0xC000 | 0x01), {}, 255, 0), "A65536");
}

TEST(FormulaDecoder, SharedFormulaOffsetsOfBiff5) {
  // BIFF5: the row offset is 14 bits, two's complement; columns a signed byte.
  const auto b5 = Biff5();
  TokenBytes far;
  far.u8(0x2C).u16(0xC000 | (0x4000 - 199)).u8(0xFE);
  EXPECT_EQ(Decode(b5, far, {}, 3, 200), "B2");
  TokenBytes abs5;
  abs5.u8(0x2C).u16(0x0005).u8(3);
  EXPECT_EQ(Decode(b5, abs5, {}, 3, 200), "$D$6");
}

TEST(FormulaDecoder, ThreeDimensionalReferencesBiff8) {
  auto c = Biff8();
  TokenBytes area;
  area.u8(0x3B).u16(1).u16(0).u16(3).u16(0).u16(0xC001);
  EXPECT_EQ(Decode(c, area), "Foaie2!$A$1:B4");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3C).u16(2).zeros(4)), "Preturi!#REF!");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x5A).u16(3).u16(0).u16(0)), "<??? Ref3d>!$A$1");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3D).u16(0).zeros(8)), "Foaie1!#REF!");

  // With the EXTERNSHEET table: entries need not follow the sheet order.
  c.SupBooks.push_back({TSupBook::sbkSelf, "", {}, 1, 0});
  TSupBook other{TSupBook::sbkExternal, "furnizor.xls", {"Lista"}, 1, 0};
  c.SupBooks.push_back(other);
  c.ExternSheets = {{0, 2, 2}, {0, 0, 1}, {1, 0, 0}, {0, 0xFFFF, 0xFFFF}};
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(0).u16(0).u16(0xC000)), "Preturi!A1");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(1).u16(0).u16(0xC000)), "Foaie1:Foaie2!A1");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(2).u16(0).u16(0xC000)), "[furnizor.xls]Lista!A1");
  // The stored name of another workbook is an encoded path: its control characters never show.
  const std::pair<const char*, const char*> encoded[] = {{"\x01prices.xls", "[prices.xls]Lista!A1"},
                                                         {"\x01\x01"
                                                          "C\x03liste\x03prices.xls",
                                                          "C:\\liste\\[prices.xls]Lista!A1"},
                                                         {"\x01\x01@srv\x03"
                                                          "date\x03p.xls",
                                                          "\\\\srv\\date\\[p.xls]Lista!A1"},
                                                         {"\x01\x04\x04\x02"
                                                          "a\x03p.xls",
                                                          "..\\..\\\\a\\[p.xls]Lista!A1"},
                                                         {"\x01\x05\x03"
                                                          "Mac\x03p.xls",
                                                          "Mac:\\[p.xls]Lista!A1"},
                                                         {"\x01\x05\x7F"
                                                          "ab",
                                                          "ab:[]Lista!A1"}};
  for (const auto& [stored, text] : encoded) {
    c.SupBooks[1].FileName = stored;
    EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(2).u16(0).u16(0xC000)), text) << text;
  }
  c.SupBooks[1].FileName = "furnizor.xls";
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(3).u16(0).u16(0xC000)), "[DELETED]!A1");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x3A).u16(4).u16(0).u16(0xC000)), "<??? Ref3d>!A1");

  // Add-in names: the index counts the EXTERNNAMEs of that SUPBOOK.
  c.ExternNames = {"<Ep0>", "Ext1", "EDATE", "EOMONTH"};
  c.SupBooks[1].ExternNameCount = 1;
  c.SupBooks.push_back({TSupBook::sbkAddIn, "", {}, 2, 2});
  c.ExternSheets.push_back({2, 0xFFFE, 0xFFFE});
  TokenBytes addin;
  addin.u8(0x39).u16(4).u16(2).u16(0).Ref8(0, 0, true, true).Int(1).u8(0x42).u8(3).u16(255);
  EXPECT_EQ(Decode(c, addin), "EOMONTH(A1,1)");
  EXPECT_THROW(Decode(c, TokenBytes().u8(0x39).u16(4).u16(3).u16(0)), EFormulaListError);
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x39).u16(0).u16(1).u16(0)), "TVA")
      << "a name of this workbook";
}

TEST(FormulaDecoder, ThreeDimensionalReferencesBiff5) {
  const auto c = Biff5();
  auto ref = [](int external, unsigned first, unsigned last) {
    TokenBytes t;
    t.u8(0x3A).u16(static_cast<unsigned>(external) & 0xFFFF).zeros(8).u16(first).u16(last);
    t.u16(0xC000).u8(0);
    return t;
  };
  EXPECT_EQ(Decode(c, ref(-1, 0, 2)), "Foaie1:Preturi!A1");
  EXPECT_EQ(Decode(c, ref(-1, 1, 1)), "Foaie2!A1");
  EXPECT_EQ(Decode(c, ref(0, 1, 1)), "[EXTERN ???]:Foaie2!A1");
  EXPECT_EQ(Decode(c, ref(-1, 0xFFFF, 0xFFFF)), "[DELETED]!A1");
  EXPECT_THROW(Decode(c, ref(-1, 0, 3)), EFormulaListError);
  TokenBytes area;
  area.u8(0x3B).u16(0xFFFF).zeros(8).u16(2).u16(2).u16(0).u16(4).u8s({0, 1});
  EXPECT_EQ(Decode(c, area), "Preturi!$A$1:$B$5");
  EXPECT_EQ(Decode(c, TokenBytes().u8(0x5D).u16(0xFFFF).zeros(8).u16(0).u16(0).zeros(6)),
            "Foaie1!#REF!");
}

TEST(FormulaDecoder, ArrayConstants) {
  auto c = Biff8();
  const auto token = TokenBytes().u8(0x60).zeros(7);
  TokenBytes column;
  column.u8(0).u16(2).u8(1).f64(1).u8(1).f64(2).u8(2).u16(1).u8(0).latin1("x");
  EXPECT_EQ(Decode(c, token, column), "{1,2,\"x\"}");

  TokenBytes square;
  square.u8(1).u16(1).u8(1).f64(1).u8(1).f64(2).u8(1).f64(3).u8(2).u16(1).u8(1).u16(0x0219);
  EXPECT_EQ(Decode(c, token, square), "{{1,2},{3,\"ș\"}}");
  c.FuncArgSeparator = ';';
  EXPECT_EQ(Decode(c, token, square), "{{1;2};{3;\"ș\"}}");
  EXPECT_EQ(Decode(c, token, column), "{1;2;\"x\"}");
}

TEST(FormulaDecoder, TwoArraysTakeTheirValuesInTurn) {
  const auto c = Biff8();
  // Two arrays take their values one after the other.
  TokenBytes twoTokens;
  twoTokens.u8(0x40).zeros(7).u8(0x20).zeros(7).u8(0x41).u16(165);
  TokenBytes twoData;
  twoData.u8(0).u16(0).u8(1).f64(5).u8(0).u16(0).u8(1).f64(6);
  EXPECT_EQ(Decode(c, twoTokens, twoData), "MMULT({5},{6})");
}

TEST(FormulaDecoder, DamagedArraysGiveTheirMessage) {
  const auto c = Biff8();
  const auto token = TokenBytes().u8(0x60).zeros(7);
  TokenBytes bad;
  bad.u8(0).u16(1).u8(1).f64(1).u8(4).u8(1).zeros(7);
  EXPECT_EQ(Decode(c, token, bad), "Bad element ID#4 in array");
  EXPECT_EQ(Decode(c, token, TokenBytes().u8(0).u16(3).u8(1).f64(1)), "Truncated array");
  EXPECT_EQ(Decode(c, token), "Truncated array");
  EXPECT_EQ(Decode(c, token, TokenBytes().u8(0).u16(0).u8(2).u16(5).u8(0).latin1("ab")),
            "Truncated array");
}

TEST(FormulaDecoder, ArrayConstantsBeforeBiff8) {
  // Counts stored as they are (not minus one) and strings with an 8-bit length.
  auto c = Biff5();
  c.Codepage = 1250;
  const auto token = TokenBytes().u8(0x60).zeros(7);
  TokenBytes data;
  data.u8(2).u16(2).u8(1).f64(1).u8(2).u8(2).latin1("ab").u8(2).u8(2).u8s({0xE3, 'c'}).u8(1).f64(2);
  EXPECT_EQ(Decode(c, token, data), "{{1,\"ab\"},{\"ăc\",2}}");
  EXPECT_EQ(Decode(c, token, TokenBytes().u8(1).u16(2).u8(1).f64(1).u8(1).f64(2)), "{1,2}");
  EXPECT_EQ(Decode(c, token, TokenBytes().u8(1).u16(0)), "{}");
  EXPECT_EQ(Decode(c, token, TokenBytes().u8(0).u16(1).u8(1).f64(1)), "Truncated array")
      << "a column count of 0 means 256 columns";
}

TEST(FormulaDecoder, CellReferenceText) {
  EXPECT_EQ(CellRefText(27, 4, true, false), "$AB5");
  EXPECT_EQ(CellRefText(2, 0, false, false), "C1");
  EXPECT_EQ(CellRefText(25, 0, false, true), "Z$1");
  EXPECT_EQ(CellRefText(26, 0, false, false), "AA1");
  EXPECT_EQ(CellRefText(255, 65535, true, true), "$IV$65536");
  EXPECT_EQ(CellRefText(701, 0, false, false), "ZZ1");
  EXPECT_EQ(CellRefText(702, 0, false, false), "AAA1");
  EXPECT_EQ(CellRefText(16383, 0, false, false), "XFD1");
}

// Arbitrary bytes in every version: text or the list-index error, never a crash (the sanitizer
// build checks the reads).
TEST(FormulaDecoder, ArbitraryBytesNeverEscapeTheBuffer) {
  std::mt19937 rng(12345);
  auto c = Biff8();
  c.ExternSheets = {{0, 0, 1}, {5, 0, 0}};
  c.SupBooks.push_back({TSupBook::sbkSelf, "", {}, 1, 0});
  int texts = 0;
  for (int round = 0; round < 20000; ++round) {
    c.BookVersion = 1 + static_cast<int>(rng() % 6);
    c.Version = 1 + static_cast<int>(rng() % 6);
    std::vector<std::uint8_t> bytes(rng() % 64);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    const std::size_t len = bytes.empty() ? 0 : rng() % (bytes.size() + 1);
    try {
      std::string text =
          DecodeFormula(c, bytes.data(), len, bytes.size() - len, static_cast<int>(rng() % 300),
                        static_cast<int>(rng() % 70000));
      EXPECT_FALSE(len > 0 && text.empty() && bytes[0] != 0x16 && bytes[0] != 0x12 &&
                   bytes[0] != 0x19 && bytes[0] != 0x1A && bytes[0] != 0x1B)
          << "empty text from a token string starting with " << int(bytes[0]);
      ++texts;
    } catch (const EFormulaListError&) {
    }
  }
  EXPECT_GT(texts, 10000);
}
