#pragma once
// TMCustomRadioGroup / TMRadioGroup: a frameless container that lays out one TMGroupButton per
// item, column by column over its whole area, and lets its owner refuse a change through
// OnModify.

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "ui/activecontrols/MRadioButton.h"

namespace ui {

class TMCustomRadioGroup;

// Handler sets CanModify to false to refuse a change of the selection.
using TModifyEvent = std::function<void(QObject* Sender, bool& CanModify)>;

// A button created by a radio group for one of its items.
class TMGroupButton : public TMRadioButton {
  Q_OBJECT

 public:
  explicit TMGroupButton(TMCustomRadioGroup& group);

 protected:
  // Both act only when the group allows a change; Space clicks through Clicked, so a
  // refused change is also refused from the keyboard.
  void Clicked() override;
  void DoubleClicked() override;

 private:
  TMCustomRadioGroup& m_group;
};

class TMCustomRadioGroup : public QWidget {
  Q_OBJECT

 public:
  explicit TMCustomRadioGroup(QWidget* parent = nullptr);
  ~TMCustomRadioGroup() override;

  // Asks OnModify; true when there is no handler.
  virtual bool CanModify();

  int Columns() const { return m_columns; }
  void SetColumns(int columns);  // clamped to 1..16

  int ItemIndex() const { return m_itemIndex; }
  // Clamped to -1..count-1; a change checks the new button, which raises OnClick.
  void SetItemIndex(int index);

  const QStringList& Items() const { return m_items; }
  void SetItems(const QStringList& items);

  // Loading the group's properties from a saved design: between BeginReading and EndReading
  // ItemIndex is only stored, and EndReading builds the buttons.
  void BeginReading() { m_reading = true; }
  void EndReading();

  int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
  TMGroupButton* Button(int index) const;

  TColor Color() const { return m_color; }
  void SetColor(TColor color);

  std::function<void(QObject* Sender)> OnClick;
  TModifyEvent OnModify;

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  friend class TMGroupButton;
  void ItemsChanged();
  void Rebuild();
  void Arrange();
  void ButtonClicked(TMGroupButton& button);
  void SetButtonCount(int count);

  std::vector<std::unique_ptr<TMGroupButton>> m_buttons;
  QStringList m_items;
  int m_itemIndex = -1;
  int m_columns = 1;
  bool m_reading = false;
  bool m_updating = false;
  TColor m_color = clBtnFace;
};

class TMRadioGroup : public TMCustomRadioGroup {
  Q_OBJECT

 public:
  using TMCustomRadioGroup::TMCustomRadioGroup;
};

}  // namespace ui
