#include "import/window/MainImportPret.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "import/CompanyData.h"
#include "import/ErrorList.h"
#include "import/ImportRun.h"
#include "import/Settings.h"
#include "import/window/LayoutControls.h"
#include "platform/Formats.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/markup/Markup.h"
#include "ui/store/Fonts.h"
#include "ui/store/SystemColors.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

constexpr ui::TColor kPanelGrey = 10263709;  // Panel1
constexpr int kClientWidth = 683;
constexpr int kClientHeight = 679;
constexpr int kRoleFillIndex = Qt::UserRole + 1;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

bool FolderExists(const fs::path& p) {
  std::error_code ec;
  return !p.empty() && fs::is_directory(p, ec);
}

// A widget that paints its background in `color` (role Window) or its text (role Text).
void SetColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
  if (role == QPalette::Window) widget->setAutoFillBackground(true);
}

QFrame* Group(QWidget* page, const QRect& geometry) {
  auto* frame = new QFrame(page);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(geometry);
  return frame;
}

ui::TFmtLabel* Markup(QWidget* parent, const char* name, const QString& caption, int x, int y) {
  auto* label = new ui::TFmtLabel(parent);
  label->setObjectName(name);
  label->SetTransparent(true);
  label->SetCaption(caption);
  label->move(x, y);
  return label;
}

QSpinBox* Spin(QWidget* parent, const char* name, int x, int y) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(0, 100);
  spin->setValue(0);
  spin->setGeometry(x, y, 56, 22);
  return spin;
}

ui::TMRadioGroup* Radio(QWidget* parent, const char* name, const QStringList& items, int columns,
                        const QRect& geometry) {
  auto* group = new ui::TMRadioGroup(parent);
  group->setObjectName(name);
  group->BeginReading();
  group->SetColumns(columns);
  group->SetItems(items);
  group->SetItemIndex(0);
  group->EndReading();
  group->setGeometry(geometry);
  return group;
}

}  // namespace

int TSortedComboBox::AddSorted(const QString& text, const QVariant& data) {
  int at = 0;
  while (at < count() && QString::localeAwareCompare(itemText(at), text) <= 0) ++at;
  insertItem(at, text, data);
  return at;
}

void TSortedComboBox::showPopup() {
  if (OnDropDown) OnDropDown();
  QComboBox::showPopup();
}

void ShowGeneralError(const std::string& text) {
  ui::ShowMessageDlg(ui::EscapeMarkup(text), std::nullopt, ui::dkError, ui::taCenter,
                     ui::MsgButtons({ui::mbtOK}), ui::mbtOK, 0);
}

TEMainImportPret::TEMainImportPret(QWidget* parent) : ui::TDBEditForm(parent) {
  setObjectName("EMainImportPret");
  setWindowTitle("Import comenzi din fisiere EXCEL");  // the design caption; Loaded() replaces it
  setFont(ui::FontByName("MS Sans Serif", 13, true));
  setFixedSize(kClientWidth, kClientHeight);
  BuildControls();
  Loaded();
  FormCreate();
}

TEMainImportPret::~TEMainImportPret() = default;

void TEMainImportPret::BuildControls() {
  TitleBar1 = new ui::TTitleBar(this);
  TitleBar1->setObjectName("TitleBar1");
  TitleBar1->SetCaption("Import preturi  de vanzare");
  TitleBar1->SetAlign(ui::alTop);

  Label4 = new QLabel("Firma curenta", this);
  Label4->setObjectName("Label4");
  Label4->setStyleSheet("color: #800000;");
  Label4->setGeometry(12, 38, 100, 18);
  LFirme = new TSortedComboBox(this);
  LFirme->setObjectName("LFirme");
  LFirme->setGeometry(126, 35, 220, 22);
  FLunaCurenta = new QLabel(this);
  FLunaCurenta->setObjectName("FLunaCurenta");
  FLunaCurenta->setGeometry(350, 38, 200, 18);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  SetColor(Panel1, QPalette::Window, ui::ToQColor(kPanelGrey));
  Panel1->setGeometry(8, 64, kClientWidth - 16, 28);
  NumeFis = Markup(Panel1, "NumeFis", "%Fisier importat : ", 8, 5);
  NumeFis->SetFontColor(ui::clWhite);
  NumeFis->SetShadowColor(ui::clBlack);

  TBN = new QTabWidget(this);
  TBN->setObjectName("TBN");
  TBN->setGeometry(8, 98, kClientWidth - 16, 526);
  auto* settingsPage = new QWidget;
  auto* messagesPage = new QWidget;
  // The pages have the face colour of the window, as the notebook pages of the design.
  for (QWidget* page : {settingsPage, messagesPage})
    SetColor(page, QPalette::Window, ui::ToQColor(ui::clBtnFace));
  TBN->addTab(settingsPage, "&1.Setari import");
  TBN->addTab(messagesPage, "&2.Mesaje sesiune import");
  BuildSettingsPage(settingsPage);
  BuildMessagesPage(messagesPage);

  PInfoPrel = new QFrame(this);
  PInfoPrel->setObjectName("PInfoPrel");
  SetColor(PInfoPrel, QPalette::Window, Qt::black);
  PInfoPrel->setGeometry(8, 634, 420, 34);
  FmtLabel1 = Markup(PInfoPrel, "FmtLabel1", "Prelucrez :", 10, 9);
  FmtLabel1->SetFontColor(ui::clYellow);
  FLinia = Markup(PInfoPrel, "FLinia", "Linia", 110, 9);
  FLinia->SetFontColor(ui::clAqua);
  PInfoPrel->hide();

  NiceButton1 = new ui::TNiceButton(this);
  NiceButton1->setObjectName("NiceButton1");
  NiceButton1->SetKind(ui::mkOK);
  NiceButton1->SetCaption("&Start import");
  NiceButton1->setGeometry(396, 634, 150, 34);
  NiceButton2 = new ui::TNiceButton(this);
  NiceButton2->setObjectName("NiceButton2");
  NiceButton2->SetKind(ui::mkCancel);
  NiceButton2->SetCaption("I&esire");
  NiceButton2->SetModalResult(0);  // closes the program through its handler, not as a dialog
  NiceButton2->setGeometry(554, 634, 120, 34);

  LFirme->OnDropDown = nullptr;
  connect(LFirme, &QComboBox::activated, this, [this] { Guarded([this] { LFirmeChange(); }); });
  DriveComboBox1->OnChange = [this] { Guarded([this] { DriveComboBox1Change(); }); };
  DirectoryListBox1->OnChange = [this] { Guarded([this] { DirectoryListBox1Change(); }); };
  FilterComboBox1->OnChange = [this] { Guarded([this] { FilterComboBox1Change(); }); };
  FileListBox1->OnChange = [this] { Guarded([this] { ShowFileName(); }); };
  auto writeOnChange = [this](QSpinBox* spin, const char* key) {
    connect(spin, &QSpinBox::valueChanged, this, [this, key](int value) {
      Guarded([&] { WriteSetting(kGeneralSection, key, std::to_string(value)); });
    });
  };
  writeOnChange(SCodArt, "ColCodArt");
  writeOnChange(SPret, "ColPret");
  writeOnChange(SRandStart, "RandStart");
  MTipPret->OnClick = [this](QObject*) {
    Guarded([this] {
      WriteSetting(kGeneralSection, "TipPret", std::to_string(MTipPret->ItemIndex()));
    });
  };
  MArtIdentif->OnClick = [this](QObject*) {
    Guarded([this] {
      WriteSetting(kGeneralSection, "ArtIdentif", std::to_string(MArtIdentif->ItemIndex()));
    });
  };
  MProducator->OnClick = [this](QObject*) {
    LProducator->setVisible(MProducator->ItemIndex() == 1);
  };
  LProducator->OnDropDown = [this] { Guarded([this] { LProducatorDropDown(); }); };
  LCatPret->OnDropDown = [this] { Guarded([this] { LCatPretDropDown(); }); };
  NiceButton1->OnClick = [this](QObject*) { Guarded([this] { NiceButton1Click(); }); };
  NiceButton2->OnClick = [this](QObject*) { CloseByProgram(); };
  MSaveErr->OnClick = [this](QObject*) { Guarded([this] { MSaveErrClick(); }); };
  connect(TBN, &QTabWidget::currentChanged, this, [this](int page) { TBNChange(page); });
}

void TEMainImportPret::BuildSettingsPage(QWidget* page) {
  // "Structura fisierului Excel": the three positions in the workbook.
  QFrame* structure = Group(page, QRect(6, 6, 651, 112));
  FmtLabel3 = Markup(structure, "FmtLabel3", "%Structura fisierului Excel", 10, 6);
  FmtLabel4 =
      Markup(structure, "FmtLabel4", "@9Identificatorul de Articol@0 se afla pe coloana", 20, 32);
  SCodArt = Spin(structure, "SCodArt", 400, 29);
  FmtLabel5 = Markup(structure, "FmtLabel5", "@9Pretul@0 se afla pe coloana", 20, 58);
  SPret = Spin(structure, "SPret", 400, 55);
  FmtLabel6 =
      Markup(structure, "FmtLabel6", "Informatiile despre @9Preturi incep @0cu randul", 20, 84);
  SRandStart = Spin(structure, "SRandStart", 400, 81);

  // How prices and articles are read, and which articles the update touches.
  QFrame* options = Group(page, QRect(6, 124, 651, 150));
  FmtLabel7 = Markup(options, "FmtLabel7", "@9Pretul@0  importat se exprima in ", 10, 10);
  MTipPret = Radio(options, "MTipPret", {" LEI", " VALUTA"}, 2, QRect(300, 6, 240, 24));
  FmtLabel8 = Markup(options, "FmtLabel8", "@9Articolele@0 se identifica prin", 10, 44);
  MArtIdentif = Radio(options, "MArtIdentif", {"  CODEXTERN", "  CODINTERN", "  DENUMIRE"}, 3,
                      QRect(10, 64, 420, 24));
  FmtLabel9 = Markup(options, "FmtLabel9", "Preturile vor actualiza nomenclatorul", 10, 98);
  MProducator = Radio(options, "MProducator",
                      {"  Indiferent de producator", "  Doar pentru producatorul ..."}, 2,
                      QRect(10, 118, 450, 24));
  LProducator = new TSortedComboBox(options);
  LProducator->setObjectName("LProducator");
  LProducator->setGeometry(466, 118, 176, 22);
  LProducator->hide();

  // The price category written for articles with several prices.
  QFrame* category = Group(page, QRect(6, 280, 651, 60));
  FmtLabel10 = Markup(category, "FmtLabel10",
                      "La articolele care au definite Preturi Multiple modificarea afecteaza "
                      "categoria de pret :",
                      10, 8);
  LCatPret = new TSortedComboBox(category);
  LCatPret->setObjectName("LCatPret");
  LCatPret->setGeometry(10, 30, 300, 22);

  // "Selectare fisier Excel": drive, folder, filter and file lists.
  QFrame* files = Group(page, QRect(6, 346, 651, 146));
  FmtLabel2 = Markup(files, "FmtLabel2", "%Selectare fisier Excel", 10, 6);
  FileListBox1 = new TFileListBox(files);
  FileListBox1->setObjectName("FileListBox1");
  FileListBox1->SetMask("*.xls");
  FileListBox1->setGeometry(10, 44, 250, 94);
  DirectoryListBox1 = new TDirectoryListBox(files);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  DirectoryListBox1->setGeometry(270, 44, 200, 94);
  FilterComboBox1 = new TFilterComboBox(files);
  FilterComboBox1->setObjectName("FilterComboBox1");
  FilterComboBox1->SetFilter("Fisiere import (*.xls)|*.xls");
  FilterComboBox1->setGeometry(480, 44, 162, 22);
  DriveComboBox1 = new TDriveComboBox(files);
  DriveComboBox1->setObjectName("DriveComboBox1");
  DriveComboBox1->setGeometry(480, 94, 162, 22);

  auto active = [files](const char* name, const QString& caption, QWidget* control, int x, int y) {
    auto* label = new ui::TActiveLabel(files);
    label->setObjectName(name);
    label->SetCaption(caption);
    label->SetFocusControl(control);
    label->SetAutosize(true);
    label->move(x, y);
    return label;
  };
  ActiveLabel1 = active("ActiveLabel1", "&Nume fisiere", FileListBox1, 10, 26);
  ActiveLabel2 = active("ActiveLabel2", "&Directoare", DirectoryListBox1, 270, 26);
  ActiveLabel4 = active("ActiveLabel4", "&Filtru", FilterComboBox1, 480, 26);
  ActiveLabel3 = active("ActiveLabel3", "&Unitati disc", DriveComboBox1, 480, 76);
  // Like the classic folder list, the lists start in the current folder.
  const QString start = QDir::currentPath();
  DriveComboBox1->blockSignals(true);
  DriveComboBox1->SetDrive(RootOf(start, MountedRoots()));
  DriveComboBox1->blockSignals(false);
  try {
    DirectoryListBox1->SetDirectory(start);
  } catch (const std::exception&) {
    // an unreadable current folder leaves the list empty until the user picks one
  }
  Layout = new TLayoutControls(*this, page);
}

void TEMainImportPret::BuildMessagesPage(QWidget* page) {
  MSaveErr = new ui::TNiceButton(page);
  MSaveErr->setObjectName("MSaveErr");
  MSaveErr->SetKind(ui::mkSave);
  MSaveErr->SetCaption("Salveaza lista erori");
  MSaveErr->setGeometry(6, 6, 220, 34);
  MSaveErr->hide();
  MErori = new QPlainTextEdit(page);
  MErori->setObjectName("MErori");
  MErori->setReadOnly(true);
  MErori->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MErori->setLineWrapMode(QPlainTextEdit::NoWrap);
  MErori->setFont(ui::FontByName("MS Sans Serif", 13, true));
  SetColor(MErori, QPalette::Text, Qt::red);
  MErori->setGeometry(6, 44, 645, 446);
}

void TEMainImportPret::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowGeneralError(e.what());
  }
}

// Start-up: first page, the program's formats, the data root, the companies, the settings.
void TEMainImportPret::FormCreate() {
  TBN->setCurrentIndex(0);
  platform::FixProgramFormats();
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

void TEMainImportPret::showEvent(QShowEvent* event) {
  ui::TDBEditForm::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  Guarded([this] { FilterComboBox1Change(); });
}

void TEMainImportPret::LoadCompanyList() {
  LFirme->clear();
  for (const std::string& name : imp::LoadCompanyList(state_.DataRoot)) LFirme->AddSorted(Q(name));
  LFirme->setCurrentIndex(-1);
}

void TEMainImportPret::LoadSettings() {
  const GeneralSettings general = ReadGeneralSettings();
  if (!general.FirmaCurenta.empty() && !state_.DataRoot.empty() &&
      FolderExists(state_.DataRoot / general.FirmaCurenta)) {
    const int index = LFirme->findText(Q(general.FirmaCurenta));
    if (index >= 0) LFirme->setCurrentIndex(index);
    SelectCompany(general.FirmaCurenta);
    LoadCompanySettings();
  }
  // The spin edits hold their values to 0-100; a value they change is written back.
  SCodArt->setValue(general.ColCodArt);
  SPret->setValue(general.ColPret);
  SRandStart->setValue(general.RandStart);
  if (general.TipPret >= 0 && general.TipPret < 2) MTipPret->SetItemIndex(general.TipPret);
  if (general.ArtIdentif >= 0 && general.ArtIdentif < 3)
    MArtIdentif->SetItemIndex(general.ArtIdentif);
}

void TEMainImportPret::LFirmeChange() {
  const std::string name = S(LFirme->currentText());
  if (LFirme->currentIndex() < 0 || !FolderExists(state_.DataRoot / name)) return;
  WriteSetting(kGeneralSection, "FirmaCurenta", name);
  SelectCompany(name);
  LoadCompanySettings();
}

void TEMainImportPret::SelectCompany(const std::string& name) {
  if (name == state_.CurrentCompany) return;
  state_.CurrentCompany = name;
  state_.CompanyFolder = state_.DataRoot / name;
  // The lists of the previous company must not offer its producers and categories here.
  LProducator->clear();
  LCatPret->clear();
  const std::string stored = ReadSetting(name, "FisierImport");
  if (stored.empty()) return;
  const QString path = Q(stored);
  if (QDir::isAbsolutePath(path)) {
    programmaticDriveChange_ = true;
    try {
      DriveComboBox1->SetDrive(RootOf(path, MountedRoots()));
    } catch (...) {
      programmaticDriveChange_ = false;
      throw;
    }
    programmaticDriveChange_ = false;
  }
  const QFileInfo info(path);
  if (QFileInfo(info.absolutePath()).isDir()) DirectoryListBox1->SetDirectory(info.absolutePath());
  if (info.isFile()) FileListBox1->SetFileName(info.absoluteFilePath());
}

void TEMainImportPret::LoadCompanySettings() {
  const CompanySettings company = ReadCompanySettings(S(LFirme->currentText()));
  state_.PriceCategoryCode = company.CodCatPret;
  state_.PriceCategoryName = company.DenCatPret;
  FillPriceCategories(company.CodCatPret);
  if (Layout) Layout->CompanyChanged();
}

void TEMainImportPret::FillPriceCategories(int codeToSelect) {
  const auto fill = LoadPriceCategories(state_.CurrentCompany, state_.CompanyFolder, codeToSelect);
  if (!fill.ErrorMessage.empty()) {
    ShowMessage(fill.ErrorMessage, MessageKind::dkError);
    return;
  }
  for (int i = 0; i < static_cast<int>(fill.Items.size()); ++i) {
    const int at = LCatPret->AddSorted(Q(fill.Items[i].Name), int(fill.Items[i].Code));
    LCatPret->setItemData(at, i, kRoleFillIndex);
  }
  int selected = -1;
  for (int i = 0; i < LCatPret->count(); ++i)
    if (fill.Selected >= 0 && LCatPret->itemData(i, kRoleFillIndex).toInt() == fill.Selected)
      selected = i;
  LCatPret->setCurrentIndex(selected);
}

void TEMainImportPret::LProducatorDropDown() {
  if (LProducator->count() > 0) return;
  const auto fill = LoadProducers(state_.CurrentCompany, state_.CompanyFolder);
  if (!fill.ErrorMessage.empty()) {
    ShowMessage(fill.ErrorMessage, MessageKind::dkError);
    return;
  }
  for (const std::string& name : fill.Items) LProducator->AddSorted(Q(name));
}

void TEMainImportPret::LCatPretDropDown() {
  if (LCatPret->count() == 0) FillPriceCategories(-1);
}

void TEMainImportPret::DriveComboBox1Change() {
  try {
    DirectoryListBox1->SetDirectory(DriveComboBox1->Drive());
    ShowFileName();
  } catch (const std::exception&) {
    if (!programmaticDriveChange_)
      ShowMessage(" Nu pot accesa unitatea &12@15% " + ui::EscapeMarkup(S(DriveComboBox1->Drive())),
                  MessageKind::dkError);
  }
}

void TEMainImportPret::DirectoryListBox1Change() {
  FileListBox1->SetDirectory(DirectoryListBox1->Directory());
  if (FileListBox1->count() > 0) FileListBox1->setCurrentRow(0);
  ShowFileName();
}

void TEMainImportPret::FilterComboBox1Change() {
  FileListBox1->SetMask(FilterComboBox1->Mask());
  FileListBox1->SetDirectory(DirectoryListBox1->Directory());
  if (FileListBox1->count() > 0) FileListBox1->setCurrentRow(0);
  ShowFileName();
}

void TEMainImportPret::ShowFileName() {
  NumeFis->SetCaption("%Fisier importat : " +
                      Q(ui::EscapeMarkup(S(FileListBox1->FileName().toLower()))));
  if (Layout) Layout->FileChanged();
}

void TEMainImportPret::SyncState() {
  state_.SelectedCompany = LFirme->currentIndex() >= 0 ? S(LFirme->currentText()) : "";
  state_.FileName = fs::path(S(FileListBox1->FileName()));
  state_.IdColumn = SCodArt->value();
  state_.PriceColumn = SPret->value();
  state_.StartRow = SRandStart->value();
  state_.PriceKindIndex = MTipPret->ItemIndex();
  state_.Identification = MArtIdentif->ItemIndex();
  state_.ProducerRestriction = MProducator->ItemIndex() == 1;
  state_.ProducerName = S(LProducator->currentText());
  state_.PriceCategories.clear();
  for (int i = 0; i < LCatPret->count(); ++i)
    state_.PriceCategories.push_back(
        {S(LCatPret->itemText(i)), static_cast<std::int16_t>(LCatPret->itemData(i).toInt())});
  state_.SelectedPriceCategory = LCatPret->currentIndex();
}

// While a run is going on, the window keeps its choices and cannot be closed or restarted.
void TEMainImportPret::SetRunning(bool running) {
  running_ = running;
  NiceButton1->setEnabled(!running);
  NiceButton2->setEnabled(!running);
  TBN->widget(0)->setEnabled(!running);
  LFirme->setEnabled(!running);
}

void TEMainImportPret::NiceButton1Click() {
  if (running_) return;
  SyncState();
  if (!CheckImportSettings(state_, *this)) return;
  SetRunning(true);
  try {
    RunImport(state_, *this);
  } catch (...) {
    SetRunning(false);
    throw;
  }
  SetRunning(false);
}

void TEMainImportPret::MSaveErrClick() {
  std::vector<std::string> lines;
  const QStringList text = MErori->toPlainText().split('\n');
  if (MErori->document()->isEmpty()) return;
  for (const QString& line : text) lines.push_back(S(line));
  const fs::path file = ErrorListPath();
  SaveErrorLines(file, lines);
  ShowMessage(ErrorListSavedMessage(file), MessageKind::dkInformation);
}

void TEMainImportPret::TBNChange(int newPage) {
  if (newPage == kMessagesPage) MSaveErr->setVisible(ErrorLineCount() > 0);
}

void TEMainImportPret::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  ui::TDBEditForm::closeEvent(event);
}

void TEMainImportPret::ShowMessage(const std::string& markup, MessageKind kind) {
  ui::ShowMessageDlg(markup, std::nullopt, static_cast<ui::TDlgKind>(kind), ui::taCenter,
                     ui::MsgButtons({ui::mbtOK}), ui::mbtOK, 0);
}

void TEMainImportPret::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else if (QApplication::overrideCursor())
    QApplication::restoreOverrideCursor();
}

void TEMainImportPret::ShowProgressPanel(bool visible) {
  PInfoPrel->setVisible(visible);
  if (visible) PInfoPrel->raise();
}

void TEMainImportPret::SetProgressCaption(const std::string& markup) {
  FLinia->SetCaption(Q(markup));
}

void TEMainImportPret::ClearErrorLines() {
  MErori->clear();
  errorLines_ = 0;
}

void TEMainImportPret::AddErrorLine(const std::string& line) {
  MErori->appendPlainText(Q(line));
  ++errorLines_;
}

int TEMainImportPret::ErrorLineCount() const {
  return errorLines_;
}

void TEMainImportPret::ShowPage(int page) {
  TBN->setCurrentIndex(page);
  TBNChange(page);  // also when the page was already showing
}

void TEMainImportPret::ProcessPendingMessages() {
  QCoreApplication::processEvents();
  if (OnRowProcessed) OnRowProcessed();
}

}  // namespace imp
