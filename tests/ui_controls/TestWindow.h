#pragma once
// A shown, active top-level window for controls under test, and pixel helpers.

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <memory>

namespace test {

class TestWindow {
 public:
  explicit TestWindow(int width = 400, int height = 300) : m_window(std::make_unique<QWidget>()) {
    m_window->resize(width, height);
  }
  QWidget* get() const { return m_window.get(); }
  void Show() {
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    (void)QTest::qWaitForWindowActive(m_window.get());
  }

 private:
  std::unique_ptr<QWidget> m_window;
};

inline bool IsPureRed(QRgb c) {
  return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

// Columns [first, last] holding at least one pixel that satisfies `pred`; {-1, -1} when none.
template <typename Pred>
std::pair<int, int> ColumnSpan(const QImage& image, Pred pred) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (pred(image.pixel(x, y))) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

template <typename Pred>
int CountPixels(const QImage& image, Pred pred) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (pred(image.pixel(x, y))) ++count;
  return count;
}

}  // namespace test
