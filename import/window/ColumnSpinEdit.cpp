#include "import/window/ColumnSpinEdit.h"

#include <algorithm>

namespace imp {
namespace {

// Nine digits at most, so the value always fits an int before it is brought into range.
constexpr int kMaxDigits = 9;

bool AllDigits(const QString& text) {
  if (text.isEmpty() || text.size() > kMaxDigits) return false;
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TColumnSpinEdit::TColumnSpinEdit(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State TColumnSpinEdit::validate(QString& text, int& pos) const {
  const QValidator::State state = QSpinBox::validate(text, pos);
  if (state == QValidator::Invalid && AllDigits(text.trimmed())) return QValidator::Intermediate;
  return state;
}

void TColumnSpinEdit::fixup(QString& text) const {
  const QString digits = text.trimmed();
  if (AllDigits(digits)) {
    text = QString::number(std::clamp(digits.toInt(), minimum(), maximum()));
    return;
  }
  // Text that is not a number counts as 0 (brought into range).
  if (!digits.isEmpty()) text = QString::number(std::clamp(0, minimum(), maximum()));
  QSpinBox::fixup(text);
}

}  // namespace imp
