#include "import/window/SortedComboBox.h"

namespace imp {

int TSortedComboBox::AddSorted(const QString& text, const QVariant& data) {
  int at = 0;
  while (at < count() && QString::localeAwareCompare(itemText(at), text) <= 0) ++at;
  insertItem(at, text, data);
  return at;
}

void TSortedComboBox::showPopup() {
  if (OnDropDown) OnDropDown();
  QComboBox::showPopup();
}

}  // namespace imp
