#include "ui/buttons/KindButton.h"

#include <QDialog>
#include <QEvent>
#include <QShortcut>

#include "ui/buttons/MToolbar.h"

namespace ui {

TKindButton::TKindButton(QWidget* parent, TColor color) : QPushButton(parent), m_color(color) {
  // Left at Qt's automatic auto-default: in a dialog the focused button is the one Enter
  // presses, and the default button again once the focus leaves the buttons.
  connect(this, &QPushButton::clicked, this, [this] { Click(); });
}

TKindButton::~TKindButton() = default;

void TKindButton::SetModalResult(int result) {
  m_modalResultPinned = true;
  m_modalResult = result;
}

void TKindButton::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  update();
}

void TKindButton::SetCaptionVisible(bool visible) {
  if (visible == m_captionVisible) return;
  m_captionVisible = visible;
  update();
}

void TKindButton::SetGlyph(const QImage& glyph) {
  m_glyph = glyph;
  update();
}

void TKindButton::SetCancel(bool cancel) {
  if (cancel == Cancel()) return;
  if (cancel) {
    // A window-wide shortcut owned by the button: it only fires while the button is
    // visible and enabled, like the platform's cancel button.
    m_cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_cancel->setContext(Qt::WindowShortcut);
    connect(m_cancel, &QShortcut::activated, this, [this] {
      if (isVisible() && isEnabled()) click();
    });
  } else {
    delete m_cancel;
    m_cancel = nullptr;
  }
}

void TKindButton::ApplyKind(TMButtonKind kind) {
  const TMButtonKind old = m_kind;
  m_kind = kind;
  if (!m_modalResultPinned) m_modalResult = KindInfo(kind).ModalResult;
  if (m_toolbar) {
    SetToolbarEntry(*m_toolbar, old, false);
    SetToolbarEntry(*m_toolbar, kind, true);
  }
}

void TKindButton::Click() {
  StandardClick();
  NotifyToolbar();
}

void TKindButton::StandardClick() {
  if (m_modalResult != mrNone) {
    if (auto* dialog = qobject_cast<QDialog*>(window()); dialog && dialog->isModal())
      dialog->done(m_modalResult);
  }
  if (OnClick) OnClick(this);
}

void TKindButton::NotifyToolbar() {
  if (m_toolbar) m_toolbar->ButtonClick(m_kind);
}

void TKindButton::RegisterInToolbar() {
  m_registrationReady = true;
  m_toolbar = nullptr;
  UpdateToolbarParent();
}

void TKindButton::ForgetToolbar() {
  m_toolbar = nullptr;
}

void TKindButton::UnregisterFromToolbar() {
  LeaveToolbar();
  m_registrationReady = false;
}

void TKindButton::LeaveToolbar() {
  if (m_toolbar && m_registrationReady) SetToolbarEntry(*m_toolbar, m_kind, false);
  m_toolbar = nullptr;
}

bool TKindButton::event(QEvent* e) {
  if (e->type() == QEvent::ParentChange) UpdateToolbarParent();
  return QPushButton::event(e);
}

void TKindButton::UpdateToolbarParent() {
  if (!m_registrationReady) return;
  auto* toolbar = qobject_cast<TMToolbar*>(parentWidget());
  if (toolbar == m_toolbar) return;
  LeaveToolbar();
  m_toolbar = toolbar;
  if (m_toolbar) SetToolbarEntry(*m_toolbar, m_kind, true);
}

}  // namespace ui
