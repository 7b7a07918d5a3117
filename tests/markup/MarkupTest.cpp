// The markup parser: segments, running state, number arguments, escapes, and the escaper.
#include <gtest/gtest.h>

#include "ui/markup/Markup.h"

namespace ui {
namespace {

MarkupFont Base() {
  MarkupFont f;
  f.Size = MarkupFont::kInheritedSize;
  f.Style = 0;
  f.Color = clWindowText;
  return f;
}

std::vector<MarkupLine> Parse(std::string_view s) {
  return ParseMarkup(s, Base());
}

std::string Texts(const MarkupLine& line) {
  std::string out;
  for (const auto& s : line) out += "[" + s.Text + "]";
  return out;
}

TEST(MarkupParse, ColourCodesSplitSegmentsOnOneLine) {
  const auto lines = Parse("@9Pretul@0 se afla pe coloana");
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[0][0].Text, "Pretul");
  EXPECT_EQ(lines[0][0].Font.Color, clRed);
  EXPECT_EQ(lines[0][1].Text, " se afla pe coloana");
  EXPECT_EQ(lines[0][1].Font.Color, clBlack);
  // Size and style untouched by colour codes.
  EXPECT_EQ(lines[0][0].Font.Size, MarkupFont::kInheritedSize);
  EXPECT_EQ(lines[0][1].Font.Style, 0u);
}

TEST(MarkupParse, ShadowCoversWholeText) {
  const auto lines = Parse("%Selectare fisier Excel");
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), 1u);
  EXPECT_TRUE(lines[0][0].Shadow);
  EXPECT_FALSE(lines[0][0].Blink);
  EXPECT_EQ(lines[0][0].Text, "Selectare fisier Excel");
}

TEST(MarkupParse, RunOfCodesMakesNoEmptySegment) {
  const auto lines = Parse(" Nu pot accesa unitatea &12@15% C:");
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[0][0].Text, " Nu pot accesa unitatea ");
  EXPECT_EQ(lines[0][0].Font, Base());
  EXPECT_FALSE(lines[0][0].Shadow);
  EXPECT_EQ(lines[0][1].Text, " C:");
  EXPECT_EQ(lines[0][1].Font.Size, 12);
  EXPECT_EQ(lines[0][1].Font.Color, clWhite);
  EXPECT_TRUE(lines[0][1].Shadow);
}

TEST(MarkupParse, BlinkAndShadowToggleBackOff) {
  const auto lines = Parse(" Au fost semnalate @15%~ 17@0%~ linii cu erori ");
  ASSERT_EQ(lines[0].size(), 3u);
  EXPECT_EQ(lines[0][1].Text, " 17");
  EXPECT_TRUE(lines[0][1].Shadow);
  EXPECT_TRUE(lines[0][1].Blink);
  EXPECT_EQ(lines[0][1].Font.Color, clWhite);
  EXPECT_EQ(lines[0][2].Text, " linii cu erori ");
  EXPECT_FALSE(lines[0][2].Shadow);
  EXPECT_FALSE(lines[0][2].Blink);
  EXPECT_EQ(lines[0][2].Font.Color, clBlack);
}

TEST(MarkupParse, StateSurvivesLineBreaksAndEmptyLines) {
  const auto lines = Parse("@9$2%a\r\rb");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Texts(lines[1]), "[]");
  for (const auto& line : lines) {
    EXPECT_EQ(line[0].Font.Color, clRed);
    EXPECT_EQ(line[0].Font.Style, unsigned(fsBold));
    EXPECT_TRUE(line[0].Shadow);
  }
  EXPECT_EQ(lines[2][0].Text, "b");
}

TEST(MarkupParse, LineFeedIsText) {
  const auto lines = Parse("a\nb");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0][0].Text, "a\nb");
}

TEST(MarkupParse, CodesAtLineStartAreFoldedIntoTheEmptySegment) {
  const auto lines = Parse("x\r@4&10y");
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[1].size(), 1u);
  EXPECT_EQ(lines[1][0].Font.Color, clNavy);
  EXPECT_EQ(lines[1][0].Font.Size, 10);
}

TEST(MarkupArguments, MissingDigitsChangeNothingAndTheCodeVanishes) {
  const auto lines = Parse("a@b&c$d");
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), 1u);
  EXPECT_EQ(lines[0][0].Text, "abcd");
  EXPECT_EQ(lines[0][0].Font, Base());
  // A code as the last character vanishes too.
  EXPECT_EQ(Texts(Parse("end@")[0]), "[end]");
}

TEST(MarkupArguments, StylesAndOutOfRangeValues) {
  EXPECT_EQ(Parse("$1x")[0][0].Font.Style, unsigned(fsItalic));
  EXPECT_EQ(Parse("$3x")[0][0].Font.Style, unsigned(fsBold | fsItalic));
  // $0 clears every style bit, including those the start font had.
  MarkupFont under = Base();
  under.Style = fsUnderline | fsBold;
  EXPECT_EQ(ParseMarkup("$0x", under)[0][0].Font.Style, 0u);
  // 7 consumes the digit and leaves the style as it was.
  const auto seven = Parse("$2a$7b");
  EXPECT_EQ(seven[0].back().Text, "b");
  EXPECT_EQ(seven[0].back().Font.Style, unsigned(fsBold));
  // A colour above the table leaves the colour unchanged; the digits are consumed.
  const auto c = Parse("@9a@37b");
  EXPECT_EQ(c[0].back().Text, "b");
  EXPECT_EQ(c[0].back().Font.Color, clRed);
  // The last table entry.
  EXPECT_EQ(Parse("@36x")[0][0].Font.Color, clBtnHighlight);
}

TEST(MarkupArguments, NumbersKeepTheirLow16BitsAndOverflowIsIgnored) {
  // 65545 = 65536 + 9: red.
  EXPECT_EQ(Parse("@65545x")[0][0].Font.Color, clRed);
  EXPECT_EQ(Parse("&65548x")[0][0].Font.Size, 12);
  // 2147483647 fits a signed 32-bit number: low 16 bits 0xFFFF.
  EXPECT_EQ(Parse("&2147483647x")[0][0].Font.Size, 0xFFFF);
  // One more does not fit: nothing changes, and all digits are consumed.
  const auto big = Parse("&2147483648x");
  EXPECT_EQ(big[0][0].Font.Size, MarkupFont::kInheritedSize);
  EXPECT_EQ(big[0][0].Text, "x");
  const auto huge = Parse("@99999999999999999999999999x");
  EXPECT_EQ(huge[0][0].Font.Color, clWindowText);
  EXPECT_EQ(huge[0][0].Text, "x");
}

TEST(MarkupArguments, TrailingDigitsAreAllConsumed) {
  const auto lines = Parse("Total @12");
  ASSERT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[0][0].Text, "Total ");
  EXPECT_EQ(lines[0][1].Text, "");
  EXPECT_EQ(lines[0][1].Font.Color, clBlue);
}

TEST(MarkupEscapes, BackslashRules) {
  EXPECT_EQ(Texts(Parse("\\@9x")[0]), "[@9x]");
  EXPECT_EQ(Texts(Parse("a\\&b\\$c\\%d\\~e")[0]), "[a&b$c%d~e]");
  EXPECT_EQ(Texts(Parse("\\q")[0]), "[\\q]");
  EXPECT_EQ(Texts(Parse("end\\")[0]), "[end\\]");
  // A backslash before a backslash is literal and the second one is read normally.
  EXPECT_EQ(Texts(Parse("\\\\@9x")[0]), "[\\@9x]");
  // A backslash before a line break stays and the break still happens.
  const auto br = Parse("a\\\rb");
  ASSERT_EQ(br.size(), 2u);
  EXPECT_EQ(br[0][0].Text, "a\\");
}

TEST(MarkupEmpty, EmptyCaptionHasNoLines) {
  EXPECT_TRUE(Parse("").empty());
}

TEST(MarkupEscaper, DataShowsAsWrittenInsideMarkup) {
  const std::vector<std::string> data = {"Pret 10%.xls", "a&b",   "$5",          "@9",
                                         "~x~",          "plain", "back\\slash", "C:\\",
                                         "\\",           "",      "\\@",         "Preţuri în LEI",
                                         "8 preturi",    "1234",  "7\\"};
  for (const auto& d : data) {
    const std::string caption = "@9" + EscapeMarkup(d) + "@0 end";
    const auto lines = ParseMarkup(caption, Base());
    ASSERT_EQ(lines.size(), 1u) << d;
    std::string shown;
    for (const auto& seg : lines[0])
      if (seg.Font.Color == clRed) shown += seg.Text;
    // The guards add invisible zero-width spaces before a leading digit and after a trailing
    // backslash.
    const std::string zwsp = "\xE2\x80\x8B";
    std::string expected = d;
    if (!d.empty() && d.front() >= '0' && d.front() <= '9') expected = zwsp + expected;
    if (!d.empty() && d.back() == '\\') expected += zwsp;
    EXPECT_EQ(shown, expected) << d;
    EXPECT_EQ(lines[0].back().Text, " end") << d;
    EXPECT_EQ(lines[0].back().Font.Color, clBlack) << d;
  }
}

TEST(MarkupPlain, CodesRemovedLinesJoined) {
  EXPECT_EQ(MarkupPlainText(" Au fost preluate  @15%  12@0%  preturi. \r\r"),
            " Au fost preluate    12  preturi. \n\n");
  EXPECT_EQ(MarkupPlainText("@15" + EscapeMarkup("12") + "@0 preturi, " + EscapeMarkup("C:\\")),
            "12 preturi, C:\\");
}

}  // namespace
}  // namespace ui
