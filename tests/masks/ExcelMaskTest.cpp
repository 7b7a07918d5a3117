#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "masks/ExcelMask.h"

using namespace masks;

namespace {

std::vector<int> Kinds(const TMaskSection& s) {
  std::vector<int> out;
  for (const auto& item : s.Items) out.push_back(item.Kind);
  return out;
}

const TMaskSection& Section0(const TExcelMask& m) {
  EXPECT_TRUE(m.Sections[0]);
  return *m.Sections[0];
}

}  // namespace

TEST(ExcelMask, NumberSectionsCountDecimalsAndPlaceNumberStart) {
  TExcelMask m("0.00");
  const auto& s = Section0(m);
  EXPECT_EQ(Kinds(s), (std::vector<int>{33, 5, 31, 5, 5}));
  EXPECT_EQ(s.Decimals, 2);
  EXPECT_EQ(s.DecimalPos, 2);
  EXPECT_EQ(s.Flags, mfDecimal);
  EXPECT_FALSE(m.IsDateMask());

  TExcelMask q("#.?0%");
  EXPECT_EQ(Kinds(Section0(q)), (std::vector<int>{33, 3, 31, 4, 5, 32}));
  EXPECT_EQ(Section0(q).Decimals, 1) << "? is not counted";
  EXPECT_EQ(Section0(q).Flags, mfDecimal | mfPercent);

  TExcelMask none("\"abc\"");
  EXPECT_EQ(Kinds(Section0(none)), (std::vector<int>{2}));
  EXPECT_EQ(Section0(none).DecimalPos, -1);
}

TEST(ExcelMask, ThousandsSeparatorAndScale) {
  TExcelMask a("#,##0");
  EXPECT_TRUE(Section0(a).Flags & mfThousands);
  EXPECT_EQ(Section0(a).ThousandsScale, 0);
  TExcelMask b("0.0,,");
  EXPECT_EQ(Section0(b).ThousandsScale, 2);
  TExcelMask c("0,,,,,,,");
  EXPECT_EQ(Section0(c).ThousandsScale, 4);
}

TEST(ExcelMask, DateAndTimeItems) {
  for (const char* date : {"m/d/yy", "d-mmm-y", "h:mm", "[h]:mm:ss", "mm:ss", "yyyy", "[ss]"}) {
    EXPECT_TRUE(TExcelMask(date).IsDateMask()) << date;
  }
  EXPECT_EQ(Kinds(Section0(TExcelMask("mm:ss"))), (std::vector<int>{23, 1, 26}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("m:s"))), (std::vector<int>{22, 1, 25}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("h:mm"))), (std::vector<int>{17, 1, 23}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("hh:m"))), (std::vector<int>{18, 1, 22}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("m mm mmm mmmm mmmmm"))),
            (std::vector<int>{8, 1, 9, 1, 10, 1, 11, 1, 12}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("d dd ddd dddd y yy yyy"))),
            (std::vector<int>{13, 1, 14, 1, 15, 1, 16, 1, 6, 1, 6, 1, 7}));
  // A literal between the hour and the minutes does not break the link; a month run does.
  EXPECT_EQ(Kinds(Section0(TExcelMask("h\"h\"m"))), (std::vector<int>{17, 2, 22}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("mmm:ss"))), (std::vector<int>{10, 1, 26}));
  // Elapsed time in brackets, and minutes after an elapsed hour.
  EXPECT_EQ(Kinds(Section0(TExcelMask("[h]:mm:ss"))), (std::vector<int>{21, 1, 23, 1, 26}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("[h]:mm"))), (std::vector<int>{21, 1, 23}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("[MM]:ss"))), (std::vector<int>{24, 1, 26}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("[ss].00"))), (std::vector<int>{27, 33, 31, 5, 5}));
}

TEST(ExcelMask, TenthsOfASecondAfterSeconds) {
  TExcelMask tenths("mm:ss.0");
  EXPECT_TRUE(tenths.IsDateMask());
  EXPECT_EQ(Kinds(Section0(tenths)), (std::vector<int>{23, 1, 26, 33, 31, 5}));
}

TEST(ExcelMask, ScientificNotationIsNotADate) {
  TExcelMask sci("0.00E+00");
  EXPECT_FALSE(sci.IsDateMask());
  EXPECT_EQ(Kinds(Section0(sci)), (std::vector<int>{33, 5, 31, 5, 5, 1, 1, 5, 5}));
  EXPECT_EQ(Section0(sci).Items[5].Char, U'E');
  EXPECT_EQ(Section0(sci).Items[6].Char, U'+');
}

TEST(ExcelMask, DigitsAheadOfTheDateLettersMakeANumber) {
  // Digits ahead of the date letters make a number format.
  EXPECT_FALSE(TExcelMask("0 \"days\" h").IsDateMask());
  EXPECT_FALSE(TExcelMask("DD/MM/YYYY").IsDateMask());
  EXPECT_EQ(Kinds(Section0(TExcelMask("DD"))), (std::vector<int>{1, 1}));
}

TEST(ExcelMask, AmPmMarkersMakeTwelveHourClock) {
  TExcelMask upper("h:mm AM/PM");
  EXPECT_EQ(Kinds(Section0(upper)), (std::vector<int>{19, 1, 23, 1, 28}));
  EXPECT_TRUE(upper.IsDateMask());
  EXPECT_EQ(Kinds(Section0(TExcelMask("hh:mm am/pm"))), (std::vector<int>{20, 1, 23, 1, 29}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("h a/p"))), (std::vector<int>{19, 1, 30}));
  // Only the nearest hour changes.
  EXPECT_EQ(Kinds(Section0(TExcelMask("h h AM/PM"))), (std::vector<int>{17, 1, 19, 1, 28}));
  // Upper-case A/P is not a marker: three literal characters and a 24-hour hour.
  TExcelMask ap("h:mm A/P");
  EXPECT_EQ(Kinds(Section0(ap)), (std::vector<int>{17, 1, 23, 1, 1, 1, 1}));
  EXPECT_EQ(Section0(ap).Items[4].Char, U'A');
  EXPECT_EQ(Section0(ap).Items[6].Char, U'P');
}

TEST(ExcelMask, TwoSectionsAndTheRedOfTheSecond) {
  TExcelMask two("_($#,##0_);[Red]($#,##0)");
  ASSERT_TRUE(two.Sections[0] && two.Sections[1]);
  EXPECT_FALSE(two.Sections[2] || two.Sections[3]);
  EXPECT_EQ(two.Sections[1]->Color, 0x0000FFu);
  EXPECT_EQ(two.Sections[0]->Color, 0u);
  EXPECT_EQ(two.Sections[0]->Items[0].Char, U' ') << "_ gives a space";
}

TEST(ExcelMask, AccountingFormatSections) {
  TExcelMask accounting(R"(_(* #,##0_);_(* \(#,##0\);_(* "-"_);_(@_))");
  for (const auto& s : accounting.Sections) ASSERT_TRUE(s);
  const auto& zero = *accounting.Sections[2];
  EXPECT_TRUE(zero.Flags & mfZeroSection);
  EXPECT_EQ(Kinds(zero), (std::vector<int>{1, 1, 2, 1}));
  EXPECT_EQ(zero.Items[2].Text, "-");
  EXPECT_EQ(accounting.Sections[1]->Items[2].Char, U'(') << "escaped parenthesis";
  EXPECT_EQ(accounting.Sections[3]->Items[1].Char, U'@');
}

TEST(ExcelMask, DigitsOtherThanZeroAreLiteralsInAnySection) {
  TExcelMask five("0;1;2;3;4");
  for (const auto& s : five.Sections) ASSERT_TRUE(s);
  EXPECT_EQ(Kinds(*five.Sections[3]), (std::vector<int>{1}));
  EXPECT_EQ(five.Sections[3]->Items[0].Char, U'3') << "digits other than 0 are literals";
}

TEST(ExcelMask, AnEmptySectionStaysEmpty) {
  TExcelMask gap("0;;0");
  EXPECT_TRUE(gap.Sections[0] && gap.Sections[2]);
  EXPECT_FALSE(gap.Sections[1] || gap.Sections[3]);
  EXPECT_FALSE(gap.Sections[0]->Flags & mfZeroSection);
}

TEST(ExcelMask, QuotedLiterals) {
  TExcelMask quotedSemicolon("\"a;b\"0;x");
  EXPECT_EQ(quotedSemicolon.Sections[0]->Items[0].Text, "a;b");
  EXPECT_TRUE(quotedSemicolon.Sections[1]);

  TExcelMask quoted("\"Total: \"0");
  EXPECT_EQ(Kinds(Section0(quoted)), (std::vector<int>{2, 33, 5}));
  EXPECT_EQ(Section0(quoted).Items[0].Text, "Total: ");
}

TEST(ExcelMask, NamedColoursAndBracketsThatAreNotColours) {
  struct {
    const char* mask;
    std::uint32_t colour;
  } colours[] = {{"[BLACK]0", 0x000000},  {"[cyan]0", 0xFFFF00}, {"[Magenta]0", 0xFF00FF},
                 {"[White]0", 0xFFFFFF},  {"[Blue]0", 0xFF0000}, {"[Green]0", 0x008000},
                 {"[Yellow]0", 0x00FFFF}, {"[>100]0", 0},        {"[$-418]0", 0}};
  for (const auto& c : colours) EXPECT_EQ(Section0(TExcelMask(c.mask)).Color, c.colour) << c.mask;
}

TEST(ExcelMask, EscapesAndUnterminatedTextNeverFail) {
  EXPECT_EQ(Kinds(Section0(TExcelMask("\\d0"))), (std::vector<int>{1, 33, 5}));
  EXPECT_FALSE(TExcelMask("\\d0").IsDateMask());
  EXPECT_EQ(Kinds(Section0(TExcelMask("0\\"))), (std::vector<int>{33, 5}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("0_"))), (std::vector<int>{33, 5}));
  TExcelMask star("* 0");
  EXPECT_EQ(Kinds(Section0(star)), (std::vector<int>{1, 33, 5}));
  EXPECT_EQ(Section0(star).Items[0].Char, U' ');
  EXPECT_EQ(Kinds(Section0(TExcelMask("0\"abc"))), (std::vector<int>{33, 5}));
  EXPECT_EQ(Kinds(Section0(TExcelMask("0[Red"))), (std::vector<int>{33, 5}));
  EXPECT_EQ(Section0(TExcelMask("0[Red")).Color, 0u);
  TExcelMask elapsedOpen("[h");
  EXPECT_TRUE(elapsedOpen.Sections[0]);
  EXPECT_TRUE(Section0(elapsedOpen).Items.empty());
  // Non-ASCII literals stay whole characters.
  TExcelMask lei("0 \"lei\" ă");
  EXPECT_EQ(Section0(lei).Items.back().Char, U'ă');
}

TEST(ExcelMask, LengthLimitKeepsPreviousMask) {
  TExcelMask m("0.00");
  std::string longest(255, '0');
  EXPECT_NO_THROW(m.SetMask(longest));
  EXPECT_EQ(m.Mask, longest);

  m.SetMask("dd.mm.yyyy");
  try {
    m.SetMask(std::string(256, '0'));
    FAIL() << "a 256-character mask was accepted";
  } catch (const EExcelMaskError& e) {
    EXPECT_STREQ(e.what(), "Format string more than 255 characthers");
  }
  EXPECT_EQ(m.Mask, "dd.mm.yyyy");
  EXPECT_TRUE(m.IsDateMask());

  // The limit counts characters: 255 two-byte letters are accepted.
  std::string letters;
  for (int i = 0; i < 255; ++i) letters += "ș";
  EXPECT_NO_THROW(m.SetMask(letters));
  EXPECT_THROW(m.SetMask(letters + "ș"), EExcelMaskError);

  // Setting again discards the old sections.
  m.SetMask("0;0;0;0");
  m.SetMask("0");
  EXPECT_FALSE(m.Sections[1]);
  m.SetMask("");
  EXPECT_FALSE(m.Sections[0]);
  EXPECT_FALSE(m.IsDateMask());
}

TEST(ExcelMask, BuiltInFormatsSplitIntoDatesAndNumbers) {
  const char* dates[] = {"m/d/yy",        "d-mmm-yy", "d-mmm",     "mmm-yy",      "h:mm AM/PM",
                         "h:mm:ss AM/PM", "h:mm",     "h:mm:ss",   "m/d/yy h:mm", "mm:ss",
                         "[h]:mm:ss",     "mm:ss.0",  "dd.mm.yyyy"};
  const char* numbers[] = {"General",
                           "0",
                           "0.00",
                           "#,##0",
                           "#,##0.00",
                           "0%",
                           "0.00%",
                           "0.00E+00",
                           "# ?/?",
                           "# ?\?/?\?",
                           "#,##0_);(#,##0)",
                           "#,##0.00_);[Red](#,##0.00)",
                           "##0.0E+0",
                           "@",
                           "\"$\"#,##0_);\\(\"$\"#,##0\\)"};
  for (const char* d : dates) EXPECT_TRUE(TExcelMask(d).IsDateMask()) << d;
  for (const char* n : numbers) EXPECT_FALSE(TExcelMask(n).IsDateMask()) << n;
}
