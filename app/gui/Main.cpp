// ImpPretExcel: the image store first, then the main window, then the message loop until that
// window closes.
#include <QApplication>
#include <exception>

#include "calculator/window/OpenCalculator.h"
#include "import/window/MainImportPret.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/forms/ModalRun.h"
#include "ui/store/ImageStore.h"

namespace {

// Failures that no handler reports itself end at the one general error display; they never
// unwind through Qt's event loop.
class ImpPretApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      imp::ShowGeneralError(e.what());
    } catch (...) {
      imp::ShowGeneralError("Eroare necunoscuta");
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  ImpPretApplication app(argc, argv);
  app.setApplicationName("ImpPretExcel");
  ui::DlgImageStore();  // the pictures every control draws from
  // Message dialogs disable the forms under them, so their buttons show it and a right press
  // over them answers the dialog.
  ui::SetMessageDlgRunner([](ui::TMessageForm& form) { return ui::RunModalOverForms(form); });
  ui::TTitleForm::CalculatorOpener() = [](QWidget*) { calculator::ShowCalculator(); };
  imp::TEMainImportPret window;
  window.show();
  return app.exec();
}
