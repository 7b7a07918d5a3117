#include "ui/titlebar/TransImage.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/buttons/ControlPaint.h"

namespace ui {

TTransImage::TTransImage(QWidget* parent) : QWidget(parent) {
  resize(24, 24);
}

void TTransImage::SetAutoSize(bool autoSize) {
  m_autoSize = autoSize;
  if (m_autoSize && !m_bitmap.isNull()) resize(m_bitmap.size());
}

void TTransImage::SetBitmap(const QImage& bitmap) {
  m_bitmap = bitmap;
  if (m_autoSize && !m_bitmap.isNull()) resize(m_bitmap.size());
  update();
}

void TTransImage::SetVisible(bool visible) {
  if (visible == m_visible) return;
  m_visible = visible;
  // Without a background of its own the control shows the parent where the image was.
  update();
}

void TTransImage::paintEvent(QPaintEvent*) {
  if (!m_visible || m_bitmap.isNull()) return;
  QPainter painter(this);
  DrawTransparent(painter, QPoint(0, 0), m_bitmap, QRect(QPoint(0, 0), size()));
}

void TTransImage::mousePressEvent(QMouseEvent* e) {
  if (OnMouseDown)
    OnMouseDown(this, e);
  else
    QWidget::mousePressEvent(e);
}

}  // namespace ui
