#include "import/PriceRule.h"

#include <cmath>
#include <string>

#include "import/NumberText.h"
#include "import/TextUtil.h"

namespace imp {
namespace {

constexpr char CR = '\r';

// The step of a rounding in hundredths.
long long StepCents(PriceRounding r) {
  switch (r) {
    case PriceRounding::Cent: return 1;
    case PriceRounding::FiveCents: return 5;
    case PriceRounding::TenCents: return 10;
    case PriceRounding::Unit: return 100;
    default: return 0;
  }
}

// Rounds half away from zero, after snapping to 9 decimals so that a product such as
// 12.345 * 100 = 1234.4999999999998 counts as the half-way 1234.5 its decimal text shows.
double RoundHalfUp(double x) {
  const double snapped = std::round(x * 1e9) / 1e9;
  return std::round(snapped);
}

}  // namespace

bool ApplyPriceRule(const PriceRule& rule, double read, double& written) {
  if (!rule.On) {
    written = read;
    return true;
  }
  if (!std::isfinite(read) || read < 0) return false;
  if (read == 0) {
    written = 0;
    return true;
  }
  const double value = read * rule.Factor;
  if (!std::isfinite(value)) return false;
  // Beyond this the step no longer shows in a double; the value stands as computed.
  if (value >= 1e13) {
    written = value;
    return true;
  }
  if (rule.Rounding == PriceRounding::End99) {
    // The nearest n,99 (n >= 0): round (value + 0,01) to a unit, then take 0,01 off.
    double units = RoundHalfUp(value + 0.01);
    if (units < 1) units = 1;
    written = (units * 100 - 1) / 100;
    return true;
  }
  const long long step = StepCents(rule.Rounding);
  if (step == 0) {
    written = value;
    return true;
  }
  const double steps = RoundHalfUp(value * 100 / static_cast<double>(step));
  written = steps * static_cast<double>(step) / 100;
  return true;
}

std::string RoundingText(PriceRounding r) {
  switch (r) {
    case PriceRounding::Cent: return "0,01";
    case PriceRounding::FiveCents: return "0,05";
    case PriceRounding::TenCents: return "0,10";
    case PriceRounding::Unit: return "1";
    case PriceRounding::End99: return "99";
    default: return "";
  }
}

bool ParseRounding(std::string_view text, PriceRounding& rounding) {
  std::string t(TrimBlanks(text));
  for (char& c : t)
    if (c == '.') c = ',';
  if (t.empty() || t == "0") {
    rounding = PriceRounding::None;
  } else if (t == "0,01") {
    rounding = PriceRounding::Cent;
  } else if (t == "0,05") {
    rounding = PriceRounding::FiveCents;
  } else if (t == "0,1" || t == "0,10") {
    rounding = PriceRounding::TenCents;
  } else if (t == "1" || t == "1,00") {
    rounding = PriceRounding::Unit;
  } else if (t == "99" || t == ",99" || t == "0,99") {
    rounding = PriceRounding::End99;
  } else {
    return false;
  }
  return true;
}

bool ParseFactor(std::string_view text, double& factor) {
  std::string t(TrimBlanks(text));
  if (std::size_t dot = t.find('.'); dot != std::string::npos) t[dot] = ',';
  double value = 0;
  if (!TextToFloat(t, value) || !std::isfinite(value) || value <= 0 || value > 1000) return false;
  factor = value;
  return true;
}

std::string PriceRuleDescription(const PriceRule& rule) {
  std::string d = "factor " + FormatGeneral(rule.Factor);
  switch (rule.Rounding) {
    case PriceRounding::None: d += ", fara rotunjire"; break;
    case PriceRounding::End99: d += ", rotunjire la un pret terminat in ,99"; break;
    default: d += ", rotunjire la " + RoundingText(rule.Rounding); break;
  }
  return d;
}

std::string PriceRuleSummary(const PriceRule& rule, double totalRead, double totalWritten) {
  return std::string(1, CR) + CR + " Regula de pret: " + PriceRuleDescription(rule) + " " + CR +
         " Total preturi din fisier: " + FormatGeneral(totalRead) +
         ", total preturi scrise: " + FormatGeneral(totalWritten) + " ";
}

std::string PriceRuleLineSuffix(const std::string& cellText, double written) {
  return " (pret din fisier " + cellText + ", pret calculat " + FormatGeneral(written) + ")";
}

}  // namespace imp
