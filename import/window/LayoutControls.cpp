#include "import/window/LayoutControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <exception>
#include <filesystem>

#include "import/CompanyData.h"
#include "import/HeaderDetect.h"
#include "import/NumberText.h"
#include "import/window/MainImportPret.h"
#include "ui/buttons/NiceButton.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/markup/Markup.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

void ShowError(const std::string& markup) {
  ui::ShowMessageDlg(markup, std::nullopt, ui::dkError, ui::taCenter, ui::MsgButtons({ui::mbtOK}),
                     ui::mbtOK, 0);
}

ui::TNiceButton* Button(QWidget* parent, const char* name, const char* caption, const QRect& at) {
  auto* b = new ui::TNiceButton(parent);
  b->setObjectName(name);
  b->SetCaption(caption);
  b->setGeometry(at);
  return b;
}

// The name and file pattern of a profile to save, asked in a small modal form.
std::optional<std::pair<std::string, std::string>> AskInForm(QWidget* parent,
                                                             const std::string& name,
                                                             const std::string& pattern) {
  QDialog form(parent);
  form.setWindowTitle("Salveaza profil");
  form.setMinimumWidth(380);
  auto* layout = new QFormLayout(&form);
  auto* nameEdit = new QLineEdit(Q(name), &form);
  auto* patternEdit = new QLineEdit(Q(pattern), &form);
  patternEdit->setPlaceholderText("de exemplu Ferometal*.xls");
  layout->addRow("Nume profil", nameEdit);
  layout->addRow("Fisiere (optional)", patternEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &form);
  layout->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &form, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &form, &QDialog::reject);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return std::make_pair(S(nameEdit->text()), S(patternEdit->text()));
}

}  // namespace

TLayoutControls::TLayoutControls(TEMainImportPret& window, QWidget* page)
    : QObject(page), w_(window) {
  // Beside the column fields of "Structura fisierului Excel".
  BDetecteaza = Button(page, "BDetecteaza", "&Detecteaza", QRect(486, 40, 160, 34));
  // Beside the identification, below the currency.
  LabelProfil = new QLabel("Profil", page);
  LabelProfil->setObjectName("LabelProfil");
  LabelProfil->setGeometry(450, 160, 44, 18);
  LProfil = new TSortedComboBox(page);
  LProfil->setObjectName("LProfil");
  LProfil->setGeometry(496, 158, 150, 22);
  BSalveazaProfil = Button(page, "BSalveazaProfil", "Salveaza profil", QRect(446, 184, 200, 24));
  BStergeProfil = Button(page, "BStergeProfil", "Sterge profil", QRect(446, 210, 200, 24));
  // Beside the price category: the price rule, off by default.
  CRegulaPret = new QCheckBox("Regula de pret", page);
  CRegulaPret->setObjectName("CRegulaPret");
  CRegulaPret->setGeometry(324, 311, 140, 20);
  EFactor = new QLineEdit("1", page);
  EFactor->setObjectName("EFactor");
  EFactor->setToolTip("Factor (de exemplu 1,19 pentru TVA)");
  EFactor->setGeometry(466, 310, 44, 22);
  LRotunjire = new QComboBox(page);
  LRotunjire->setObjectName("LRotunjire");
  LRotunjire->addItems({"fara rotunjire", "la 0,01", "la 0,05", "la 0,10", "la 1", "la ,99"});
  LRotunjire->setGeometry(514, 310, 132, 22);
  ShowRule({});

  BDetecteaza->OnClick = [this](QObject*) { w_.Guarded([this] { DetecteazaClick(); }); };
  BSalveazaProfil->OnClick = [this](QObject*) { w_.Guarded([this] { SalveazaProfilClick(); }); };
  BStergeProfil->OnClick = [this](QObject*) { w_.Guarded([this] { StergeProfilClick(); }); };
  connect(LProfil, &QComboBox::activated, this,
          [this] { w_.Guarded([this] { LProfilChange(); }); });
  connect(CRegulaPret, &QCheckBox::toggled, this, [this] { RuleChanged(); });
  connect(EFactor, &QLineEdit::editingFinished, this, [this] { RuleChanged(); });
  connect(LRotunjire, &QComboBox::activated, this, [this] { RuleChanged(); });
}

void TLayoutControls::AddMessageLine(const std::string& line) {
  w_.errorMemo_->appendPlainText(Q(line));
  // The cursor at the line's start, so the page shows the line from its beginning.
  QTextCursor cursor = w_.errorMemo_->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::StartOfBlock);
  w_.errorMemo_->setTextCursor(cursor);
  w_.errorMemo_->horizontalScrollBar()->setValue(0);
}

void TLayoutControls::DetecteazaClick() {
  w_.SyncState();
  const TImportState& s = w_.state_;
  if (s.FileName.empty()) {
    AddMessageLine("Nu ai selectat Fisierul de importat");
    return;
  }
  std::error_code ec;
  const bool catalogue = !s.CurrentCompany.empty() && fs::is_directory(s.CompanyFolder, ec);
  LayoutProposal p;
  w_.SetBusyCursor(true);
  try {
    p = DetectLayoutInFile(s.FileName.string(), catalogue ? s.CompanyFolder.string() : "");
  } catch (const std::exception&) {
    w_.SetBusyCursor(false);
    AddMessageLine(
        "Nu pot deschide fisierul selectat: este posibil ca el sa nu fie un fisier "
        "EXCEL");
    return;
  }
  w_.SetBusyCursor(false);
  if (p.Found) {
    w_.idColumnEdit_->setValue(p.IdColumn);
    w_.priceColumnEdit_->setValue(p.PriceColumn);
    w_.startRowEdit_->setValue(p.StartRow);
    if (p.IdentificationTried) w_.identifyGroup_->SetItemIndex(p.Identification);
  }
  AddMessageLine(ProposalMessage(p));
}

void TLayoutControls::CompanyChanged() {
  profiles_ = w_.state_.CurrentCompany.empty() ? std::vector<ImportProfile>{}
                                               : LoadProfiles(w_.state_.CurrentCompany);
  FillProfiles("");
  FileChanged();
}

void TLayoutControls::FillProfiles(const std::string& select) {
  LProfil->clear();
  LProfil->AddSorted("");
  for (const ImportProfile& p : profiles_) LProfil->AddSorted(Q(p.Name));
  LProfil->setCurrentIndex(std::max(0, LProfil->findText(Q(select))));
}

void TLayoutControls::FileChanged() {
  if (filling_ || profiles_.empty()) return;
  const ImportProfile* p = ProfileForFile(profiles_, S(w_.fileList_->FileName()));
  if (!p || S(LProfil->currentText()) == p->Name) return;
  LProfil->setCurrentIndex(LProfil->findText(Q(p->Name)));
  Apply(*p);
}

void TLayoutControls::LProfilChange() {
  const std::string name = S(LProfil->currentText());
  for (const ImportProfile& p : profiles_)
    if (p.Name == name) Apply(p);
}

void TLayoutControls::Apply(const ImportProfile& p) {
  filling_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{filling_};
  w_.idColumnEdit_->setValue(p.IdColumn);
  w_.priceColumnEdit_->setValue(p.PriceColumn);
  w_.startRowEdit_->setValue(p.StartRow);
  w_.priceKindGroup_->SetItemIndex(p.PriceKindIndex);
  w_.identifyGroup_->SetItemIndex(p.Identification);
  w_.producerGroup_->SetItemIndex(p.ProducerRestriction ? 1 : 0);
  if (p.ProducerRestriction) {
    if (w_.producerList_->count() == 0 && w_.producerList_->OnDropDown)
      w_.producerList_->OnDropDown();
    int at = w_.producerList_->findText(Q(p.ProducerName));
    if (at < 0) at = w_.producerList_->AddSorted(Q(p.ProducerName));
    w_.producerList_->setCurrentIndex(at);
  }
  if (p.PriceCategoryCode != 0) {
    if (w_.categoryList_->count() == 0 && w_.categoryList_->OnDropDown)
      w_.categoryList_->OnDropDown();
    for (int i = 0; i < w_.categoryList_->count(); ++i)
      if (w_.categoryList_->itemData(i).toInt() == p.PriceCategoryCode)
        w_.categoryList_->setCurrentIndex(i);
  }
  w_.state_.Rule = p.Rule;
  ShowRule(p.Rule);
}

void TLayoutControls::SalveazaProfilClick() {
  w_.SyncState();
  const std::string company = w_.state_.CurrentCompany;
  if (company.empty()) {
    ShowError(kNoCompanyMessage);
    return;
  }
  std::string name = S(LProfil->currentText()), pattern;
  for (const ImportProfile& p : profiles_)
    if (p.Name == name) pattern = p.Pattern;
  const auto answer = AskProfile ? AskProfile(name, pattern) : AskInForm(&w_, name, pattern);
  if (!answer) return;
  if (const std::string problem = ProfileNameProblem(answer->first); !problem.empty()) {
    ShowError(problem);
    return;
  }
  ImportProfile p = ProfileFromState(w_.state_, answer->first);
  p.Pattern = answer->second;
  SaveProfile(company, p);
  profiles_ = LoadProfiles(company);
  const std::optional<ImportProfile> saved = FindProfile(company, answer->first);
  FillProfiles(saved ? saved->Name : "");
}

void TLayoutControls::StergeProfilClick() {
  const std::string name = S(LProfil->currentText());
  const std::string company = w_.state_.CurrentCompany;
  if (name.empty() || company.empty()) {
    ShowError("Nu ai selectat profilul de sters ");
    return;
  }
  const std::string question = " Stergi profilul @9" + ui::EscapeMarkup(name) + "@0 ? ";
  const bool yes =
      Confirm ? Confirm(question)
              : ui::ShowMessageDlg(question, std::nullopt, ui::dkConfirmation, ui::taCenter,
                                   ui::MsgButtons({ui::mbtYes, ui::mbtNo}), ui::mbtNo, 0) == 6;
  if (!yes) return;
  DeleteProfile(company, name);
  profiles_ = LoadProfiles(company);
  FillProfiles("");
}

void TLayoutControls::ShowRule(const PriceRule& rule) {
  const QSignalBlocker b1(CRegulaPret), b2(EFactor), b3(LRotunjire);
  CRegulaPret->setChecked(rule.On);
  EFactor->setText(Q(FormatGeneral(rule.Factor)));
  LRotunjire->setCurrentIndex(static_cast<int>(rule.Rounding));
  EFactor->setEnabled(rule.On);
  LRotunjire->setEnabled(rule.On);
}

void TLayoutControls::RuleChanged() {
  PriceRule rule = w_.state_.Rule;
  rule.On = CRegulaPret->isChecked();
  double factor = 1;
  if (ParseFactor(S(EFactor->text()), factor)) {
    rule.Factor = factor;
  } else {
    // Keep the last good factor in the field; a wrong one would write wrong prices.
    EFactor->setText(Q(FormatGeneral(rule.Factor)));
    if (rule.On)
      ShowError(" Factorul regulii de pret este un numar intre 0 si 1000 (de exemplu 1,19) ");
  }
  rule.Rounding = static_cast<PriceRounding>(std::clamp(LRotunjire->currentIndex(), 0, 5));
  w_.state_.Rule = rule;
  ShowRule(rule);
}

}  // namespace imp
