#include "ui/buttons/ControlPaint.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace ui {

QColor ToQColor(TColor color) {
  if (!IsSystemColor(color)) return QColor(RedOf(color), GreenOf(color), BlueOf(color));
  const QPalette palette = QApplication::palette();
  switch (color & 0xFF) {
    case 1: case 4: case 10: case 11: return palette.color(QPalette::Window);
    case 2: case 13: return palette.color(QPalette::Highlight);
    case 3: return palette.color(QPalette::Inactive, QPalette::Highlight).lighter(130);
    case 5: return palette.color(QPalette::Base);
    case 6: return palette.color(QPalette::Shadow);
    case 7: return palette.color(QPalette::WindowText);
    case 8: return palette.color(QPalette::Text);
    case 9: case 14: return palette.color(QPalette::HighlightedText);
    case 12: return palette.color(QPalette::Dark);
    case 0: case 15: return palette.color(QPalette::Button);
    case 16: return palette.color(QPalette::Dark);
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: return palette.color(QPalette::Light);
    default: return palette.color(QPalette::Window);
  }
}

QImage StorePicture(const char*) { return {}; }

QColor TransparentColorOf(const QImage& picture) {
  if (picture.isNull()) return {};
  return picture.pixelColor(0, 0);
}

void DrawTransparent(QPainter& painter, QPoint dest, const QImage& picture, QRect source) {
  source = source.intersected(picture.rect());
  if (source.isEmpty()) return;
  const QRgb key = picture.pixel(0, 0) | 0xFF000000u;
  QImage cell = picture.copy(source).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < cell.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
    for (int x = 0; x < cell.width(); ++x)
      if ((line[x] | 0xFF000000u) == key) line[x] = 0;
  }
  painter.drawImage(dest, cell);
}

void DrawButtonFace(QPainter& painter, QRect rect, QColor face, int bevel, bool pressed,
                    bool defaultFrame) {
  const QColor black(0, 0, 0);
  const QColor light = ToQColor(clBtnHighlight);
  const QColor shadow = ToQColor(clBtnShadow);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect, face);
  // Lines along the inner edges of `r`: top and left in `tl`, bottom and right in `br`.
  auto frame = [&](QRect r, QColor tl, QColor br) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
  };
  QRect r = rect;
  if (defaultFrame || bevel > 1) {
    frame(r, black, black);
    r.adjust(1, 1, -1, -1);
  }
  if (pressed) {
    frame(r, shadow, shadow);
  } else if (bevel > 1) {
    for (int i = 0; i < bevel && r.width() > 2 && r.height() > 2; ++i) {
      frame(r, light, shadow);
      r.adjust(1, 1, -1, -1);
    }
  } else {
    frame(r, light, black);
    r.adjust(1, 1, -1, -1);
    if (r.width() > 2 && r.height() > 2) frame(r, face, shadow);
  }
  painter.restore();
}

}  // namespace ui
