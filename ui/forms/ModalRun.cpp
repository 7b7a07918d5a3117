#include "ui/forms/ModalRun.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <vector>

#include "ui/forms/MForm.h"
#include "ui/forms/WindowManagerHints.h"

namespace ui {

int RunModalOverForms(QDialog& dialog) {
  // The dialog belongs to the window it is shown over, which is known before any is disabled.
  QWidget* owner = dialog.parentWidget() ? nullptr : DialogOwnerWindow(&dialog);
  std::vector<QPointer<QWidget>> disabled;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w != &dialog && w->isVisible() && w->isEnabled() && qobject_cast<TMForm*>(w)) {
      w->setEnabled(false);
      disabled.emplace_back(w);
    }
  }
  // Modal in the dialog's own eyes (its buttons end it), yet blocking no other window in the
  // toolkit: a window-modal dialog without a parent window blocks nothing, so the right press
  // over the disabled forms still reaches the watch. The disabling does the rest; the window
  // manager learns the owner and the modality from the hints given once it is shown.
  if (!dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
  QEventLoop loop;
  QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  PrepareDialogFrame(dialog);
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  MarkShownDialogModal(dialog, owner);
  if (dialog.isVisible()) loop.exec(QEventLoop::DialogExec);
  // Re-enabled in reverse order, so the form under the dialog is the one that ends up active.
  for (auto it = disabled.rbegin(); it != disabled.rend(); ++it)
    if (*it) (*it)->setEnabled(true);
  return dialog.result();
}

}  // namespace ui
