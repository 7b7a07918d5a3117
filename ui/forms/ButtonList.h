#pragma once
// TButtonList: the push buttons of a form with the Enabled state each had when the form was
// last disabled. Grows by 16 records at a time and holds at most 8,192.
#include <QPointer>
#include <QPushButton>
#include <vector>

namespace ui {

class TButtonList {
 public:
  static constexpr int kGrowBy = 16;
  static constexpr int kMaxCount = 8192;

  // Records `button`; past kMaxCount further buttons are not tracked (they keep whatever state
  // the platform gives them), which is the only sane answer for a form that large.
  bool Add(QPushButton* button, bool enabled);
  int Count() const { return static_cast<int>(entries_.size()); }
  int Capacity() const { return static_cast<int>(entries_.capacity()); }
  // The button at `index`, or none at or past the count (or when it has been destroyed).
  QPushButton* Button(int index) const;
  bool SavedEnabled(int index) const;
  void SetSavedEnabled(int index, bool enabled);

 private:
  struct Entry {
    QPointer<QPushButton> button;
    bool enabled;
  };
  std::vector<Entry> entries_;
};

}  // namespace ui
