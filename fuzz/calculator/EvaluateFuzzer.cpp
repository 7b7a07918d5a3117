// Arbitrary text through the calculator's evaluation: it must end with a value or one of the
// six messages, never crash or hang; the VAT operations and the text helpers ride along.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/engine/Editing.h"
#include "calculator/engine/Evaluate.h"
#include "calculator/engine/Vat.h"
#include "platform/Formats.h"

namespace {

bool IsKnownMessage(const std::string& message) {
  for (const char* known :
       {calculator::kDivisionByZero, calculator::kUnreadableNumber, calculator::kMissingOperand,
        calculator::kCheckOperators, calculator::kUnclosedParenthesis, calculator::kTooManyClosed})
    if (message == known) return true;
  return false;
}

void Check(const calculator::Evaluation& e) {
  if (e.Ok() ? !std::isfinite(e.Value) : !IsKnownMessage(e.Error)) std::abort();
  if (e.Ok()) {
    // The display text of any value reads back without error.
    const std::string shown = calculator::NumberToDisplayText(e.Value);
    if (!calculator::Evaluate(shown).Ok()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool formats = (platform::FixProgramFormats(), true);
  (void)formats;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(calculator::Evaluate(text));
  if (size <= calculator::kMaxExpressionLength) {
    const calculator::TVatFormulas formulas = calculator::BuildVatFormulas(size % 100);
    const calculator::VatResult vat =
        calculator::ApplyVat(text, static_cast<calculator::TVatOperation>(size % 4), formulas);
    Check(vat.Outcome);
    if (vat.Outcome.Ok()) Check(calculator::Evaluate(vat.Text));
  }
  std::vector<std::string> history;
  calculator::PutInHistory(history, text);
  calculator::ClearEntry(text);
  return 0;
}
