#include "ui/buttons/MButton.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "ui/activecontrols/AccelText.h"
#include "ui/buttons/ControlPaint.h"
#include "ui/buttons/GlyphLayout.h"
#include "ui/buttons/MToolbar.h"

namespace ui {

TMButton::TMButton(QWidget* parent) : TKindButton(parent, clBtnFace) {
  SetDefaultCaption(QString::fromUtf8(KindInfo(mkCustom).Caption));
  resize(KindInfo(mkCustom).Width, 40);
  RegisterInToolbar();
}

TMButton::~TMButton() {
  UnregisterFromToolbar();
}

void TMButton::SetKind(TMButtonKind kind) {
  if (kind == Kind()) return;
  if (IsNavigationKind(kind)) SetCaptionVisible(false);
  if (text().isEmpty()) SetDefaultCaption(QString::fromUtf8(KindInfo(kind).Caption));
  ApplyKind(kind);
  update();
}

void TMButton::SetCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  update();
}

void TMButton::SetLightButton(bool light) {
  if (light == m_lightButton) return;
  m_lightButton = light;
  update();
}

void TMButton::SetStyle(TButtonStyle style) {
  if (style == m_style) return;
  m_style = style;
  update();
}

void TMButton::SetMargin(int margin) {
  if (margin == m_margin) return;
  m_margin = margin;
  update();
}

void TMButton::SetSpacing(int spacing) {
  if (spacing == m_spacing) return;
  m_spacing = spacing;
  update();
}

void TMButton::SetNumGlyphs(int count) {
  count = std::clamp(count, 1, 4);
  if (count == m_numGlyphs) return;
  m_numGlyphs = count;
  update();
}

void TMButton::SetButtonLayout(TButtonLayout layout) {
  if (layout == m_layout) return;
  m_layout = layout;
  update();
}

QImage TMButton::EffectiveGlyph() const {
  if (Glyph().width() >= 1) return Glyph();
  const char* name = KindInfo(Kind()).MButtonGlyph;
  return name ? StorePicture(name) : QImage();
}

void TMButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool disabled = !isEnabled();
  const bool pressed = !disabled && isDown();
  const bool focused = hasFocus();
  const bool newLook = m_style != bsWin31;
  const int bevel = newLook ? 1 : 2;
  const QColor face = ToQColor(Color());

  QFont captionFont = font();
  if (newLook && !m_lightButton && (focused || isDefault())) captionFont.setBold(true);
  painter.setFont(captionFont);

  if (!m_lightButton)
    DrawButtonFace(painter, rect(), face, bevel, pressed, focused || isDefault());
  else if (m_hot)
    DrawButtonFace(painter, rect(), face, bevel, pressed, false);
  else
    painter.fillRect(rect(), face);

  const QImage glyph = EffectiveGlyph();
  QSize cell;
  int cellIndex = 0;
  if (!glyph.isNull()) {
    cell = QSize(glyph.width() / m_numGlyphs, glyph.height());
    cellIndex = disabled ? 1 : pressed ? 2 : 0;
    if (cellIndex >= m_numGlyphs) cellIndex = 0;
  }
  const QString caption = CaptionVisible() ? text() : QString();
  const QFontMetrics metrics(captionFont);
  const QSize textSize =
      caption.isEmpty() ? QSize()
                        : QSize(metrics.horizontalAdvance(StripAccel(caption)), metrics.height());
  GlyphLayout layout = LayOutGlyph(size(), cell, textSize, m_layout, m_margin, m_spacing);
  if (pressed) {
    layout.Glyph += QPoint(1, 1);
    layout.Text += QPoint(1, 1);
  }
  if (cell.width() > 0)
    DrawTransparent(painter, layout.Glyph, glyph,
                    QRect(cellIndex * cell.width(), 0, cell.width(), cell.height()));

  const QRect textRect(layout.Text, textSize);
  if (!caption.isEmpty()) {
    const int format = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (disabled) {
      DrawEngravedText(painter, textRect, caption, format);
    } else {
      painter.setPen(palette().color(QPalette::ButtonText));
      DrawAccelText(painter, caption, textRect.adjusted(0, 0, 2, 0), false, QColor(255, 0, 0),
                    format);
    }
  }

  if (!m_lightButton && focused) {
    QRect focusRect = newLook ? rect().adjusted(2, 2, -3, -3) : textRect.adjusted(-1, -1, 1, 1);
    if (newLook && pressed) focusRect.translate(-1, -1);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(focusRect);
  }
}

void TMButton::SetHot(bool hot) {
  if (hot == m_hot) return;
  m_hot = hot;
  update();
}

void TMButton::enterEvent(QEnterEvent* e) {
  TKindButton::enterEvent(e);
  SetHot(true);
  // The focus follows the mouse among light buttons.
  if (m_lightButton && isEnabled()) {
    auto* focused = qobject_cast<TMButton*>(QApplication::focusWidget());
    if (focused && focused != this && focused->LightButton()) setFocus(Qt::MouseFocusReason);
  }
}

void TMButton::leaveEvent(QEvent* e) {
  TKindButton::leaveEvent(e);
  if (!hasFocus()) SetHot(false);
}

void TMButton::focusInEvent(QFocusEvent* e) {
  TKindButton::focusInEvent(e);
  SetHot(true);
}

void TMButton::focusOutEvent(QFocusEvent* e) {
  TKindButton::focusOutEvent(e);
  SetHot(false);
}

void TMButton::SetToolbarEntry(TMToolbar& toolbar, TMButtonKind kind, bool set) {
  if (set)
    toolbar.SetMButtonEntry(kind, this);
  else if (toolbar.MButton(kind) == this)
    toolbar.SetMButtonEntry(kind, nullptr);
}

}  // namespace ui
