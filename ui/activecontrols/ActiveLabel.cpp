#include "ui/activecontrols/ActiveLabel.h"

#include <QApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "ui/activecontrols/AccelText.h"
#include "ui/buttons/ControlPaint.h"

namespace ui {

namespace {

constexpr int kMaxCaption = 255;

bool CanTakeFocus(const QWidget* w) {
  return w && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus;
}

}  // namespace

TActiveLabel::TActiveLabel(QWidget* parent) : QWidget(parent) {
  resize(65, 13);
  // The underline of the accelerator follows the focus control's focus.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
    if (!m_focusControl) return;
    auto relates = [this](QWidget* w) {
      return w && (w == m_focusControl || m_focusControl->isAncestorOf(w) ||
                   w->focusProxy() == m_focusControl);
    };
    if (relates(from) || relates(to)) update();
  });
}

TActiveLabel::~TActiveLabel() = default;

void TActiveLabel::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  UpdateShortcut();
  AdjustSize();
  update();
}

void TActiveLabel::SetFontColor(TColor color) {
  if (color == m_fontColor) return;
  m_fontColor = color;
  update();
}

void TActiveLabel::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  update();
}

void TActiveLabel::SetTransparent(bool transparent) {
  if (transparent == m_transparent) return;
  m_transparent = transparent;
  update();
}

void TActiveLabel::SetAlignment(TAlignment alignment) {
  if (alignment == m_alignment) return;
  m_alignment = alignment;
  update();
}

void TActiveLabel::SetShowAccelChar(bool show) {
  if (show == m_showAccelChar) return;
  m_showAccelChar = show;
  UpdateShortcut();
  AdjustSize();
  update();
}

void TActiveLabel::SetFocusControl(QWidget* control) {
  if (control == m_focusControl) return;
  m_focusControl = control;
  UpdateShortcut();
  update();
}

void TActiveLabel::SetAutosize(bool autoSize) {
  if (autoSize == m_autoSize) return;
  m_autoSize = autoSize;
  AdjustSize();
}

void TActiveLabel::AdjustSize() {
  if (!m_autoSize) return;
  const QString shown = m_showAccelChar ? StripAccel(m_caption) : m_caption;
  const QFontMetrics metrics(font());
  resize(std::max(1, metrics.horizontalAdvance(shown.isEmpty() ? QStringLiteral(" ") : shown)),
         metrics.height());
}

void TActiveLabel::UpdateShortcut() {
  if (m_shortcutId != 0) releaseShortcut(m_shortcutId);
  m_shortcutId = 0;
  const QChar accel = AccelCharOf(m_caption);
  if (m_showAccelChar && m_focusControl && !accel.isNull() && accel != QLatin1Char('&'))
    m_shortcutId =
        grabShortcut(QKeySequence(QStringLiteral("Alt+") + accel.toUpper()), Qt::WindowShortcut);
}

void TActiveLabel::Click() {
  QPointer<TActiveLabel> self(this);
  if (OnClick) OnClick(this);
  if (self && CanTakeFocus(m_focusControl)) m_focusControl->setFocus(Qt::ShortcutFocusReason);
}

void TActiveLabel::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) Click();
}

bool TActiveLabel::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(e);
    if (shortcut->shortcutId() == m_shortcutId && m_focusControl && isEnabled() &&
        m_showAccelChar && CanTakeFocus(m_focusControl)) {
      Click();
      return true;
    }
  }
  return QWidget::event(e);
}

void TActiveLabel::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) AdjustSize();
}

void TActiveLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!m_transparent) painter.fillRect(rect(), ToQColor(m_color));
  QString shown = m_caption.left(kMaxCaption);
  if (shown.isEmpty() || (m_showAccelChar && shown == QLatin1String("&")))
    shown = QStringLiteral(" ");
  const int horizontal = m_alignment == taRightJustify ? Qt::AlignRight
                         : m_alignment == taCenter     ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
  const int format = horizontal | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs;
  painter.setFont(font());
  if (!isEnabled()) {
    DrawEngravedText(painter, rect(), shown, format);
    return;
  }
  painter.setPen(ToQColor(m_fontColor));
  if (m_showAccelChar) {
    const bool underline = m_focusControl && m_focusControl->hasFocus();
    DrawAccelText(painter, shown, rect(), underline, QColor(255, 0, 0), format);
  } else {
    painter.drawText(rect(), format, shown);
  }
}

}  // namespace ui
