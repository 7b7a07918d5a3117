#pragma once
// The import's choice options as imppret import and imppret profile save take them. Every
// choice is optional, so that a choice given on the command line can win over a profile's
// or a detected one.
#include <optional>
#include <string>

#include "import/ImportState.h"
#include "import/PriceRule.h"

namespace imppret {

struct ChoiceOptions {
  std::optional<int> idCol, priceCol, startRow, priceKind, identification, category;
  std::optional<std::string> producer;
  std::optional<double> factor;
  std::optional<imp::PriceRounding> rounding;
};

enum class OptionParse { NotMine, Taken, Bad };

// Takes `opt` with its `value` when it is one of the choice options; `why` says what is wrong
// with a bad value.
OptionParse ParseChoiceOption(const std::string& opt, const std::string& value, ChoiceOptions& c,
                              std::string& why);

// The usage text of the choice options.
inline constexpr const char* kChoiceUsage =
    "[--id-col N] [--price-col N] [--start-row N] [--currency lei|valuta] "
    "[--identify codextern|codintern|denumire] [--producer NAME] [--category CODE] "
    "[--factor F] [--round 0,01|0,05|0,10|1|99]";

// Sets the choices that were given (the category as the state's code only). A factor or a
// rounding turns the price rule on, keeping the other half of a rule already set.
void ApplyChoices(const ChoiceOptions& c, imp::TImportState& state);

}  // namespace imppret
