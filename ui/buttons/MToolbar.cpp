#include "ui/buttons/MToolbar.h"

#include <QEvent>

#include "ui/buttons/MButton.h"
#include "ui/buttons/NiceButton.h"

namespace ui {

TMToolbar::TMToolbar(QWidget* parent) : QWidget(parent) {
  resize(100, 210);
  setAutoFillBackground(true);
}

TMToolbar::~TMToolbar() {
  // The buttons outlive this part of the object while the widget base frees them.
  for (auto* button : findChildren<TKindButton*>(Qt::FindDirectChildrenOnly))
    button->ForgetToolbar();
}

TMButton* TMToolbar::MButton(TMButtonKind kind) const {
  return kind < ButtonKindCount ? m_mbuttons[kind].data() : nullptr;
}

TNiceButton* TMToolbar::NiceButton(TMButtonKind kind) const {
  return kind < ButtonKindCount ? m_niceButtons[kind].data() : nullptr;
}

void TMToolbar::ButtonClick(TMButtonKind) {}

void TMToolbar::SetMButtonEntry(TMButtonKind kind, TMButton* button) {
  if (kind < ButtonKindCount) m_mbuttons[kind] = button;
}

void TMToolbar::SetNiceButtonEntry(TMButtonKind kind, TNiceButton* button) {
  if (kind < ButtonKindCount) m_niceButtons[kind] = button;
}

void TMToolbar::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::EnabledChange) return;
  // Every child takes the toolbar's state explicitly, so that enabling the toolbar enables
  // also the buttons that were disabled one by one.
  const bool enabled = isEnabled();
  for (QObject* child : children())
    if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
      widget->setEnabled(enabled);
}

}  // namespace ui
