#include "calculator/window/OpenCalculator.h"

#include <QCoreApplication>
#include <QPointer>

#include "calculator/window/Calculator.h"

namespace calculator {
namespace {

QPointer<TCalculator>& Instance() {
  static QPointer<TCalculator> instance;
  return instance;
}

// Widgets must go before the application object does.
void DestroyInstance() {
  delete Instance().data();
}

}  // namespace

TCalculator& Calculator() {
  QPointer<TCalculator>& instance = Instance();
  if (!instance) {
    instance = new TCalculator(nullptr);
    qAddPostRoutine(DestroyInstance);
  }
  return *instance;
}

void ShowCalculator() {
  TCalculator& calc = Calculator();
  if (!calc.isVisible()) calc.Open();
}

bool CalculateValue(QString& value) {
  return Calculator().OpenForValue(value);
}

}  // namespace calculator
