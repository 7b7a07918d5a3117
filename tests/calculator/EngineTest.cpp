// The calculator's arithmetic as the user sees it: display text, evaluation order, the six
// error messages, rounding and the VAT operations, with the program's comma separator.
#include <gtest/gtest.h>

#include "calculator/engine/Editing.h"
#include "calculator/engine/Evaluate.h"
#include "calculator/engine/Vat.h"
#include "platform/Formats.h"

namespace calculator {
namespace {

class CalculatorEngine : public ::testing::Test {
 protected:
  void SetUp() override { platform::FixProgramFormats(); }

  // What the result panel shows for `expression`, or the error label's message.
  static std::string Shown(std::string_view expression) {
    const Evaluation e = Evaluate(expression);
    return e.Ok() ? NumberToDisplayText(e.Value) : e.Error;
  }
};

TEST_F(CalculatorEngine, DisplayTextKeepsEightDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(NumberToDisplayText(2.5L), "2,5");
  EXPECT_EQ(NumberToDisplayText(100), "100");
  EXPECT_EQ(NumberToDisplayText(-0.125L), "-0,125");
  EXPECT_EQ(NumberToDisplayText(1.0L / 3), "0,33333333");
  EXPECT_EQ(NumberToDisplayText(2.0L / 3), "0,66666667");
  EXPECT_EQ(NumberToDisplayText(1e-9L), "0");
  EXPECT_EQ(NumberToDisplayText(-1e-9L), "0");
  EXPECT_EQ(NumberToDisplayText(123456789012.5L), "123456789012,5");
  EXPECT_EQ(NumberToDisplayText(1e20L), "100000000000000000000");
}

TEST_F(CalculatorEngine, GeneralTextHasFifteenDigitsAndNoExponent) {
  EXPECT_EQ(NumberToGeneralText(19), "19");
  EXPECT_EQ(NumberToGeneralText(84.03L), "84,03");
  EXPECT_EQ(NumberToGeneralText(-0.5L), "-0,5");
  EXPECT_EQ(NumberToGeneralText(1.0L / 3), "0,333333333333333");
  EXPECT_EQ(NumberToGeneralText(1e20L), "100000000000000000000");
  EXPECT_EQ(NumberToGeneralText(0.00001L), "0,00001");
  EXPECT_EQ(NumberToGeneralText(0), "0");
  // Whatever the general text, evaluating it gives the value back to 15 digits.
  for (long double v : {3.14159L, -2500.75L, 1e-7L, 98765432109876.5L}) {
    const Evaluation e = Evaluate(NumberToGeneralText(v));
    ASSERT_TRUE(e.Ok()) << NumberToGeneralText(v);
    EXPECT_NEAR(static_cast<double>(e.Value), static_cast<double>(v),
                std::abs(static_cast<double>(v)) * 1e-14);
  }
}

TEST_F(CalculatorEngine, ReadsSignedNumbersWithOneSeparator) {
  EXPECT_EQ(ReadNumber("12,5"), 12.5L);
  EXPECT_EQ(ReadNumber("-3"), -3.0L);
  EXPECT_EQ(ReadNumber("+,5"), 0.5L);
  EXPECT_EQ(ReadNumber("7,"), 7.0L);
  EXPECT_FALSE(ReadNumber(""));
  EXPECT_FALSE(ReadNumber("-"));
  EXPECT_FALSE(ReadNumber(","));
  EXPECT_FALSE(ReadNumber("1,2,3"));
  EXPECT_FALSE(ReadNumber("1.5"));  // the point is not the separator here
  EXPECT_FALSE(ReadNumber("1e5"));
  EXPECT_FALSE(ReadNumber(std::string(5000, '9')));  // beyond extended range
}

TEST_F(CalculatorEngine, OperatorPrecedenceAndSigns) {
  EXPECT_EQ(Shown("2+3*4"), "14");
  EXPECT_EQ(Shown("(2+3)*4"), "20");
  EXPECT_EQ(Shown("5-2*-3"), "11");
  EXPECT_EQ(Shown("--5"), "5");
  EXPECT_EQ(Shown("5+"), "5");
  EXPECT_EQ(Shown("8/2/2"), "2");
  EXPECT_EQ(Shown("2*3/4"), "1,5");
  EXPECT_EQ(Shown("-5*2"), "-10");
  EXPECT_EQ(Shown("5-+6"), "-1");
  EXPECT_EQ(Shown("5+-6"), "-1");
  EXPECT_EQ(Shown("3-(0-2)"), "5");
  EXPECT_EQ(Shown("5-(0-2)*-3"), "-1");
  EXPECT_EQ(Shown("((1+2)*(3+4))/7"), "3");
  EXPECT_EQ(Shown(" 1 + 2 "), "3");
  EXPECT_EQ(Shown(""), "0");
  EXPECT_EQ(Shown("0,1+0,2"), "0,3");
}

TEST_F(CalculatorEngine, IntermediateValuesAreCutToEightDecimals) {
  EXPECT_EQ(Shown("1/3*3"), "0,99999999");
  EXPECT_EQ(Shown("2/3*3"), "2,00000001");
  EXPECT_EQ(Shown("(1/3)*3"), "0,99999999");
  EXPECT_EQ(Shown("0,00000001*0,1*10"), "0");
}

TEST_F(CalculatorEngine, EachErrorHasItsMessage) {
  EXPECT_EQ(Shown("5*"), kMissingOperand);
  EXPECT_EQ(Shown("*5"), kCheckOperators);
  EXPECT_EQ(Shown("5+*2"), kCheckOperators);
  EXPECT_EQ(Shown("5**2"), kCheckOperators);
  EXPECT_EQ(Shown("5*/2"), kCheckOperators);
  EXPECT_EQ(Shown("(2+3"), kUnclosedParenthesis);
  EXPECT_EQ(Shown("(2+3))+(1"), kTooManyClosed);
  EXPECT_EQ(Shown("2+3)"), kTooManyClosed);
  EXPECT_EQ(Shown(")("), kTooManyClosed);
  EXPECT_EQ(Shown("1/0"), kDivisionByZero);
  EXPECT_EQ(Shown("1/(2-2)"), kDivisionByZero);
  EXPECT_EQ(Shown("1,2,3+1"), kUnreadableNumber);
  EXPECT_EQ(Shown("-"), kUnreadableNumber);
  EXPECT_EQ(Shown("5++"), kUnreadableNumber);
  EXPECT_EQ(Shown("()"), kUnreadableNumber);
  EXPECT_EQ(Shown("12abc"), kUnreadableNumber);  // text after a number is not silently lost
  EXPECT_EQ(Shown("1e5"), kUnreadableNumber);
}

TEST_F(CalculatorEngine, HugeValuesFailInsteadOfOverflowing) {
  const std::string big = "9" + std::string(2000, '0');
  EXPECT_EQ(Shown(big + "*" + big + "*" + big), kUnreadableNumber);
  const std::string half = "9" + std::string(2466, '0');  // squared beyond the extended range
  EXPECT_EQ(Shown(half + "*" + half), kUnreadableNumber);
  const std::string product = Shown(big + "*" + big);  // exact binary expansion, 4002 digits
  EXPECT_EQ(product.size(), 4002u);
  EXPECT_EQ(product.substr(0, 18), "810000000000000000");
  const Evaluation fine = Evaluate(std::string(300, '9') + "*2");
  EXPECT_TRUE(fine.Ok());
}

TEST_F(CalculatorEngine, LongGroupsKeepTheirWholeTail) {
  // Every "(1/3)" grows to "0,33333333" while being resolved; the tail after the first group
  // is longer than 255 characters by then and must not be cut.
  std::string expression;
  for (int i = 0; i < 40; ++i) expression += "(1/3)+";
  expression += "1";
  EXPECT_EQ(Shown(expression), "14,3333332");
}

TEST_F(CalculatorEngine, RoundingToTwoDecimals) {
  EXPECT_EQ(RoundTo2Decimals(84.033613L), 84.03L);
  EXPECT_DOUBLE_EQ(static_cast<double>(RoundTo2Decimals(0.125L)), 0.13);
  EXPECT_DOUBLE_EQ(static_cast<double>(RoundTo2Decimals(-0.125L)), -0.13);
  EXPECT_DOUBLE_EQ(static_cast<double>(RoundTo2Decimals(1.005)), 1.01);  // stored as 1.00499..
  EXPECT_DOUBLE_EQ(static_cast<double>(RoundTo2Decimals(2.994)), 2.99);
  EXPECT_DOUBLE_EQ(static_cast<double>(RoundTo2Decimals(-7.5)), -7.5);
}

TEST_F(CalculatorEngine, VatFormulasFollowTheRate) {
  TVatFormulas f = BuildVatFormulas(19);
  EXPECT_EQ(f.VatFactor, "0,19");
  EXPECT_EQ(f.GrossFactor, "1,19");
  EXPECT_EQ(f.IncludedFraction, "19/119");
  EXPECT_EQ(VatCaption(voAddVat, f), "+TVA %19");
  EXPECT_EQ(VatCaption(voVatInGross, f), "?TVA %19");
  f = BuildVatFormulas(9);
  EXPECT_EQ(f.VatFactor, "0,09");
  EXPECT_EQ(f.GrossFactor, "1,09");
  EXPECT_EQ(f.IncludedFraction, "09/109");
  EXPECT_EQ(VatCaption(voRemoveVat, f), "-TVA %9");
  f = BuildVatFormulas(0);
  EXPECT_EQ(f.VatFactor, "0,0");
  EXPECT_EQ(f.IncludedFraction, "0/10");
  EXPECT_EQ(VatExpression("2+3", voRemoveVat, BuildVatFormulas(21)), "(2+3)/1,21");
}

TEST_F(CalculatorEngine, VatOperationsOnOneHundred) {
  auto text = [](TVatOperation op, double rate) {
    const VatResult r = ApplyVat("100", op, BuildVatFormulas(rate));
    return r.Outcome.Ok() ? r.Text : r.Outcome.Error;
  };
  EXPECT_EQ(text(voAddVat, 19), "119");
  EXPECT_EQ(text(voVatOfNet, 19), "19");
  EXPECT_EQ(text(voRemoveVat, 19), "84,03");
  EXPECT_EQ(text(voVatInGross, 19), "15,97");
  EXPECT_EQ(text(voAddVat, 9), "109");
  EXPECT_EQ(text(voVatInGross, 9), "8,26");
  EXPECT_EQ(text(voAddVat, 0), "100");
  EXPECT_EQ(ApplyVat("2*", voAddVat, BuildVatFormulas(19)).Outcome.Error, kMissingOperand);
}

TEST_F(CalculatorEngine, HistoryKeepsThirtyTwoDistinctEntriesNewestFirst) {
  std::vector<std::string> history;
  EXPECT_FALSE(PutInHistory(history, " \t  "));
  EXPECT_TRUE(history.empty());
  for (int i = 1; i <= 33; ++i) PutInHistory(history, std::to_string(i) + "+1  ");
  ASSERT_EQ(history.size(), kHistoryLimit);
  EXPECT_EQ(history.front(), "33+1");
  EXPECT_EQ(history.back(), "2+1");  // the first one was pushed out
  EXPECT_TRUE(PutInHistory(history, "\r 10+1"));
  EXPECT_EQ(history.front(), "10+1");
  EXPECT_EQ(history.size(), kHistoryLimit);
  EXPECT_EQ(std::count(history.begin(), history.end(), "10+1"), 1);
  EXPECT_FALSE(PutInHistory(history, "10+1"));  // already newest: no duplicate
  EXPECT_EQ(history[1], "33+1");
}

TEST_F(CalculatorEngine, ClearEntryDropsOperatorsOrTheLastNumber) {
  EXPECT_EQ(ClearEntry("12+34,5"), "12");
  EXPECT_EQ(ClearEntry("12+"), "12");
  EXPECT_EQ(ClearEntry("5*-"), "5");
  EXPECT_EQ(ClearEntry("42"), "");
  EXPECT_EQ(ClearEntry("(2+3)"), "(2+3)");
  EXPECT_EQ(ClearEntry(""), "");
  EXPECT_EQ(WithoutThousandSeparators("1.234.567,89"), "1234567,89");
}

}  // namespace
}  // namespace calculator
