#pragma once
// A drop-down list whose items stay sorted and which says when it is about to drop down.
#include <QComboBox>
#include <functional>

namespace imp {

class TSortedComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  // Inserts `text` in sorted place (a stable order for equal texts); returns its index.
  int AddSorted(const QString& text, const QVariant& data = {});
  std::function<void()> OnDropDown;

 protected:
  void showPopup() override;
};

}  // namespace imp
