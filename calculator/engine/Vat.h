#pragma once
// The four VAT operations of the calculator. The rate is a whole percentage from 0 to 99 (the
// window's two-digit edit); the factors are written as expression text so that they go
// through the same evaluation as anything the user types.
#include <string>
#include <string_view>

#include "calculator/engine/Evaluate.h"

namespace calculator {

enum TVatOperation {
  voAddVat,      // "+TVA %": net to gross, times the gross factor
  voRemoveVat,   // "-TVA %": gross to net, divided by the gross factor
  voVatOfNet,    // "TVA %": the VAT on a net amount, times the VAT factor
  voVatInGross,  // "?TVA %": the VAT contained in a gross amount, times r/(100+r)
};

struct TVatFormulas {
  std::string Rate;              // general format, for the button captions: "19", "9"
  std::string VatFactor;         // "0,19" ("0,09" for 9)
  std::string GrossFactor;       // "1,19" ("1,09" for 9)
  std::string IncludedFraction;  // "19/119" ("09/109" for 9)
};

// The formulas for a rate; a rate below 10 gets a leading "0" so that 9 gives 0,09.
TVatFormulas BuildVatFormulas(double rate);

// The caption of a VAT button: "+TVA %19", "-TVA %19", "TVA %19", "?TVA %19".
std::string VatCaption(TVatOperation operation, const TVatFormulas& formulas);

// The expression evaluated for an operation: "(" + expression + ")" and the factor.
std::string VatExpression(std::string_view expression, TVatOperation operation,
                          const TVatFormulas& formulas);

struct VatResult {
  Evaluation Outcome;  // the value rounded to 2 decimals, or the error
  std::string Text;    // the rounded value in general format, what the expression box gets
};

// Applies an operation to an expression: evaluates, rounds to 2 decimals.
VatResult ApplyVat(std::string_view expression, TVatOperation operation,
                   const TVatFormulas& formulas);

}  // namespace calculator
