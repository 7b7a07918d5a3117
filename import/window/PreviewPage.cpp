// Page "&3.Previzualizare": the changes that "&Verifica" plans or that the last run wrote, the
// count of each warning, the warning threshold, "&Start import" and the undo of the last run.
// Also the run itself, with its record, for "&Start import" and "&Verifica" alike.
#include <QHeaderView>
#include <exception>

#include "import/CompanyData.h"
#include "import/Settings.h"
#include "import/plan/RecordedRun.h"
#include "import/plan/UndoJournal.h"
#include "import/window/MainImportPret.h"
#include "import/window/PlanTableModel.h"
#include "import/window/WindowBuilders.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/markup/Markup.h"

namespace imp {

using window::Markup;
using window::Q;

namespace {

constexpr int kPageWidth = 661;
constexpr int kTableTop = 78;
constexpr int kTableHeight = 340;
constexpr int kRowWarningsTop = kTableTop + kTableHeight + 6;
constexpr int kButtonTop = 452;
constexpr int kLineHeight = 20;

// Columns wide enough for their usual contents; the rest of the width goes to the warnings.
constexpr int kColumnWidths[TPlanTableModel::kColumnCount] = {40, 48,  56,  92, 128, 76,
                                                              72, 116, 420, 96, 150, 160};

// A number in the markup: a blank after the colour code keeps its digits apart from the code.
std::string Count(int n) {
  return "@12 " + std::to_string(n) + "@0";
}

}  // namespace

void TEMainImportPret::BuildPreviewPage(QWidget* page) {
  planTitle_ =
      Markup(page, "FPlanTitlu", "%Apasati @9Verifica@0 pentru a vedea modificarile", 8, 6);
  warningCounts_ = Markup(page, "FAvertismente", "", 8, 30);
  // Between the page's two buttons: the title line above needs the page's whole width.
  Markup(page, "FPrag", "Prag avertizare", 262, kButtonTop + 9);
  thresholdEdit_ = new QDoubleSpinBox(page);
  thresholdEdit_->setObjectName("SPrag");
  thresholdEdit_->setDecimals(1);
  thresholdEdit_->setRange(0.1, 1000000.0);
  thresholdEdit_->setSuffix(" %");
  thresholdEdit_->setGeometry(384, kButtonTop + 6, 94, 22);
  thresholdEdit_->setValue(ReadThresholdSetting());

  planModel_ = new TPlanTableModel(this);
  planTable_ = new QTableView(page);
  planTable_->setObjectName("GPlan");
  planTable_->setModel(planModel_);
  planTable_->setGeometry(6, kTableTop, kPageWidth - 12, kTableHeight);
  planTable_->setSortingEnabled(true);
  planTable_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  planTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  planTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  planTable_->setWordWrap(false);
  planTable_->setAlternatingRowColors(false);
  // Every row as high as the others and every column as set here: the view never measures its
  // contents, so a plan of 100,000 rows shows as fast as one of ten.
  QHeaderView* rows = planTable_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kLineHeight);
  rows->hide();
  QHeaderView* columns = planTable_->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setHighlightSections(false);
  for (int c = 0; c < TPlanTableModel::kColumnCount; ++c)
    columns->resizeSection(c, kColumnWidths[c]);
  // The warnings of the row under the cursor, in full, below the table.
  rowWarnings_ = Markup(page, "FAvertRand", "", 8, kRowWarningsTop);
  connect(planTable_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            const PlanRow* row = planModel_->RowAt(current.row());
            rowWarnings_->SetCaption(row && row->Warnings
                                         ? Q("@9" + ui::EscapeMarkup(plan_->WarningsText(*row)))
                                         : QString());
          });

  undoButton_ = new ui::TNiceButton(page);
  undoButton_->setObjectName("BAnulare");
  undoButton_->SetKind(ui::mkRetry);
  undoButton_->SetCaption("Anuleaza ultimul import");
  undoButton_->SetModalResult(0);
  undoButton_->setGeometry(6, kButtonTop, 230, 34);
  previewStartButton_ = new ui::TNiceButton(page);
  previewStartButton_->setObjectName("BStartPrev");
  previewStartButton_->SetKind(ui::mkOK);
  previewStartButton_->SetCaption("&Start import");
  previewStartButton_->SetModalResult(0);
  // Alt+S belongs to the button of the bottom row, which does the same.
  previewStartButton_->setShortcut(QKeySequence());
  previewStartButton_->setGeometry(kPageWidth - 6 - 150, kButtonTop, 150, 34);
  ShowWarningCounts();
}

void TEMainImportPret::BVerificaClick() {
  if (running_) return;
  SyncTypedState();
  RunOptions options;
  options.DryRun = true;
  if (!CheckImportSettings(state_, *this, options)) return;
  RunRecorded(true);
}

void TEMainImportPret::BStartPrevClick() {
  if (running_) return;
  NiceButton1Click();
  if (ErrorLineCount() == 0 && notebook_->currentIndex() == kSettingsPage) ShowPage(kPreviewPage);
}

void TEMainImportPret::RunRecorded(bool dryRun) {
  RunOptions options;
  options.DryRun = dryRun;
  RecordedRun run(state_, options, thresholdEdit_->value());
  struct Running {
    TEMainImportPret& window;
    ~Running() {
      window.checking_ = false;
      window.SetRunning(false);
    }
  } running{*this};
  checking_ = dryRun;
  SetRunning(true);
  ImportResult result;
  try {
    result = run.Run(*this);
  } catch (...) {
    ShowPlan(run, !dryRun);
    if (!run.RecordProblem().empty()) AddErrorLine(run.RecordProblem());
    throw;
  }
  if (!result.Ran) return;
  ShowPlan(run, !dryRun);
  if (dryRun) ShowPage(kPreviewPage);
}

void TEMainImportPret::ShowPlan(RecordedRun& run, bool written) {
  rowWarnings_->SetCaption("");
  planModel_->SetPlan(nullptr);
  plan_ = std::make_unique<ChangePlan>(run.TakePlan());
  plan_->SetThreshold(thresholdEdit_->value());
  planWritten_ = written;
  planModel_->SetPlan(plan_.get());
  ShowWarningCounts();
}

void TEMainImportPret::ShowWarningCounts() {
  if (!plan_) {
    warningCounts_->SetCaption("");
    return;
  }
  const std::string rows = std::to_string(plan_->Rows().size());
  std::string title = planWritten_ ? "%Ultimul import a scris@9 " + rows + "@0% preturi"
                                   : "%Importul ar scrie@9 " + rows + "@0% preturi";
  title += " (" + std::to_string(plan_->RowsWithWarnings()) + " cu avertismente";
  if (ErrorLineCount() > 0) title += ", " + std::to_string(ErrorLineCount()) + " linii cu erori";
  title += ")";
  planTitle_->SetCaption(Q(title));
  const std::string threshold = FormatGeneral(plan_->ThresholdPercent());
  warningCounts_->SetCaption(
      Q("Modificari peste " + threshold + "\\% : " + Count(plan_->WarningCount(cwBigChange)) +
        "    Pret zero sau negativ : " + Count(plan_->WarningCount(cwNotPositive)) +
        "    Doua preturi : " + Count(plan_->WarningCount(cwTwoPrices)) + "\r" +
        "Identificator ambiguu : " + Count(plan_->WarningCount(cwAmbiguous)) +
        "    Celula data, logica sau formula text : " + Count(plan_->WarningCount(cwCellKind))));
}

void TEMainImportPret::ThresholdChanged(double percent) {
  WriteThresholdSetting(percent);
  if (!plan_) return;
  plan_->SetThreshold(percent);
  planModel_->WarningsChanged();
  ShowWarningCounts();
}

void TEMainImportPret::BAnulareClick() {
  if (running_) return;
  SyncState();
  if (state_.CurrentCompany.empty()) {
    ShowMessage(kNoCompanyMessage, MessageKind::dkError);
    return;
  }
  const std::filesystem::path journalFile = UndoJournalPath(state_.CurrentCompany);
  UndoJournal journal;
  std::string error;
  if (!ReadUndoJournal(journalFile, journal, error)) {
    if (error.empty())
      ShowMessage(kNothingToUndoMessage, MessageKind::dkInformation);
    else
      ShowMessage(ui::EscapeMarkup(error), MessageKind::dkError);
    return;
  }
  if (ui::ShowMessageDlg(UndoConfirmationText(journal), std::nullopt, ui::dkConfirmation,
                         ui::taCenter, ui::MsgButtons({ui::mbtYes, ui::mbtNo}), ui::mbtNo, 0) != 6)
    return;
  SetBusyCursor(true);
  UndoResult result;
  try {
    result = UndoLastImport(state_.CompanyFolder, journalFile, journal);
  } catch (...) {
    SetBusyCursor(false);
    throw;
  }
  SetBusyCursor(false);
  // The plan shown is no longer what the tables hold.
  rowWarnings_->SetCaption("");
  planModel_->SetPlan(nullptr);
  plan_.reset();
  planTitle_->SetCaption("%Ultimul import a fost anulat");
  ShowWarningCounts();
  // The prices left alone go to the error list, where they can be read and saved.
  if (!result.LeftAlone.empty()) {
    ClearErrorLines();
    for (const std::string& line : result.LeftAlone) AddErrorLine(line);
  }
  ShowMessage(UndoSummaryText(result), MessageKind::dkInformation);
  if (!result.LeftAlone.empty()) ShowPage(kMessagesPage);
}

}  // namespace imp
