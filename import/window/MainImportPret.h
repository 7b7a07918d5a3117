#pragma once
// TEMainImportPret: the program's one window. The first page holds the choices of an import,
// remembered in the settings file; the second lists the error lines of the last run.
// "&Start import" checks the choices and runs the import through this window as its view.
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <memory>
#include <string>

#include "import/ImportState.h"
#include "import/ImportView.h"
#include "import/window/FileControls.h"
#include "ui/buttons/NiceButton.h"
#include "ui/forms/DBEditForm.h"
#include "ui/label/FmtLabel.h"
#include "ui/labels/ActiveLabel.h"
#include "ui/labels/MRadioGroup.h"
#include "ui/titlebar/TitleBar.h"

class QLabel;
class QFrame;

namespace imp {

class TLayoutControls;

// A drop-down list whose items stay sorted and which says when it is about to drop down.
class TSortedComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  // Inserts `text` in sorted place (a stable order for equal texts); returns its index.
  int AddSorted(const QString& text, const QVariant& data = {});
  std::function<void()> OnDropDown;

 protected:
  void showPopup() override;
};

class TEMainImportPret : public ui::TDBEditForm, private ImportView {
  Q_OBJECT
  friend class TLayoutControls;

 public:
  // Builds the window and runs the start-up steps: formats, data root, company list, settings.
  explicit TEMainImportPret(QWidget* parent = nullptr);
  ~TEMainImportPret() override;

  // The controls, by their design names.
  ui::TTitleBar* TitleBar1;
  QLabel* Label4;
  TSortedComboBox* LFirme;
  QLabel* FLunaCurenta;
  QFrame* Panel1;
  ui::TFmtLabel* NumeFis;
  QTabWidget* TBN;
  QFrame* PInfoPrel;
  ui::TFmtLabel* FmtLabel1;
  ui::TFmtLabel* FLinia;
  ui::TNiceButton* NiceButton1;
  ui::TNiceButton* NiceButton2;
  // Page "&1.Setari import".
  ui::TFmtLabel *FmtLabel2, *FmtLabel3, *FmtLabel4, *FmtLabel5, *FmtLabel6, *FmtLabel7, *FmtLabel8,
      *FmtLabel9, *FmtLabel10;
  QSpinBox *SCodArt, *SPret, *SRandStart;
  ui::TMRadioGroup *MTipPret, *MArtIdentif, *MProducator;
  TSortedComboBox* LProducator;
  TSortedComboBox* LCatPret;
  ui::TActiveLabel *ActiveLabel1, *ActiveLabel2, *ActiveLabel3, *ActiveLabel4;
  TFileListBox* FileListBox1;
  TDirectoryListBox* DirectoryListBox1;
  TFilterComboBox* FilterComboBox1;
  TDriveComboBox* DriveComboBox1;
  // Page "&2.Mesaje sesiune import".
  ui::TNiceButton* MSaveErr;
  QPlainTextEdit* MErori;

  // Detection, profiles and the price rule, beside the controls above.
  TLayoutControls* Layout = nullptr;

  // The state the import reads, kept in step with the controls.
  const TImportState& State() const { return state_; }
  bool Running() const { return running_; }
  // Called after each price row has been processed and the window repainted (tests watch the
  // progress line through it).
  std::function<void()> OnRowProcessed;

  // Handlers, public so that tests drive them as the user would.
  void LFirmeChange();
  void DriveComboBox1Change();
  void DirectoryListBox1Change();
  void FilterComboBox1Change();
  void ShowFileName();
  void NiceButton1Click();
  void MSaveErrClick();
  void TBNChange(int newPage);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildSettingsPage(QWidget* page);
  void BuildMessagesPage(QWidget* page);
  void FormCreate();
  void LoadCompanyList();
  void LoadSettings();
  void SelectCompany(const std::string& name);
  void LoadCompanySettings();
  void FillPriceCategories(int codeToSelect);
  void LProducatorDropDown();
  void LCatPretDropDown();
  void SyncState();
  void SetRunning(bool running);
  // Runs a handler; a failure's text goes to the general error display.
  void Guarded(const std::function<void()>& handler);

  // ImportView.
  void ShowMessage(const std::string& markup, MessageKind kind) override;
  void SetBusyCursor(bool busy) override;
  void ShowProgressPanel(bool visible) override;
  void SetProgressCaption(const std::string& markup) override;
  void ClearErrorLines() override;
  void AddErrorLine(const std::string& line) override;
  int ErrorLineCount() const override;
  void ShowPage(int page) override;
  void ProcessPendingMessages() override;

  TImportState state_;
  bool programmaticDriveChange_ = false;
  bool shownOnce_ = false;
  bool running_ = false;
  int errorLines_ = 0;
};

// The application-wide general error display: a message with the failure's text.
void ShowGeneralError(const std::string& text);

}  // namespace imp
