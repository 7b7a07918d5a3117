#pragma once
// TTransImage: shows a picture whose background colour (the colour of its top-left pixel) is
// transparent, so that the parent's colour shows through.

#include <QImage>
#include <QWidget>
#include <functional>

class QMouseEvent;

namespace ui {

class TTransImage : public QWidget {
  Q_OBJECT

 public:
  // 24 by 24, auto-sizing, visible.
  explicit TTransImage(QWidget* parent = nullptr);

  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool autoSize);

  const QImage& Bitmap() const { return m_bitmap; }
  // Copies the picture; with AutoSize the control takes its size.
  void SetBitmap(const QImage& bitmap);

  // The control's own visibility flag: when off nothing is painted, but the control stays in
  // place (and keeps receiving mouse presses, as the original does).
  bool Visible() const { return m_visible; }
  void SetVisible(bool visible);

  std::function<void(QObject* Sender, QMouseEvent* event)> OnMouseDown;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  bool m_autoSize = true;
  QImage m_bitmap;
  bool m_visible = true;
};

}  // namespace ui
