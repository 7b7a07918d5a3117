#include "calculator/window/OpenCalculator.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include "calculator/window/Calculator.h"

namespace calculator {
namespace {

QPointer<TCalculator>& Instance() {
  static QPointer<TCalculator> instance;
  return instance;
}

// Widgets must go before the application object does.
void DestroyInstance() { delete Instance().data(); }

bool EditsTextItself(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
        qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
      return true;
    if (w->isWindow()) break;
  }
  return false;
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

bool CalculateValue(QString& value) { return Calculator().OpenForValue(value); }

bool OpenCalculatorOnF2(QWidget* window, const QKeyEvent& key) {
  if (key.key() != Qt::Key_F2) return false;
  if (key.modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier)) return false;
  if (window && EditsTextItself(window->focusWidget())) return false;
  ShowCalculator();
  return true;
}

}  // namespace calculator
