#include "ui/forms/TitleForm.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "ui/forms/DBEditForm.h"
#include "ui/store/SystemColors.h"
#include "ui/titlebar/TitleBar.h"

namespace ui {

TTitleForm::TTitleForm(QWidget* parent) : TPaintedForm(parent) {
  // No platform caption; the thin border is painted by the form itself.
  setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint);
  // Key preview: the form sees keys before its controls.
  qApp->installEventFilter(this);
}

std::function<void(QWidget*)>& TTitleForm::CalculatorOpener() {
  static std::function<void(QWidget*)> opener;
  return opener;
}

void TTitleForm::Loaded() {
  titleBar_ = findChild<TTitleBar*>("TitleBar1");
  if (titleBar_) {
    titleBar_->SetCaption(windowTitle());
    // A resizable window keeps at least the title bar's height; a window of fixed size keeps
    // its size (lowering its minimum would make it resizable).
    if (minimumSize() != maximumSize()) setMinimumHeight(height() - contentsRect().height() + 25);
  }
}

bool TTitleForm::ControlTakesF2(const QWidget* focused) {
  if (!focused) return false;
  // A spin edit's inner line edit is not a plain edit: the form takes F2 there.
  if (qobject_cast<const QAbstractSpinBox*>(focused) ||
      qobject_cast<const QAbstractSpinBox*>(focused->parentWidget()))
    return false;
  if (qobject_cast<const QComboBox*>(focused) ||
      qobject_cast<const QComboBox*>(focused->parentWidget()))
    return true;
  if (qobject_cast<const QLineEdit*>(focused)) return true;
  return focused->inherits("ui::TMDBGrid");
}

bool TTitleForm::HandleKey(QKeyEvent* key) {
  const Qt::KeyboardModifiers mods =
      key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (key->key() == Qt::Key_F4 && mods == Qt::AltModifier) return true;  // swallowed
  if (key->key() == Qt::Key_F2 && mods == Qt::NoModifier) {
    if (ControlTakesF2(focusWidget())) return false;
    if (auto& open = CalculatorOpener()) open(this);
    return true;
  }
  return false;
}

bool TTitleForm::eventFilter(QObject* watched, QEvent* event) {
  // Only the first delivery of a key press counts: the one to the focused control (or the form).
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() && isActiveWindow()) {
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (widget == target && widget->window() == this)
      return HandleKey(static_cast<QKeyEvent*>(event));
  }
  return TPaintedForm::eventFilter(watched, event);
}

void TTitleForm::changeEvent(QEvent* event) {
  TPaintedForm::changeEvent(event);
  if (event->type() == QEvent::WindowTitleChange && titleBar_) titleBar_->SetCaption(windowTitle());
}

void TTitleForm::FormEnabledChanged(bool enabled) {
  if (titleBar_) titleBar_->SetGrayed(!enabled);
}

// A press on the free client area (no control under it) moves the window.
void TTitleForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    QWindow* handle = windowHandle();
    if (!(handle && handle->startSystemMove())) {
      dragging_ = true;  // platforms without a system move: follow the mouse ourselves
      dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton && titleBar_ &&
      titleBar_->geometry().contains(event->position().toPoint())) {
    PopupSystemMenu(event->globalPosition().toPoint());
    return;
  }
  TPaintedForm::mousePressEvent(event);
}

void TTitleForm::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    move(event->globalPosition().toPoint() - dragOffset_);
    return;
  }
  TPaintedForm::mouseMoveEvent(event);
}

void TTitleForm::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  TPaintedForm::mouseReleaseEvent(event);
}

void TTitleForm::paintEvent(QPaintEvent* event) {
  TPaintedForm::paintEvent(event);
  QPainter painter(this);
  painter.setPen(ToQColor(clWindowFrame));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDBEditForm::Loaded() {
  // The window's title is the caption of its first title bar.
  if (auto* bar = findChild<TTitleBar*>()) setWindowTitle(bar->Caption());
  TTitleForm::Loaded();
}

}  // namespace ui
