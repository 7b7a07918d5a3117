#pragma once
// TMForm: the frame behaviour every form of the program shares.
// - Its push buttons follow the form's enabled state: while a modal dialog covers the form they
//   are drawn disabled, afterwards they come back as they were, with the focus on the button
//   that had it.
// - A system menu with the Romanian entries; the close entry is disabled (so the window
//   manager's close request is swallowed) unless the form is a main form.
// - A right press over the form while a message dialog is the active window presses that
//   dialog's default button.
#include <QDialog>
#include <QPointer>

#include "ui/forms/ButtonList.h"

class QMenu;

namespace ui {

class TMForm : public QDialog {
  Q_OBJECT

 public:
  explicit TMForm(QWidget* parent = nullptr);
  ~TMForm() override;

  const TButtonList& ButtonList() const { return buttons_; }
  bool FirstShow() const { return firstShow_; }
  QPushButton* RememberedButton() const { return remembered_.data(); }

  // Forms of the main-form class keep their close entry; no form of this program is one.
  virtual bool IsMainForm() const { return false; }

  // The system menu's entries for this window: "&Restaureaza", "&Muta", "&Dimensioneaza",
  // "Mi&nimizeaza", "Ma&ximizeaza", "&Inchide    ALT+F4"; entries the window does not have
  // are absent. Built anew on each call; the caller owns it.
  QMenu* CreateSystemMenu();
  void PopupSystemMenu(const QPoint& globalPos);

  // Closes the form from the program itself (the close entry being disabled only stops the
  // user's close requests).
  void CloseByProgram();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

  // After the buttons were saved and disabled (false) or given back (true).
  virtual void FormEnabledChanged(bool enabled);

 private:
  void SaveAndDisableButtons();
  void RestoreButtons();

  TButtonList buttons_;
  bool firstShow_ = true;
  bool covered_ = false;  // buttons are saved and disabled
  bool closingByProgram_ = false;
  QPointer<QPushButton> remembered_;
  // The form's last focused control: disabling a form moves the focus away before the form
  // hears of it, so the button to give the focus back to is known from here.
  QPointer<QWidget> lastFocus_;
};

// The right-press watch: one application-wide filter, installed by the first TMForm.
void InstallRightPressWatch();

}  // namespace ui
