#include "ui/activecontrols/MRadioButton.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>

#include "ui/activecontrols/AccelText.h"
#include "ui/buttons/ControlPaint.h"

namespace ui {

namespace {

constexpr int kMaxCaption = 255;

}  // namespace

TMRadioButton::TMRadioButton(QWidget* parent) : QAbstractButton(parent) {
  resize(113, 17);
  setFocusPolicy(Qt::ClickFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { Clicked(); });
}

void TMRadioButton::SetAlignment(TAlignment alignment) {
  if (alignment == taCenter) alignment = taRightJustify;
  if (alignment == m_alignment) return;
  m_alignment = alignment;
  update();
}

void TMRadioButton::SetCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  update();
}

void TMRadioButton::SetChecked(bool checked) {
  if (checked == m_checked) return;
  m_checked = checked;
  // Only the checked button of a set is a tab stop; the others still take a click.
  setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
  update();
  if (!checked) return;
  QPointer<TMRadioButton> self(this);
  if (QWidget* parent = parentWidget()) {
    for (QObject* child : parent->children()) {
      auto* sibling = qobject_cast<TMRadioButton*>(child);
      if (sibling && sibling != this) sibling->SetChecked(false);
    }
  }
  if (self && OnClick) OnClick(this);
}

void TMRadioButton::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  update();
}

void TMRadioButton::SetFontColor(TColor color) {
  if (color == m_fontColor) return;
  m_fontColor = color;
  update();
}

void TMRadioButton::Clicked() {
  SetChecked(true);
}

void TMRadioButton::DoubleClicked() {
  if (OnDblClick) OnDblClick(this);
}

void TMRadioButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press is an ordinary press as well; the double click is only reported.
  QAbstractButton::mouseDoubleClickEvent(e);
  DoubleClicked();
}

bool TMRadioButton::event(QEvent* e) {
  // The accelerator focuses the button without checking it.
  if (e->type() == QEvent::Shortcut) {
    if (isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus)
      setFocus(Qt::ShortcutFocusReason);
    return true;
  }
  return QAbstractButton::event(e);
}

void TMRadioButton::focusInEvent(QFocusEvent* e) {
  QAbstractButton::focusInEvent(e);
  update();
}

void TMRadioButton::focusOutEvent(QFocusEvent* e) {
  QAbstractButton::focusOutEvent(e);
  update();
}

void TMRadioButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(m_color));

  const QImage radio = StorePicture("Radio");
  const int glyphWidth = radio.width() / 2;
  const int glyphHeight = radio.height();
  const bool glyphLeft = m_alignment == taRightJustify;
  const int glyphX = glyphLeft ? 0 : width() - glyphWidth;
  const int glyphY = (height() - glyphHeight) / 2;
  if (glyphWidth > 0)
    DrawTransparent(painter, QPoint(glyphX, glyphY), radio,
                    QRect(m_checked ? glyphWidth : 0, 0, glyphWidth, glyphHeight));

  QRect textRect = glyphLeft ? QRect(glyphWidth, 0, width() - glyphWidth, height())
                             : QRect(0, 0, width() - glyphWidth, height());
  painter.setFont(font());
  const int textHeight = QFontMetrics(font()).height();
  // The caption's middle lines up with the glyph's.
  textRect.moveTop(glyphY + (glyphHeight - textHeight) / 2);
  textRect.setHeight(textHeight);

  QColor textColor = ToQColor(m_fontColor);
  QColor accent(255, 0, 0);
  if (!isEnabled()) {
    textColor = accent = ToQColor(clGrayText);
  } else if (hasFocus()) {
    textColor = accent;
  }
  painter.setPen(textColor);
  const int format =
      (glyphLeft ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop | Qt::TextSingleLine;
  DrawAccelText(painter, text().left(kMaxCaption), textRect, hasFocus(), accent, format);
}

}  // namespace ui
