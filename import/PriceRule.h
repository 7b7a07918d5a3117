#pragma once
// An optional price rule: the price read from the list is multiplied by a factor (VAT, a
// margin) and rounded to a step or to a price ending in ,99; the run writes the result.
#include <string>
#include <string_view>

namespace imp {

enum class PriceRounding { None, Cent, FiveCents, TenCents, Unit, End99 };

struct PriceRule {
  bool On = false;
  double Factor = 1.0;
  PriceRounding Rounding = PriceRounding::None;
  bool operator==(const PriceRule&) const = default;
};

// The price to write for a price read from the cell. Half-way cases round away from zero, as
// the price's decimal text reads (12,345 to the cent is 12,35). Zero stays zero. A negative
// price gives false: a factor or an ending makes no sense on it, and the row is reported.
bool ApplyPriceRule(const PriceRule& rule, double read, double& written);

// The rounding as the command line and the settings spell it ("0,01", "0,05", "0,10", "1",
// "99"; "" for none), and back; false for text that names no rounding.
std::string RoundingText(PriceRounding rounding);
bool ParseRounding(std::string_view text, PriceRounding& rounding);

// A factor as typed ("1,19" or "1.19"): finite, above 0 and at most 1000.
bool ParseFactor(std::string_view text, double& factor);

// "factor 1,19, rotunjire la 0,05" for messages.
std::string PriceRuleDescription(const PriceRule& rule);

// The summary's lines for a run under the rule: the rule and the totals read and written.
std::string PriceRuleSummary(const PriceRule& rule, double totalRead, double totalWritten);

// What an error line adds when the rule is on: the cell's value and the price that would have
// been written.
std::string PriceRuleLineSuffix(const std::string& cellText, double written);

}  // namespace imp
