#pragma once
// TTitleForm: a form that draws its own title bar (the component named "TitleBar1"). It has no
// platform caption, only a thin border; a press and drag on its free client area moves it; it
// keeps at least the title bar's height; Alt+F4 is swallowed; F2 opens the pop-up calculator
// unless the focused control is an edit, a combo box or a grid, which get the key themselves.
#include <functional>

#include "ui/forms/PaintedForm.h"

namespace ui {

class TTitleBar;

class TTitleForm : public TPaintedForm {
  Q_OBJECT

 public:
  explicit TTitleForm(QWidget* parent = nullptr);

  // Call once the form's components exist (the end of the subclass's constructor): finds the
  // title bar and gives it the form's caption.
  virtual void Loaded();

  TTitleBar* TitleBar() const { return titleBar_; }

  // Opens the program's one calculator; set by the program at start (the calculator lives
  // above this library). Empty: F2 does nothing.
  static std::function<void(QWidget* owner)>& CalculatorOpener();

  // True when F2 on `focused` belongs to the control rather than the form.
  static bool ControlTakesF2(const QWidget* focused);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void FormEnabledChanged(bool enabled) override;

 private:
  bool HandleKey(QKeyEvent* key);

  TTitleBar* titleBar_ = nullptr;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace ui
