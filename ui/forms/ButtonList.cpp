#include "ui/forms/ButtonList.h"

namespace ui {

bool TButtonList::Add(QPushButton* button, bool enabled) {
  if (Count() >= kMaxCount) return false;
  if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.capacity() + kGrowBy);
  entries_.push_back({button, enabled});
  return true;
}

QPushButton* TButtonList::Button(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return entries_[static_cast<std::size_t>(index)].button.data();
}

bool TButtonList::SavedEnabled(int index) const {
  if (index < 0 || index >= Count()) return false;
  return entries_[static_cast<std::size_t>(index)].enabled;
}

void TButtonList::SetSavedEnabled(int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  entries_[static_cast<std::size_t>(index)].enabled = enabled;
}

}  // namespace ui
