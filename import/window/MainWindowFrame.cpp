// The frame of the main window: title bar, company list, file panel, notebook, progress panel
// and the bottom row of buttons; and the wiring of every control to its handler.
#include <QLabel>
#include <algorithm>

#include "import/Settings.h"
#include "import/window/MainImportPret.h"
#include "import/window/WindowBuilders.h"
#include "ui/store/SystemColors.h"

namespace imp {
namespace {

using window::Markup;
using window::SetColor;

constexpr ui::TColor kPanelGrey = 10263709;  // Panel1
constexpr int kClientWidth = 683;
// The bottom row: buttons from the right edge leftwards, the progress panel left of them.
constexpr int kRowTop = 634;
constexpr int kRowHeight = 34;
constexpr int kRowRight = kClientWidth - 9;
constexpr int kRowLeft = 8;
constexpr int kRowGap = 8;

}  // namespace

void TEMainImportPret::BuildFrame() {
  titleBar_ = new ui::TTitleBar(this);
  titleBar_->setObjectName("TitleBar1");
  titleBar_->SetCaption("Import preturi  de vanzare");
  titleBar_->SetAlign(ui::alTop);

  companyCaption_ = new QLabel("Firma curenta", this);
  companyCaption_->setObjectName("Label4");
  SetColor(companyCaption_, QPalette::WindowText, ui::ToQColor(ui::clMaroon));
  companyCaption_->setGeometry(12, 38, 112, 18);
  companyList_ = new TSortedComboBox(this);
  companyList_->setObjectName("LFirme");
  companyList_->setGeometry(126, 35, 220, 22);
  monthLabel_ = new QLabel(this);
  monthLabel_->setObjectName("FLunaCurenta");
  monthLabel_->setGeometry(350, 38, 200, 18);

  fileNamePanel_ = new QFrame(this);
  fileNamePanel_->setObjectName("Panel1");
  fileNamePanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  SetColor(fileNamePanel_, QPalette::Window, ui::ToQColor(kPanelGrey));
  fileNamePanel_->setGeometry(8, 64, kClientWidth - 16, 28);
  fileNameLabel_ = Markup(fileNamePanel_, "NumeFis", "%Fisier importat : ", 8, 5);
  fileNameLabel_->SetFontColor(ui::clWhite);
  fileNameLabel_->SetShadowColor(ui::clBlack);

  notebook_ = new QTabWidget(this);
  notebook_->setObjectName("TBN");
  notebook_->setGeometry(8, 98, kClientWidth - 16, 526);
  auto* settingsPage = new QWidget;
  auto* messagesPage = new QWidget;
  auto* previewPage = new QWidget;
  AddNotebookPage(settingsPage, "&1.Setari import");
  AddNotebookPage(messagesPage, "&2.Mesaje sesiune import");
  AddNotebookPage(previewPage, "&3.Previzualizare");
  BuildSettingsPage(settingsPage);
  BuildMessagesPage(messagesPage);
  BuildPreviewPage(previewPage);

  progressPanel_ = new QFrame(this);
  progressPanel_->setObjectName("PInfoPrel");
  SetColor(progressPanel_, QPalette::Window, Qt::black);
  progressTitle_ = Markup(progressPanel_, "FmtLabel1", "Prelucrez :", 10, 9);
  progressTitle_->SetFontColor(ui::clYellow);
  progressLine_ = Markup(progressPanel_, "FLinia", "Linia", 110, 9);
  progressLine_->SetFontColor(ui::clAqua);
  progressPanel_->hide();

  startButton_ = new ui::TNiceButton(this);
  startButton_->setObjectName("NiceButton1");
  startButton_->SetKind(ui::mkOK);
  startButton_->SetCaption("&Start import");
  startButton_->resize(150, kRowHeight);
  exitButton_ = new ui::TNiceButton(this);
  exitButton_->setObjectName("NiceButton2");
  exitButton_->SetKind(ui::mkCancel);
  exitButton_->SetCaption("I&esire");
  exitButton_->SetModalResult(0);  // closes the program through its handler, not as a dialog
  exitButton_->resize(120, kRowHeight);
  checkButton_ = new ui::TNiceButton(this);
  checkButton_->setObjectName("BVerifica");
  checkButton_->SetKind(ui::mkView);
  checkButton_->SetCaption("&Verifica");
  checkButton_->resize(120, kRowHeight);
  actionButtons_ = {checkButton_, startButton_, exitButton_};
  LayOutActionButtons();
}

int TEMainImportPret::AddNotebookPage(QWidget* page, const QString& caption) {
  // The pages have the face colour of the window, as the notebook pages of the design.
  SetColor(page, QPalette::Window, ui::ToQColor(ui::clBtnFace));
  return notebook_->addTab(page, caption);
}

void TEMainImportPret::AddActionButton(ui::TNiceButton* button) {
  button->setParent(this);
  if (button->height() != kRowHeight) button->resize(button->width(), kRowHeight);
  const auto start = std::find(actionButtons_.begin(), actionButtons_.end(), checkButton_);
  actionButtons_.insert(start, button);
  LayOutActionButtons();
  button->show();
}

void TEMainImportPret::LayOutActionButtons() {
  int right = kRowRight;
  for (auto it = actionButtons_.rbegin(); it != actionButtons_.rend(); ++it) {
    (*it)->move(right - (*it)->width(), kRowTop);
    right -= (*it)->width() + kRowGap;
  }
  // The progress panel ends before the first button, so no glyph is covered during a run.
  progressPanel_->setGeometry(kRowLeft, kRowTop, std::max(0, right - kRowLeft), kRowHeight);
}

void TEMainImportPret::ConnectHandlers() {
  connect(companyList_, &QComboBox::activated, this,
          [this] { Guarded([this] { LFirmeChange(); }); });
  driveList_->OnChange = [this] { Guarded([this] { DriveComboBox1Change(); }); };
  folderList_->OnChange = [this] { Guarded([this] { DirectoryListBox1Change(); }); };
  filterList_->OnChange = [this] { Guarded([this] { FilterComboBox1Change(); }); };
  fileList_->OnChange = [this] { Guarded([this] { ShowFileName(); }); };
  auto writeOnChange = [this](QSpinBox* spin, const char* key) {
    connect(spin, &QSpinBox::valueChanged, this, [this, key](int value) {
      Guarded([&] { WriteSetting(kGeneralSection, key, std::to_string(value)); });
    });
  };
  writeOnChange(idColumnEdit_, "ColCodArt");
  writeOnChange(priceColumnEdit_, "ColPret");
  writeOnChange(startRowEdit_, "RandStart");
  priceKindGroup_->OnClick = [this](QObject*) {
    Guarded([this] {
      WriteSetting(kGeneralSection, "TipPret", std::to_string(priceKindGroup_->ItemIndex()));
    });
  };
  identifyGroup_->OnClick = [this](QObject*) {
    Guarded([this] {
      WriteSetting(kGeneralSection, "ArtIdentif", std::to_string(identifyGroup_->ItemIndex()));
    });
  };
  producerGroup_->OnClick = [this](QObject*) {
    producerList_->setVisible(producerGroup_->ItemIndex() == 1);
  };
  producerList_->OnDropDown = [this] { Guarded([this] { LProducatorDropDown(); }); };
  categoryList_->OnDropDown = [this] { Guarded([this] { LCatPretDropDown(); }); };
  startButton_->OnClick = [this](QObject*) { Guarded([this] { NiceButton1Click(); }); };
  checkButton_->OnClick = [this](QObject*) { Guarded([this] { BVerificaClick(); }); };
  previewStartButton_->OnClick = [this](QObject*) { Guarded([this] { BStartPrevClick(); }); };
  undoButton_->OnClick = [this](QObject*) { Guarded([this] { BAnulareClick(); }); };
  connect(thresholdEdit_, &QDoubleSpinBox::valueChanged, this,
          [this](double percent) { Guarded([&] { ThresholdChanged(percent); }); });
  exitButton_->OnClick = [this](QObject*) { CloseByProgram(); };
  saveErrorsButton_->OnClick = [this](QObject*) { Guarded([this] { MSaveErrClick(); }); };
  connect(notebook_, &QTabWidget::currentChanged, this, [this](int page) { TBNChange(page); });
}

}  // namespace imp
