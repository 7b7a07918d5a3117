#include "ui/titlebar/TitleBar.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "ui/buttons/ControlPaint.h"
#include "ui/store/Fonts.h"

namespace ui {

namespace {

// Displays of 8 bits per pixel or fewer get a plain bar; the depth is read once.
bool LowColorDisplay() {
  static const bool low = ScreenColorDepth() <= 8;
  return low;
}

// Where the caption is redrawn alone when Grayed changes.
QRect GrayedRect(int iconRoom, int captionWidth) {
  return {iconRoom + 4, 2, captionWidth, 18};
}

}  // namespace

TTitleBar::TTitleBar(QWidget* parent) : QWidget(parent), m_plainFill(LowColorDisplay()) {
  setFont(FontByNamePoints(QStringLiteral("Ms Sans Serif"), 12, true));
  // Painting covers every pixel; a caption-only redraw relies on the rest staying as it is.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(parent ? parent->width() : 100, 25);
  Recalculate();
}

void TTitleBar::SetAlign(TAlign align) {
  if (align == m_align) return;
  if (parentWidget()) parentWidget()->removeEventFilter(this);
  m_align = align;
  if (parentWidget() && (align == alTop || align == alBottom || align == alClient))
    parentWidget()->installEventFilter(this);
  FollowParent();
  update();
}

void TTitleBar::FollowParent() {
  QWidget* parent = parentWidget();
  if (!parent) return;
  switch (m_align) {
    case alTop: setGeometry(0, 0, parent->width(), height()); break;
    case alBottom: setGeometry(0, parent->height() - height(), parent->width(), height()); break;
    case alClient: setGeometry(parent->rect()); break;
    default: break;
  }
}

bool TTitleBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched == parentWidget() && e->type() == QEvent::Resize) FollowParent();
  return QWidget::eventFilter(watched, e);
}

void TTitleBar::SetGrayed(bool grayed) {
  if (grayed == m_grayed) return;
  m_grayed = grayed;
  if (!isVisible()) return;
  m_captionOnly = true;
  update(GrayedRect(m_iconRoom, CaptionWidth()));
}

void TTitleBar::SetIconStyle(TIconStyle style) {
  if (style == m_iconStyle) return;
  m_iconStyle = style;
  Recalculate();
  update();
}

void TTitleBar::SetCaption(const QString& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  update();
}

void TTitleBar::SetStartColor(TColor color) {
  m_startColor = color;
  update();
}

void TTitleBar::SetEndColor(TColor color) {
  m_endColor = color;
  update();
}

void TTitleBar::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  update();
}

void TTitleBar::SetPlainFill(bool plain) {
  if (plain == m_plainFill) return;
  m_plainFill = plain;
  update();
}

void TTitleBar::Recalculate() {
  m_iconRoom = m_iconStyle == isNone ? 0 : StorePicture("IconFace").width() / 2 + 5;
}

void TTitleBar::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Recalculate();
}

std::vector<TTitleBar::Band> TTitleBar::GradientBands(QColor start, QColor end, int width) {
  std::vector<Band> bands;
  if (width <= 0) return bands;
  const double stepRed = double(end.red() - start.red()) / width;
  const double stepGreen = double(end.green() - start.green()) / width;
  const double stepBlue = double(end.blue() - start.blue()) / width;
  double red = start.red(), green = start.green(), blue = start.blue();
  QColor current = start;
  int bandLeft = 0;
  for (int x = 1; x < width; ++x) {
    red += stepRed;
    green += stepGreen;
    blue += stepBlue;
    const QColor column(int(std::trunc(red)), int(std::trunc(green)), int(std::trunc(blue)));
    if (column != current) {
      bands.push_back({bandLeft, x, current});
      bandLeft = x;
      current = column;
    }
  }
  bands.push_back({bandLeft, width, current});
  return bands;
}

void TTitleBar::PaintCaption(QPainter& painter, QRect textRect, bool shadow) {
  QColor color;
  if (shadow)
    color = palette().color(QPalette::WindowText);
  else
    color = ToQColor(m_grayed ? clGrayText : clCaptionText);
  painter.setPen(color);
  painter.save();
  painter.setClipRect(textRect, Qt::IntersectClip);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_caption);
  painter.restore();
}

void TTitleBar::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  painter.setFont(font());
  const QRect grayedRect = GrayedRect(m_iconRoom, CaptionWidth());
  if (m_captionOnly && grayedRect.contains(e->rect())) {
    m_captionOnly = false;
    PaintCaption(painter, grayedRect, false);
    return;
  }
  m_captionOnly = false;

  if (m_plainFill) {
    painter.fillRect(rect(), ToQColor(m_color));
  } else {
    for (const Band& band : GradientBands(ToQColor(m_startColor), ToQColor(m_endColor), width()))
      painter.fillRect(QRect(band.Left, 0, band.Right - band.Left, height()), band.Color);
  }
  if (m_align == alTop) painter.fillRect(QRect(0, height() - 2, width(), 2), Qt::white);

  const QRect textRect(m_iconRoom + 5, 3, CaptionWidth(), 22);
  PaintCaption(painter, textRect, true);
  PaintCaption(painter, textRect.translated(-1, -1), false);
}

}  // namespace ui
