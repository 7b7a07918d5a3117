#pragma once
// The program's one calculator window: created on first use, kept (with its history, memory
// and VAT rate) until the application ends.
#include <QString>

class QWidget;

namespace calculator {

class TCalculator;

// The one instance, created on the first call. Needs a QApplication.
TCalculator& Calculator();

// Opens the calculator with an empty expression and runs it modally; does nothing when it is
// already showing.
void ShowCalculator();

// Opens the calculator on `value` for a caller that wants a number back (see
// TCalculator::OpenForValue). True when the user confirmed a valid result, now in `value`.
bool CalculateValue(QString& value);

}  // namespace calculator
