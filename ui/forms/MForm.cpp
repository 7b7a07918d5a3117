#include "ui/forms/MForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include "ui/dialogs/MessageDlg.h"
#include "ui/store/SystemColors.h"

namespace ui {
namespace {

void BringToFront(QWidget& window) {
  window.raise();
  window.activateWindow();
}

// Right presses over any of the program's forms answer an open message dialog: its default
// button is pressed as by an Enter typed into it (a selection form would get Escape; there is
// none in this program).
class RightPressWatch : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
    auto* form = qobject_cast<TMForm*>(static_cast<QWidget*>(watched)->window());
    if (!form) return false;
    TMessageForm* message = OpenMessageForm();
    if (!message || message == static_cast<QWidget*>(form)) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      // As an Enter typed into the dialog would: after this event, not inside it.
      QPointer<TMessageForm> target(message);
      QTimer::singleShot(0, message, [target] {
        if (target) target->ClickDefaultButtons();
      });
      return true;
    }
    // Any other press on a form held disabled under the dialog brings the dialog back in front.
    if (!form->isEnabled()) {
      BringToFront(*message);
      return true;
    }
    return false;
  }
};

}  // namespace

void InstallRightPressWatch() {
  static RightPressWatch* watch = nullptr;
  if (watch || !qApp) return;
  watch = new RightPressWatch(qApp);
  qApp->installEventFilter(watch);
}

namespace {

// A button's own setting, not whether it is usable now: a button on a page that is disabled for
// the moment must come back usable with its page, so only what was set on the button itself is
// kept and put back.
bool OwnEnabled(const QWidget* button) {
  return !button->testAttribute(Qt::WA_ForceDisabled);
}

}  // namespace

TMForm::TMForm(QWidget* parent) : QDialog(parent) {
  InstallRightPressWatch();
  InstallClassicPalette();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && now->window() == this && isEnabled() && !covered_) lastFocus_ = now;
  });
}

TMForm::~TMForm() = default;

void TMForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!firstShow_) return;
  // The buttons of the form as designed; buttons created later are not tracked.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    buttons_.Add(button, OwnEnabled(button));
  }
  firstShow_ = false;
}

void TMForm::SaveAndDisableButtons() {
  if (covered_) return;
  covered_ = true;
  remembered_ = nullptr;
  QWidget* focused = lastFocus_ ? lastFocus_.data() : focusWidget();
  for (int i = 0; i < buttons_.Count(); ++i) {
    QPushButton* button = buttons_.Button(i);
    if (!button) continue;
    buttons_.SetSavedEnabled(i, OwnEnabled(button));
    if (button == focused) remembered_ = button;
    button->setEnabled(false);
  }
  FormEnabledChanged(false);
}

void TMForm::RestoreButtons() {
  if (!covered_) return;
  covered_ = false;
  for (int i = 0; i < buttons_.Count(); ++i) {
    if (QPushButton* button = buttons_.Button(i)) button->setEnabled(buttons_.SavedEnabled(i));
  }
  if (remembered_ && remembered_->isVisible()) remembered_->setFocus(Qt::OtherFocusReason);
  FormEnabledChanged(true);
}

void TMForm::FormEnabledChanged(bool) {}

void TMForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    if (isEnabled())
      RestoreButtons();
    else
      SaveAndDisableButtons();
  }
}

bool TMForm::event(QEvent* event) {
  bool result = QDialog::event(event);
  // A modal dialog of Qt blocks the window without disabling it: the same rule applies.
  if (event->type() == QEvent::WindowBlocked) SaveAndDisableButtons();
  if (event->type() == QEvent::WindowUnblocked && isEnabled()) RestoreButtons();
  // Activated while disabled under a message dialog (a window manager gives the focus to the
  // window clicked): the dialog takes it back, so the keyboard keeps answering it.
  if (event->type() == QEvent::WindowActivate && !isEnabled())
    if (TMessageForm* message = OpenMessageForm())
      QTimer::singleShot(0, message, [target = QPointer<TMessageForm>(message)] {
        if (target) BringToFront(*target);
      });
  return result;
}

void TMForm::closeEvent(QCloseEvent* event) {
  // The close entry is disabled: the window manager's close button and Alt+F4 do nothing.
  if (!IsMainForm() && !closingByProgram_ && event->spontaneous()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TMForm::CloseByProgram() {
  closingByProgram_ = true;
  close();
  closingByProgram_ = false;
}

void TMForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
    PopupSystemMenu(mapToGlobal(QPoint(0, 0)));
    return;
  }
  QDialog::keyPressEvent(event);
}

// A dialog's Escape would close the form; here it is left to the form's own buttons.
void TMForm::reject() {
  if (closingByProgram_) QDialog::reject();
}

QMenu* TMForm::CreateSystemMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName("SystemMenu");
  const Qt::WindowFlags flags = windowFlags();
  const bool sizeable = minimumSize() != maximumSize();
  const bool canMin = flags.testFlag(Qt::WindowMinimizeButtonHint);
  const bool canMax = flags.testFlag(Qt::WindowMaximizeButtonHint) && sizeable;
  if (canMin || canMax) {
    QAction* restore = menu->addAction("&Restaureaza", this, [this] { showNormal(); });
    restore->setEnabled(isMinimized() || isMaximized());
  }
  QAction* move = menu->addAction("&Muta", this, [this] {
    if (QWindow* w = windowHandle()) w->startSystemMove();
  });
  move->setEnabled(!isMaximized());
  if (sizeable) {
    menu->addAction("&Dimensioneaza", this, [this] {
      if (QWindow* w = windowHandle()) w->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    });
  }
  if (canMin) menu->addAction("Mi&nimizeaza", this, [this] { showMinimized(); });
  if (canMax) menu->addAction("Ma&ximizeaza", this, [this] { showMaximized(); });
  menu->addSeparator();
  QAction* close = menu->addAction("&Inchide    ALT+F4", this, [this] { this->close(); });
  close->setEnabled(IsMainForm());
  return menu;
}

void TMForm::PopupSystemMenu(const QPoint& globalPos) {
  QMenu* menu = CreateSystemMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

}  // namespace ui
