#include "calculator/engine/Vat.h"

#include "platform/Formats.h"

namespace calculator {

TVatFormulas BuildVatFormulas(double rate) {
  TVatFormulas f;
  f.Rate = NumberToGeneralText(rate);
  const std::string r = (rate > 0 && rate < 10 ? "0" : "") + f.Rate;
  const char separator = platform::Formats().DecimalSeparator;
  f.VatFactor = std::string("0") + separator + r;
  f.GrossFactor = std::string("1") + separator + r;
  f.IncludedFraction = r + "/1" + r;
  return f;
}

std::string VatCaption(TVatOperation operation, const TVatFormulas& formulas) {
  switch (operation) {
    case voAddVat: return "+TVA %" + formulas.Rate;
    case voRemoveVat: return "-TVA %" + formulas.Rate;
    case voVatOfNet: return "TVA %" + formulas.Rate;
    case voVatInGross: return "?TVA %" + formulas.Rate;
  }
  return {};
}

std::string VatExpression(std::string_view expression, TVatOperation operation,
                          const TVatFormulas& formulas) {
  std::string text = "(" + std::string(expression) + ")";
  switch (operation) {
    case voAddVat: return text + "*" + formulas.GrossFactor;
    case voRemoveVat: return text + "/" + formulas.GrossFactor;
    case voVatOfNet: return text + "*" + formulas.VatFactor;
    case voVatInGross: return text + "*" + formulas.IncludedFraction;
  }
  return text;
}

VatResult ApplyVat(std::string_view expression, TVatOperation operation,
                   const TVatFormulas& formulas) {
  VatResult result;
  result.Outcome = Evaluate(VatExpression(expression, operation, formulas));
  if (!result.Outcome.Ok()) return result;
  result.Outcome.Value = RoundTo2Decimals(result.Outcome.Value);
  result.Text = NumberToGeneralText(result.Outcome.Value);
  return result;
}

}  // namespace calculator
