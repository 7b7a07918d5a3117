#pragma once
// The calculator's caption panel: the window has no system title bar, so a left-button drag
// anywhere on this panel moves the whole window.
#include <QPoint>
#include <QWidget>

namespace calculator {

class TCaptionPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TCaptionPanel(QWidget* parent = nullptr);

  bool Dragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool dragging_ = false;
  QPoint pressPoint_;  // in the panel's client coordinates
};

}  // namespace calculator
