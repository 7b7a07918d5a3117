// imppret calc: evaluates an expression the way the calculator window does and prints the
// result panel's text, or "error: " and the message the window would show.
#include <cstdio>
#include <string>
#include <vector>

#include "app/imppret/Command.h"
#include "calculator/engine/Evaluate.h"
#include "calculator/engine/Vat.h"
#include "platform/Formats.h"

namespace imppret {
namespace {

constexpr const char* kUsage = "calc [--vat RATE --op add|remove|vat|included] EXPR";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "imppret calc: %s\nusage: imppret %s\n", message.c_str(), kUsage);
  return 2;
}

bool ParseOperation(const std::string& word, calculator::TVatOperation& operation) {
  if (word == "add")
    operation = calculator::voAddVat;
  else if (word == "remove")
    operation = calculator::voRemoveVat;
  else if (word == "vat")
    operation = calculator::voVatOfNet;
  else if (word == "included")
    operation = calculator::voVatInGross;
  else
    return false;
  return true;
}

// The window's rate edit holds two digits, so a rate is a whole number from 0 to 99.
bool ParseRate(const std::string& word, double& rate) {
  if (word.empty() || word.size() > 2) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  rate = std::stoi(word);
  return true;
}

int Calc(const std::vector<std::string>& args) {
  std::string rateWord, opWord, expression;
  bool haveExpression = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "--vat" || arg == "--op") && !haveExpression) {
      if (i + 1 >= args.size()) return UsageError(arg + " needs a value");
      (arg == "--vat" ? rateWord : opWord) = args[++i];
    } else {
      // The words of an unquoted expression ("2 + 3") are one expression.
      if (haveExpression) expression += ' ';
      expression += arg;
      haveExpression = true;
    }
  }
  if (!haveExpression) return UsageError("no expression");
  if (rateWord.empty() != opWord.empty()) return UsageError("--vat and --op go together");
  if (expression.size() > calculator::kMaxExpressionLength)
    return UsageError("the expression is longer than 255 characters");
  // A point typed on the keyboard is the decimal separator, as in the window.
  for (char& c : expression)
    if (c == '.') c = platform::Formats().DecimalSeparator;

  calculator::Evaluation result;
  if (opWord.empty()) {
    result = calculator::Evaluate(expression);
  } else {
    double rate = 0;
    calculator::TVatOperation operation{};
    if (!ParseRate(rateWord, rate)) return UsageError("the VAT rate is a whole number 0 to 99");
    if (!ParseOperation(opWord, operation)) return UsageError("unknown operation " + opWord);
    const calculator::VatResult vat =
        calculator::ApplyVat(expression, operation, calculator::BuildVatFormulas(rate));
    // The window puts the rounded value into the expression box and shows what that gives.
    result = vat.Outcome.Ok() ? calculator::Evaluate(vat.Text) : vat.Outcome;
  }
  if (!result.Ok()) {
    std::printf("error: %s\n", result.Error.c_str());
    return 1;
  }
  std::printf("%s\n", calculator::NumberToDisplayText(result.Value).c_str());
  return 0;
}

}  // namespace

IMPPRET_COMMAND("calc", kUsage, Calc);

}  // namespace imppret
