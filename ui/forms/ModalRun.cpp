#include "ui/forms/ModalRun.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <vector>

#include "ui/forms/MForm.h"

namespace ui {

int RunModalOverForms(QDialog& dialog) {
  std::vector<QPointer<QWidget>> disabled;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w != &dialog && w->isVisible() && w->isEnabled() && qobject_cast<TMForm*>(w)) {
      w->setEnabled(false);
      disabled.emplace_back(w);
    }
  }
  // Modal in the dialog's own eyes (its buttons end it), yet blocking no other window: a
  // window-modal dialog without a parent window blocks nothing, the disabling does the rest.
  if (!dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
  QEventLoop loop;
  QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  if (dialog.isVisible()) loop.exec(QEventLoop::DialogExec);
  // Re-enabled in reverse order, so the form under the dialog is the one that ends up active.
  for (auto it = disabled.rbegin(); it != disabled.rend(); ++it)
    if (*it) (*it)->setEnabled(true);
  return dialog.result();
}

}  // namespace ui
