#pragma once
// TEMainImportPret: the program's one window. The first page holds the choices of an import,
// remembered in the settings file; the second lists the error lines of the last run; the third
// shows the changes that "&Verifica" plans (or that the last run wrote) and takes a run back.
// "&Start import" checks the choices and runs the import through this window as its view.
//
// The class is spread over files by job: MainImportPret.cpp (creation, running state),
// MainWindowFrame.cpp (the frame: title, company, file panel, notebook, progress, buttons),
// SettingsPage.cpp, MessagesPage.cpp, PreviewPage.cpp (plan, threshold, undo), CompanyChoice.cpp,
// FileChoice.cpp and RunView.cpp (what the import run sees). Members are named by their job; each
// widget's object name is its design name ("NiceButton1", "SCodArt"...), which is how tests and
// other files find it.
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <memory>
#include <string>
#include <vector>

#include "import/ImportState.h"
#include "import/ImportView.h"
#include "import/plan/ChangePlan.h"
#include "import/window/ColumnSpinEdit.h"
#include "import/window/FileControls.h"
#include "import/window/SortedComboBox.h"
#include "ui/activecontrols/ActiveLabel.h"
#include "ui/activecontrols/MRadioGroup.h"
#include "ui/buttons/NiceButton.h"
#include "ui/fmtlabel/FmtLabel.h"
#include "ui/forms/DBEditForm.h"
#include "ui/titlebar/TitleBar.h"

class QLabel;
class QFrame;

namespace imp {

class TLayoutControls;
class TPlanTableModel;
class RecordedRun;

class TEMainImportPret : public ui::TDBEditForm, private ImportView {
  Q_OBJECT
  friend class TLayoutControls;

 public:
  // Builds the window and runs the start-up steps: formats, data root, company list, settings.
  explicit TEMainImportPret(QWidget* parent = nullptr);
  ~TEMainImportPret() override;

  // Detection, profiles and the price rule, beside the controls of the first page.
  TLayoutControls* Layout = nullptr;

  // The state the import reads, kept in step with the controls.
  const TImportState& State() const { return state_; }
  bool Running() const { return running_; }
  // Called after each price row has been processed and pending messages handled (tests watch
  // the progress line through it).
  std::function<void()> OnRowProcessed;

  // The buttons of the bottom row, left to right (any added, "&Verifica", "&Start import",
  // "I&esire").
  const std::vector<ui::TNiceButton*>& ActionButtons() const { return actionButtons_; }
  // Adds a button to the bottom row, left of "&Verifica"; the row and the progress panel
  // are laid out again so that nothing overlaps. The window owns the button.
  void AddActionButton(ui::TNiceButton* button);
  // Adds a page to the notebook after the existing ones; returns its index.
  int AddNotebookPage(QWidget* page, const QString& caption);

  // Handlers, by their design names, public so that tests drive them as the user would.
  void LFirmeChange();
  void DriveComboBox1Change();
  void DirectoryListBox1Change();
  void FilterComboBox1Change();
  void ShowFileName();
  void NiceButton1Click();
  void MSaveErrClick();
  void TBNChange(int newPage);
  // "&Verifica": the checks, then the run as a dry run; its plan goes to the preview page.
  void BVerificaClick();
  // "&Start import" of the preview page: the run, then back to the page (what was written)
  // unless the run has error lines to show.
  void BStartPrevClick();
  // "Anuleaza ultimul import": the confirmation, the undo of the current company's last run.
  void BAnulareClick();
  // The plan shown on the preview page (nullptr before the first check or run).
  const ChangePlan* ShownPlan() const { return plan_.get(); }

 public:
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // MainWindowFrame.cpp
  void BuildFrame();
  void ConnectHandlers();
  void LayOutActionButtons();
  // SettingsPage.cpp
  void BuildSettingsPage(QWidget* page);
  void BuildFileSelection(QWidget* page);
  // MessagesPage.cpp
  void BuildMessagesPage(QWidget* page);
  // PreviewPage.cpp
  void BuildPreviewPage(QWidget* page);
  // Runs the import (or its dry run) with its record; the plan goes to the preview page, also
  // when the run is stopped by a failure.
  void RunRecorded(bool dryRun);
  void ShowPlan(RecordedRun& run, bool written);
  void ShowWarningCounts();
  void ThresholdChanged(double percent);
  // CompanyChoice.cpp
  void LoadCompanyList();
  void LoadSettings();
  void SelectCompany(const std::string& name);
  void LoadCompanySettings();
  void FillPriceCategories(int codeToSelect);
  void LProducatorDropDown();
  void LCatPretDropDown();
  // FileChoice.cpp
  void RefreshFileList();
  // MainImportPret.cpp
  void FormCreate();
  void SyncState();
  void SyncTypedState();  // the values being typed taken first
  void SetRunning(bool running);
  // Runs a handler; a failure's text goes to the general error display.
  void Guarded(const std::function<void()>& handler);

  // ImportView (RunView.cpp).
  void ShowMessage(const std::string& markup, MessageKind kind) override;
  void SetBusyCursor(bool busy) override;
  void ShowProgressPanel(bool visible) override;
  void SetProgressCaption(const std::string& markup) override;
  void ClearErrorLines() override;
  void AddErrorLine(const std::string& line) override;
  int ErrorLineCount() const override;
  void ShowPage(int page) override;
  void ProcessPendingMessages() override;
  void ShowPendingProgress();

  // The frame.
  ui::TTitleBar* titleBar_;       // TitleBar1
  QLabel* companyCaption_;        // Label4
  TSortedComboBox* companyList_;  // LFirme
  QLabel* monthLabel_;            // FLunaCurenta, stays empty
  QFrame* fileNamePanel_;         // Panel1
  ui::TFmtLabel* fileNameLabel_;  // NumeFis
  QTabWidget* notebook_;          // TBN
  QFrame* progressPanel_;         // PInfoPrel
  ui::TFmtLabel* progressTitle_;  // FmtLabel1
  ui::TFmtLabel* progressLine_;   // FLinia
  ui::TNiceButton* startButton_;  // NiceButton1
  ui::TNiceButton* exitButton_;   // NiceButton2
  ui::TNiceButton* checkButton_;  // BVerifica
  std::vector<ui::TNiceButton*> actionButtons_;
  // Page "&1.Setari import": the workbook's structure.
  TColumnSpinEdit* idColumnEdit_;     // SCodArt
  TColumnSpinEdit* priceColumnEdit_;  // SPret
  TColumnSpinEdit* startRowEdit_;     // SRandStart
  // How prices and articles are read, and which articles are touched.
  ui::TMRadioGroup* priceKindGroup_;  // MTipPret
  ui::TMRadioGroup* identifyGroup_;   // MArtIdentif
  ui::TMRadioGroup* producerGroup_;   // MProducator
  TSortedComboBox* producerList_;     // LProducator
  TSortedComboBox* categoryList_;     // LCatPret
  // The workbook file.
  TFileListBox* fileList_;         // FileListBox1
  TDirectoryListBox* folderList_;  // DirectoryListBox1
  TDriveComboBox* driveList_;      // DriveComboBox1
  TFilterComboBox* filterList_;    // FilterComboBox1
  // Page "&2.Mesaje sesiune import".
  ui::TNiceButton* saveErrorsButton_;  // MSaveErr
  QPlainTextEdit* errorMemo_;          // MErori
  // Page "&3.Previzualizare".
  ui::TFmtLabel* planTitle_;             // FPlanTitlu
  ui::TFmtLabel* warningCounts_;         // FAvertismente
  QDoubleSpinBox* thresholdEdit_;        // SPrag
  QTableView* planTable_;                // GPlan
  ui::TFmtLabel* rowWarnings_;           // FAvertRand
  TPlanTableModel* planModel_;           // the rows of plan_
  ui::TNiceButton* previewStartButton_;  // BStartPrev
  ui::TNiceButton* undoButton_;          // BAnulare
  std::unique_ptr<ChangePlan> plan_;
  bool planWritten_ = false;  // plan_ is what the last run wrote
  bool checking_ = false;     // "&Verifica" is running: its summary is not shown

  TImportState state_;
  bool programmaticDriveChange_ = false;
  bool shownOnce_ = false;
  bool running_ = false;
  int errorLines_ = 0;
  // The progress line is repainted a few times a second, not after every row.
  QElapsedTimer progressClock_;
  QString pendingProgress_;
  bool progressPending_ = false;
};

// The application-wide general error display: a message with the failure's text.
void ShowGeneralError(const std::string& text);

}  // namespace imp
