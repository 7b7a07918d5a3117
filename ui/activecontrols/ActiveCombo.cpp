#include "ui/activecontrols/ActiveCombo.h"

#include <QAbstractItemView>
#include <QKeyEvent>

#include "ui/activecontrols/ActiveLabel.h"

namespace ui {

TActiveCombo::TActiveCombo(QWidget* parent) : QComboBox(parent) {}

void TActiveCombo::SetAssocLabel(TActiveLabel* label) {
  m_assocLabel = label;
  if (label) label->SetFocusControl(this);
}

void TActiveCombo::focusInEvent(QFocusEvent* e) {
  QComboBox::focusInEvent(e);
  // The label is recoloured once per stay of the focus, however often the list opens.
  if (m_assocLabel && !m_saved) {
    m_savedLabelColor = m_assocLabel->FontColor();
    m_savedLabelFont = m_assocLabel->font();
    m_saved = true;
    m_assocLabel->SetFontColor(m_labelColor);
  }
}

void TActiveCombo::focusOutEvent(QFocusEvent* e) {
  QComboBox::focusOutEvent(e);
  // The drop-down list takes the focus for a moment; only a real exit restores the label.
  if (m_droppedDown || e->reason() == Qt::PopupFocusReason) return;
  if (m_assocLabel && m_saved) {
    m_assocLabel->SetFontColor(m_savedLabelColor);
    m_assocLabel->setFont(m_savedLabelFont);
  }
  m_saved = false;
}

void TActiveCombo::NoteKey(int key) {
  m_escapeWhileDropped = key == Qt::Key_Escape && m_droppedDown;
}

void TActiveCombo::keyPressEvent(QKeyEvent* e) {
  const bool dropped = m_droppedDown;
  QComboBox::keyPressEvent(e);
  m_escapeWhileDropped = e->key() == Qt::Key_Escape && dropped;
}

void TActiveCombo::showPopup() {
  // Set first: opening the list moves the focus to it, which is not an exit.
  m_droppedDown = true;
  QComboBox::showPopup();
  // While the list is open its view gets the keys (watched for Escape), and its window may
  // close without hidePopup (a click elsewhere).
  if (QAbstractItemView* list = view()) {
    list->installEventFilter(this);
    if (QWidget* popup = list->window(); popup && popup != window())
      popup->installEventFilter(this);
  }
}

void TActiveCombo::hidePopup() {
  QComboBox::hidePopup();
  CloseUp();
}

void TActiveCombo::CloseUp() {
  if (!m_droppedDown) return;
  m_droppedDown = false;
  if (OnCloseUp) OnCloseUp(this);
}

bool TActiveCombo::eventFilter(QObject* watched, QEvent* e) {
  QAbstractItemView* list = view();
  // The list closes on Escape already at the shortcut check, before the key press itself
  // arrives; a key seen after the close belongs to the keystroke that closed it.
  const bool key = e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride;
  if (list && watched == list && key && m_droppedDown)
    NoteKey(static_cast<QKeyEvent*>(e)->key());
  else if (list && watched == list->window() && e->type() == QEvent::Hide)
    CloseUp();
  return QComboBox::eventFilter(watched, e);
}

}  // namespace ui
