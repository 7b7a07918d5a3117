#include "ui/buttons/ControlPaint.h"

#include <QPainter>
#include <QPalette>

#include "ui/store/ImageStore.h"

namespace ui {

QImage StorePicture(const char* name) {
  return DlgImageStore().Picture(QString::fromLatin1(name));
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
