// Creation and start-up of the main window, the running state of an import and the handler
// of "&Start import" (the run itself: PreviewPage.cpp).
#include "import/window/MainImportPret.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QScreen>
#include <exception>

#include "import/ImportRun.h"
#include "import/Settings.h"
#include "import/window/PlanTableModel.h"
#include "import/window/WindowBuilders.h"
#include "platform/Formats.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/markup/Markup.h"
#include "ui/store/Fonts.h"

namespace imp {
namespace {

constexpr int kClientWidth = 683;
constexpr int kClientHeight = 679;

}  // namespace

void ShowGeneralError(const std::string& text) {
  ui::ShowMessageDlg(ui::EscapeMarkup(text), std::nullopt, ui::dkError, ui::taCenter,
                     ui::MsgButtons({ui::mbtOK}), ui::mbtOK, 0);
}

TEMainImportPret::TEMainImportPret(QWidget* parent) : ui::TDBEditForm(parent) {
  setObjectName("EMainImportPret");
  // The program's main window: a normal top-level window (a taskbar entry, no owner), not a
  // dialog, of one fixed size.
  setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
  setWindowTitle("Import comenzi din fisiere EXCEL");  // the design caption; Loaded() replaces it
  setFont(ui::FontByName("MS Sans Serif", 13, true));
  setFixedSize(kClientWidth, kClientHeight);
  BuildFrame();
  ConnectHandlers();
  Loaded();
  FormCreate();
}

TEMainImportPret::~TEMainImportPret() = default;

void TEMainImportPret::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowGeneralError(e.what());
  }
}

// Start-up: first page, the program's formats, the data root, the companies, the settings.
void TEMainImportPret::FormCreate() {
  notebook_->setCurrentIndex(0);
  platform::FixProgramFormats();
  // The threshold shows the program's decimal separator, as every price does.
  QLocale numbers = platform::Formats().DecimalSeparator == ','
                        ? QLocale(QLocale::Romanian, QLocale::Romania)
                        : QLocale::c();
  numbers.setNumberOptions(QLocale::OmitGroupSeparator);
  thresholdEdit_->setLocale(numbers);
  // Without a usable alias there is no data root: the company list stays empty rather than
  // show the companies of whatever folder the program was started in.
  const AliasFolder alias = FindAliasFolder("Tarvex");
  state_.DataRoot = alias.Path;
  if (alias.Problem.empty())
    Guarded([this] { LoadCompanyList(); });
  else
    ShowGeneralError(alias.Problem);
  Guarded([this] { LoadSettings(); });
}

void TEMainImportPret::setVisible(bool visible) {
  // Centred on the screen, as the design places it, before the window is mapped: a move made
  // while it is being shown can leave the toolkit with a stale window position under a window
  // manager, and pop-ups and mapped points then land at the screen's corner.
  if (visible && !shownOnce_)
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
      const QRect area = s->geometry();
      move(area.x() + (area.width() - frameGeometry().width()) / 2,
           area.y() + (area.height() - frameGeometry().height()) / 2);
    }
  ui::TDBEditForm::setVisible(visible);
}

void TEMainImportPret::showEvent(QShowEvent* event) {
  ui::TDBEditForm::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  Guarded([this] { FilterComboBox1Change(); });
}

void TEMainImportPret::changeEvent(QEvent* event) {
  ui::TDBEditForm::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    Guarded([this] { RefreshFileList(); });
}

void TEMainImportPret::SyncState() {
  using window::S;
  state_.SelectedCompany = companyList_->currentIndex() >= 0 ? S(companyList_->currentText()) : "";
  state_.FileName = std::filesystem::path(S(fileList_->FileName()));
  state_.IdColumn = idColumnEdit_->value();
  state_.PriceColumn = priceColumnEdit_->value();
  state_.StartRow = startRowEdit_->value();
  state_.PriceKindIndex = priceKindGroup_->ItemIndex();
  state_.Identification = identifyGroup_->ItemIndex();
  state_.ProducerRestriction = producerGroup_->ItemIndex() == 1;
  state_.ProducerName = S(producerList_->currentText());
  state_.PriceCategories.clear();
  for (int i = 0; i < categoryList_->count(); ++i)
    state_.PriceCategories.push_back(
        {S(categoryList_->itemText(i)),
         static_cast<std::int16_t>(categoryList_->itemData(i).toInt())});
  state_.SelectedPriceCategory = categoryList_->currentIndex();
}

void TEMainImportPret::SyncTypedState() {
  // A value being typed into a column field counts as the field is left.
  for (QSpinBox* spin :
       {static_cast<QSpinBox*>(idColumnEdit_), static_cast<QSpinBox*>(priceColumnEdit_),
        static_cast<QSpinBox*>(startRowEdit_)})
    spin->interpretText();
  SyncState();
}

// While a run is going on, the window keeps its choices and cannot be closed or restarted.
void TEMainImportPret::SetRunning(bool running) {
  running_ = running;
  for (ui::TNiceButton* button : actionButtons_) button->setEnabled(!running);
  for (int page = 0; page < notebook_->count(); ++page)
    if (page != kMessagesPage) notebook_->widget(page)->setEnabled(!running);
  companyList_->setEnabled(!running);
}

void TEMainImportPret::NiceButton1Click() {
  if (running_) return;
  SyncTypedState();
  if (!CheckImportSettings(state_, *this)) return;
  RunRecorded(false);
}

void TEMainImportPret::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  ui::TDBEditForm::closeEvent(event);
}

}  // namespace imp
