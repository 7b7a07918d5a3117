#pragma once
// TActiveCombo: a combo box that recolours its associated label while it has the focus and
// remembers whether the last Escape only closed its drop-down list.

#include <QComboBox>
#include <QPointer>
#include <functional>

#include "ui/markup/Colors.h"

namespace ui {

class TActiveLabel;

class TActiveCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit TActiveCombo(QWidget* parent = nullptr);

  TActiveLabel* AssocLabel() const { return m_assocLabel; }
  // Also makes this combo the label's FocusControl. A destroyed label reads as none.
  void SetAssocLabel(TActiveLabel* label);

  // The label's font colour while the combo has the focus; highlight-text colour by default.
  TColor LabelColor() const { return m_labelColor; }
  void SetLabelColor(TColor color) { m_labelColor = color; }

  // True when the last key pressed in the combo was Escape while its list was dropped down.
  bool EscapeWhileDropped() const { return m_escapeWhileDropped; }

  // Whether the drop-down list is open.
  bool DroppedDown() const { return m_droppedDown; }

  std::function<void(QObject* Sender)> OnCloseUp;

  void showPopup() override;
  void hidePopup() override;

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void NoteKey(int key);
  void CloseUp();

  QPointer<TActiveLabel> m_assocLabel;
  TColor m_labelColor = clHighlightText;
  TColor m_savedLabelColor = clWindowText;
  QFont m_savedLabelFont;
  bool m_saved = false;
  bool m_escapeWhileDropped = false;
  bool m_droppedDown = false;
};

}  // namespace ui
