#pragma once
// The spin edit of a column or row number (0-100). Any run of digits may be typed, also one
// beyond the range ("150"); leaving the field brings the value into range (100), as the
// classic spin edit does, instead of refusing the third digit.
#include <QSpinBox>

namespace imp {

class TColumnSpinEdit : public QSpinBox {
  Q_OBJECT
 public:
  explicit TColumnSpinEdit(QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
};

}  // namespace imp
