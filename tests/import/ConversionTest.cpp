// Numbers to text in the general format and price texts to numbers, with the program's
// formats (decimal ",", thousands "." refused).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "import/MarkupText.h"
#include "import/NumberText.h"
#include "platform/Formats.h"

namespace {

class Conversions : public ::testing::Test {
 protected:
  void SetUp() override { platform::FixProgramFormats(); }
};

TEST_F(Conversions, GeneralFormat) {
  EXPECT_EQ(imp::FormatGeneral(1234.5), "1234,5");
  EXPECT_EQ(imp::FormatGeneral(1234), "1234");
  EXPECT_EQ(imp::FormatGeneral(1001), "1001");
  EXPECT_EQ(imp::FormatGeneral(0), "0");
  EXPECT_EQ(imp::FormatGeneral(-0.0), "0");
  EXPECT_EQ(imp::FormatGeneral(-12.5), "-12,5");
  EXPECT_EQ(imp::FormatGeneral(0.1), "0,1");
  EXPECT_EQ(imp::FormatGeneral(0.1 + 0.2), "0,3");  // 15 significant digits hide the binary tail
  EXPECT_EQ(imp::FormatGeneral(0.0001), "0,0001");
  EXPECT_EQ(imp::FormatGeneral(0.00001234), "1,234E-5");
  EXPECT_EQ(imp::FormatGeneral(123456789012345.0), "123456789012345");
  EXPECT_EQ(imp::FormatGeneral(1234567890123456.0), "1,23456789012346E15");
  EXPECT_EQ(imp::FormatGeneral(1e20), "1E20");
  EXPECT_EQ(imp::FormatGeneral(999999999999999.9), "1E15");  // rounding carries into a 16th digit
  EXPECT_EQ(imp::FormatGeneral(2.0 / 3.0), "0,666666666666667");
  EXPECT_EQ(imp::FormatGeneral(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(imp::FormatGeneral(std::nan("")), "NAN");
}

TEST_F(Conversions, TextToNumberAcceptsTheGrammar) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"12,5", 12.5},  {"  -3,25  ", -3.25},
               {"+7", 7},       {",", 0},
               {",5", 0.5},     {"5,", 5},
               {"1E3", 1000},   {"1,5e-2", 0.015},
               {"2E+2", 200},   {"0", 0},
               {"007", 7},      {"1e-400", 0},
               {"12,50", 12.5}, {"1234567,891", 1234567.891}};
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_TRUE(imp::TextToFloat(c.text, v)) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST_F(Conversions, TextToNumberRefuses) {
  for (const char* text :
       {"",      " ",        "-",          "+",     "E5",    "1E",  "1e+", "12.5",
        "1.234", "1,234,56", "12.345.678", "1 000", "12a",   "abc", "--1", "1,2,3",
        "1e999", "-1e400",   "0x10",       "\t5",   "5 lei", "INF", "NAN"}) {
    double v = 42;
    EXPECT_FALSE(imp::TextToFloat(text, v)) << text;
    EXPECT_EQ(v, 42) << "a refused text leaves the value alone: " << text;
    EXPECT_FALSE(imp::IsNumber(text)) << text;
  }
}

TEST_F(Conversions, RoundTripThroughTheGeneralFormat) {
  for (double x : {0.5, 12.34, 99.99, 1234567.25, 0.00125, 3.0e-7, 4.5e18}) {
    double back = 0;
    ASSERT_TRUE(imp::TextToFloat(imp::FormatGeneral(x), back)) << x;
    EXPECT_DOUBLE_EQ(back, x);
  }
}

TEST_F(Conversions, CellValuesAsText) {
  EXPECT_EQ(imp::CellValueText(imp::CellValue(std::string(" 12.50 "))), " 12.50 ");
  EXPECT_EQ(imp::CellValueText(imp::CellValue(12.5)), "12,5");
  EXPECT_EQ(imp::CellValueText(imp::CellValue(1001.0)), "1001");
  EXPECT_EQ(imp::CellValueText(imp::CellValue()), "");
}

TEST(MarkupTextTest, PlainTextAndEscapes) {
  EXPECT_EQ(imp::MarkupToPlainText(" Au fost preluate  @15%  7@0%  preturi. \r\r Au fost "
                                   "semnalate @15%~ 2@0%~ linii cu erori "),
            " Au fost preluate    7  preturi. \n\n Au fost semnalate  2 linii cu erori ");
  const std::string data = "/date/100% @firma & $ ~x";
  EXPECT_EQ(imp::MarkupToPlainText(imp::EscapeForMarkup(data)), data);
  EXPECT_EQ(imp::MarkupToPlainText("a&12b$2c@"), "abc");
}

}  // namespace
