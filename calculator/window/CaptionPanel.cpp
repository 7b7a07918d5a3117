#include "calculator/window/CaptionPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/store/SystemColors.h"

namespace calculator {

TCaptionPanel::TCaptionPanel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::SizeAllCursor);
}

void TCaptionPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  // A dark plate under the brand, lighter towards the bottom, with a raised edge.
  QLinearGradient plate(r.topLeft(), r.bottomLeft());
  plate.setColorAt(0, QColor(0, 0, 128));
  plate.setColorAt(1, QColor(16, 80, 176));
  painter.fillRect(r, plate);
  painter.setPen(ui::ToQColor(ui::clBtnHighlight));
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(QColor(0, 0, 64));
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
}

void TCaptionPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  pressPoint_ = event->position().toPoint();  // the press itself captures the mouse
}

void TCaptionPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const QPoint delta = event->position().toPoint() - pressPoint_;
  QWidget* w = window();
  w->move(w->x() + delta.x(), w->y() + delta.y());
}

void TCaptionPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
}

}  // namespace calculator
