// The main window end to end on a demo data root: start-up, remembered choices, the checks'
// messages, a full run with its error page, and saving the error list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "DemoRoot.h"
#include "import/DemoSettings.h"
#include "import/Settings.h"
#include "import/plan/UndoJournal.h"
#include "import/window/MainImportPret.h"
#include "import/window/PlanTableModel.h"
#include "platform/Files.h"
#include "platform/db/Table.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/forms/TitleForm.h"

namespace fs = std::filesystem;

namespace {

template <class T>
T* Find(QWidget& w, const char* name) {
  T* control = w.findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

// The controls of the window, found by their design names.
struct Controls {
  explicit Controls(QWidget& w)
      : LFirme(Find<imp::TSortedComboBox>(w, "LFirme")),
        TBN(Find<QTabWidget>(w, "TBN")),
        PInfoPrel(Find<QFrame>(w, "PInfoPrel")),
        SCodArt(Find<QSpinBox>(w, "SCodArt")),
        SPret(Find<QSpinBox>(w, "SPret")),
        SRandStart(Find<QSpinBox>(w, "SRandStart")),
        MTipPret(Find<ui::TMRadioGroup>(w, "MTipPret")),
        MArtIdentif(Find<ui::TMRadioGroup>(w, "MArtIdentif")),
        MProducator(Find<ui::TMRadioGroup>(w, "MProducator")),
        LProducator(Find<QComboBox>(w, "LProducator")),
        DirectoryListBox1(Find<imp::TDirectoryListBox>(w, "DirectoryListBox1")),
        FileListBox1(Find<imp::TFileListBox>(w, "FileListBox1")),
        NumeFis(Find<ui::TFmtLabel>(w, "NumeFis")),
        FLinia(Find<ui::TFmtLabel>(w, "FLinia")),
        NiceButton1(Find<ui::TNiceButton>(w, "NiceButton1")),
        NiceButton2(Find<ui::TNiceButton>(w, "NiceButton2")),
        MErori(Find<QPlainTextEdit>(w, "MErori")),
        MSaveErr(Find<ui::TNiceButton>(w, "MSaveErr")) {}
  imp::TSortedComboBox* LFirme;
  QTabWidget* TBN;
  QFrame* PInfoPrel;
  QSpinBox* SCodArt;
  QSpinBox* SPret;
  QSpinBox* SRandStart;
  ui::TMRadioGroup* MTipPret;
  ui::TMRadioGroup* MArtIdentif;
  ui::TMRadioGroup* MProducator;
  QComboBox* LProducator;
  imp::TDirectoryListBox* DirectoryListBox1;
  imp::TFileListBox* FileListBox1;
  ui::TFmtLabel* NumeFis;
  ui::TFmtLabel* FLinia;
  ui::TNiceButton* NiceButton1;
  ui::TNiceButton* NiceButton2;
  QPlainTextEdit* MErori;
  ui::TNiceButton* MSaveErr;
};

struct Shown {
  std::string Text;
  ui::TDlgKind Kind;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("impwin-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    root_ = testwin::MakeDemoRoot(base_);
    ui::SetMessageDlgInterceptor([this](const ui::MessageDlgRequest& r) -> std::uint16_t {
      shown_.push_back({r.Text, r.Kind});
      return r.Kind == ui::dkConfirmation ? confirmAnswer_ : 1;
    });
  }
  void TearDown() override {
    ui::SetMessageDlgInterceptor(nullptr);
    ::unsetenv("IMPPRET_HOME");
    fs::remove_all(base_);
  }
  std::unique_ptr<imp::TEMainImportPret> Open() {
    auto window = std::make_unique<imp::TEMainImportPret>();
    window->show();
    QApplication::processEvents();
    return window;
  }
  void ChooseCompany(imp::TEMainImportPret& w, const QString& name) {
    Controls(w).LFirme->setCurrentIndex(Controls(w).LFirme->findText(name));
    w.LFirmeChange();
  }
  // The demo's supplier list with its columns: code in 1, price in 3, from row 2.
  void ChooseSampleList(const Controls& c) {
    c.SCodArt->setValue(1);
    c.SPret->setValue(3);
    c.SRandStart->setValue(2);
    c.DirectoryListBox1->SetDirectory(QString::fromStdString(root_.string()));
    c.FileListBox1->SetFileName(QString::fromStdString((root_ / "Preturi furnizor.xls").string()));
  }
  // The article whose external code is `code`: its sale prices.
  std::pair<double, double> Prices(const std::string& company, const std::string& code) {
    db::Table t;
    t.TableName = "Nart";
    t.DatabaseName = root_ / company;
    t.Open();
    for (t.First(); !t.Eof(); t.Next())
      if (t.FieldByName("CodExtern").AsString() == code)
        return {t.FieldByName("PretVanzare").AsFloat(), t.FieldByName("PretValuta").AsFloat()};
    ADD_FAILURE() << "no article " << code;
    return {};
  }

  static inline int counter_ = 0;
  fs::path base_, root_;
  std::vector<Shown> shown_;
  std::uint16_t confirmAnswer_ = 7;  // "&Nu"
};

TEST_F(MainWindowTest, StartsOnTheDataRootOfTheAlias) {
  auto w = Open();
  const Controls c(*w);
  EXPECT_EQ(w->windowTitle(), "Import preturi  de vanzare");
  EXPECT_EQ(w->width(), 683);
  EXPECT_EQ(w->height(), 679);
  ASSERT_EQ(c.LFirme->count(), 2);
  EXPECT_EQ(c.LFirme->itemText(0), "ALFA");
  EXPECT_EQ(c.LFirme->itemText(1), "BETA");
  EXPECT_EQ(c.TBN->currentIndex(), 0);
  EXPECT_EQ(c.TBN->tabText(0), "&1.Setari import");
  EXPECT_FALSE(c.PInfoPrel->isVisible());
  EXPECT_TRUE(w->State().CurrentCompany.empty());
}

TEST_F(MainWindowTest, ChoicesAreWrittenAtOnceAndRestoredAtStart) {
  {
    auto w = Open();
    const Controls c(*w);
    ChooseCompany(*w, "BETA");
    c.SCodArt->setValue(1);
    c.SPret->setValue(3);
    c.SRandStart->setValue(2);
    c.MTipPret->Button(1)->click();
    c.MArtIdentif->Button(2)->click();
    EXPECT_EQ(imp::ReadSetting("Generale", "FirmaCurenta"), "BETA");
    EXPECT_EQ(imp::ReadSetting("Generale", "ColCodArt"), "1");
    EXPECT_EQ(imp::ReadSetting("Generale", "ColPret"), "3");
    EXPECT_EQ(imp::ReadSetting("Generale", "TipPret"), "1");
    EXPECT_EQ(imp::ReadSetting("Generale", "ArtIdentif"), "2");
  }
  imp::WriteSetting("Generale", "RandStart", "250");  // held to 100 and written back
  auto w = Open();
  const Controls c(*w);
  EXPECT_EQ(c.LFirme->currentText(), "BETA");
  EXPECT_EQ(w->State().CurrentCompany, "BETA");
  EXPECT_EQ(c.SCodArt->value(), 1);
  EXPECT_EQ(c.SPret->value(), 3);
  EXPECT_EQ(c.SRandStart->value(), 100);
  EXPECT_EQ(imp::ReadSetting("Generale", "RandStart"), "100");
  EXPECT_EQ(c.MTipPret->ItemIndex(), 1);
  EXPECT_EQ(c.MArtIdentif->ItemIndex(), 2);
}

TEST_F(MainWindowTest, ChoosingACompanyRestoresItsFile) {
  const fs::path file = root_ / "Preturi valuta BIFF5.xls";
  imp::WriteSetting("BETA", "FisierImport", file.string());
  auto w = Open();
  const Controls c(*w);
  ChooseCompany(*w, "BETA");
  EXPECT_EQ(c.DirectoryListBox1->Directory().toStdString(), root_.string());
  EXPECT_EQ(c.FileListBox1->FileName().toStdString(), file.string());
  EXPECT_TRUE(c.NumeFis->Caption().startsWith("%Fisier importat : "));
  EXPECT_TRUE(c.NumeFis->Caption().endsWith("preturi valuta biff5.xls"));
  // Choosing it again changes nothing.
  c.FileListBox1->setCurrentRow(0);
  const QString before = c.FileListBox1->FileName();
  ChooseCompany(*w, "BETA");
  EXPECT_EQ(c.FileListBox1->FileName(), before);
}

TEST_F(MainWindowTest, StartImportNamesTheFirstMissingChoice) {
  auto w = Open();
  const Controls c(*w);
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].Text, "Nu ai precizat numarul coloanei in care se afla @9Cod Articol@0 ! ");
  EXPECT_EQ(shown_[0].Kind, ui::dkError);
  c.SCodArt->setValue(1);
  c.SPret->setValue(3);
  c.SRandStart->setValue(2);
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].Text, "Nu ai selectat Firma de lucru ");
  ChooseCompany(*w, "ALFA");
  c.MProducator->Button(1)->click();
  EXPECT_TRUE(c.LProducator->isVisible());
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[2].Text, "Nu ai selectat producatorul pentru care faci actualizarile ");
}

TEST_F(MainWindowTest, AFullRunUpdatesTheCatalogueAndShowsTheErrors) {
  auto w = Open();
  const Controls c(*w);
  ChooseCompany(*w, "ALFA");
  ChooseSampleList(c);
  // During the run: the progress panel shows the sheet and row, the buttons are disabled.
  int rows = 0;
  bool panelShown = true, buttonsDisabled = true;
  QString firstLine;
  w->OnRowProcessed = [&] {
    if (rows++ == 0) {
      firstLine = c.FLinia->Caption();
      if (const char* look = std::getenv("IMPPRET_LOOK_DIR"))
        w->grab().save(QString(look) + "/main_during_run.png");
    }
    panelShown = panelShown && c.PInfoPrel->isVisible();
    buttonsDisabled = buttonsDisabled && !c.NiceButton1->isEnabled() && !c.NiceButton2->isEnabled();
  };
  w->NiceButton1Click();
  EXPECT_GT(rows, 100);
  EXPECT_TRUE(panelShown);
  EXPECT_TRUE(buttonsDisabled);
  EXPECT_EQ(firstLine, "Pagina 1        Linia @13 2");
  ASSERT_FALSE(shown_.empty());
  const Shown& summary = shown_.back();
  EXPECT_EQ(summary.Kind, ui::dkInformation);
  EXPECT_NE(summary.Text.find(" Au fost preluate  @15%  "), std::string::npos) << summary.Text;
  // The first price line of the sample workbook: article 1001 at 41,51.
  EXPECT_DOUBLE_EQ(Prices("ALFA", "1001").first, 41.51);
  EXPECT_FALSE(w->Running());
  EXPECT_TRUE(c.NiceButton1->isEnabled());
  EXPECT_FALSE(c.PInfoPrel->isVisible());
  EXPECT_EQ(imp::ReadSetting("ALFA", "FisierImport"), (root_ / "Preturi furnizor.xls").string());
  if (c.MErori->document()->blockCount() > 0 && !c.MErori->toPlainText().isEmpty()) {
    EXPECT_EQ(c.TBN->currentIndex(), 1);
    EXPECT_TRUE(c.MSaveErr->isVisible());
    w->MSaveErrClick();
    std::ifstream in(fs::path(std::getenv("IMPPRET_HOME")) / "Errori.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().rfind("Pagina ", 0), 0u);
    EXPECT_NE(text.str().find("\r\n"), std::string::npos);
    EXPECT_EQ(shown_.back().Kind, ui::dkInformation);
    EXPECT_EQ(shown_.back().Text.rfind(" A fost generat fisierul cu erori @15% ", 0), 0u);
  } else {
    ADD_FAILURE() << "the sample workbook is expected to hold unknown codes and bad prices";
  }
}

// The company's tables as bytes, data and primary index, by file name.
using TableFiles = std::map<std::string, std::string>;
TableFiles TableBytes(const fs::path& folder) {
  TableFiles files;
  for (const char* name : {"Nart.DB", "Nart.PX", "PretM.DB", "PretM.PX"})
    EXPECT_TRUE(platform::ReadWholeFile(platform::FindFileNoCase(folder, name), files[name]))
        << name;
  return files;
}

// The files that differ, with their sizes and the first byte that differs.
std::string Differences(const TableFiles& a, const TableFiles& b) {
  std::string out;
  for (const auto& [name, bytes] : a) {
    const std::string& other = b.at(name);
    if (bytes == other) continue;
    std::size_t at = 0;
    while (at < bytes.size() && at < other.size() && bytes[at] == other[at]) ++at;
    out += name + " (" + std::to_string(bytes.size()) + " / " + std::to_string(other.size()) +
           " bytes, first difference at " + std::to_string(at) + ") ";
  }
  return out;
}

TEST_F(MainWindowTest, VerificaPlansWithoutWritingThenTheRunIsRecordedAndTakenBack) {
  auto w = Open();
  const Controls c(*w);
  ChooseCompany(*w, "ALFA");
  ChooseSampleList(c);
  // "Pret distribuitor": articles with several prices have a row of it or get one.
  auto* categories = Find<QComboBox>(*w, "LCatPret");
  categories->setCurrentIndex(categories->findData(2));
  ASSERT_GE(categories->currentIndex(), 0);
  const TableFiles before = TableBytes(root_ / "ALFA");

  // The check: nothing written, no summary dialog, the plan on the third page, sortable.
  w->BVerificaClick();
  EXPECT_EQ(Differences(TableBytes(root_ / "ALFA"), before), "");
  for (const Shown& s : shown_) EXPECT_NE(s.Kind, ui::dkInformation) << s.Text;
  EXPECT_EQ(c.TBN->currentIndex(), imp::kPreviewPage);
  ASSERT_NE(w->ShownPlan(), nullptr);
  const std::size_t planned = w->ShownPlan()->Rows().size();
  ASSERT_GT(planned, 100u);
  auto* table = Find<QTableView>(*w, "GPlan");
  auto* model = qobject_cast<imp::TPlanTableModel*>(table->model());
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->rowCount(), static_cast<int>(planned));
  table->sortByColumn(imp::TPlanTableModel::colPercent, Qt::DescendingOrder);
  for (int i = 1; i < model->rowCount(); ++i) {
    const imp::PlanRow* a = model->RowAt(i - 1);
    const imp::PlanRow* b = model->RowAt(i);
    if (a->Percent && b->Percent) {
      EXPECT_GE(*a->Percent, *b->Percent) << i;
    } else if (!a->Percent) {
      EXPECT_FALSE(b->Percent.has_value()) << i;  // blanks last
    }
  }

  // "&Start import" from the page: the run, its change report and its journal.
  Find<ui::TNiceButton>(*w, "BStartPrev")->click();
  ASSERT_NE(TableBytes(root_ / "ALFA"), before);
  EXPECT_EQ(c.TBN->currentIndex(), imp::kMessagesPage);  // the sample list has error lines
  EXPECT_TRUE(Find<ui::TNiceButton>(*w, "BAnulare")->isEnabled());
  EXPECT_TRUE(Find<ui::TNiceButton>(*w, "BStartPrev")->isEnabled());
  ASSERT_EQ(w->ShownPlan()->Rows().size(), planned);
  std::string report;
  ASSERT_TRUE(
      platform::ReadWholeFile(fs::path(std::getenv("IMPPRET_HOME")) / "Modificari.csv", report));
  std::size_t lines = 0, multi = 0;
  for (char ch : report) lines += ch == '\n';
  std::size_t added = 0;
  for (const imp::PlanRow& r : w->ShownPlan()->Rows()) {
    multi += r.Change.Multi != imp::MultiPriceAction::None;
    added += r.Change.Multi == imp::MultiPriceAction::Added;
  }
  EXPECT_GT(added, 0u);
  EXPECT_GT(multi, added);
  EXPECT_EQ(lines, 1 + planned + multi);
  imp::UndoJournal journal;
  std::string error;
  ASSERT_TRUE(imp::ReadUndoJournal(imp::UndoJournalPath("ALFA"), journal, error)) << error;
  EXPECT_EQ(journal.Entries.size(), planned + multi);

  // Undo: "&Nu" leaves everything; "&Da" puts the tables back byte for byte.
  shown_.clear();
  w->BAnulareClick();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].Kind, ui::dkConfirmation);
  EXPECT_NE(shown_[0].Text.find("Se vor restaura @15% " + std::to_string(planned + multi) + "@0%"),
            std::string::npos)
      << shown_[0].Text;
  EXPECT_NE(TableBytes(root_ / "ALFA"), before);
  confirmAnswer_ = 6;
  w->BAnulareClick();
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[2].Kind, ui::dkInformation);
  EXPECT_EQ(shown_[2].Text.rfind(
                " Au fost restaurate  @15%  " + std::to_string(planned + multi) + "@0%", 0),
            0u)
      << shown_[2].Text;
  EXPECT_EQ(Differences(TableBytes(root_ / "ALFA"), before), "");
  EXPECT_EQ(w->ShownPlan(), nullptr);
  w->BAnulareClick();
  ASSERT_EQ(shown_.size(), 4u);
  EXPECT_EQ(shown_[3].Text, imp::kNothingToUndoMessage);
}

TEST_F(MainWindowTest, MessagesPageHidesTheSaveButtonWithoutErrorLines) {
  auto w = Open();
  const Controls c(*w);
  c.TBN->setCurrentIndex(1);
  EXPECT_FALSE(c.MSaveErr->isVisible());
  EXPECT_TRUE(c.MErori->isReadOnly());
}

TEST_F(MainWindowTest, AFirstStartOnTheDemoSettingsRunsAtOnce) {
  const fs::path sample = root_ / "Preturi furnizor.xls";
  ASSERT_TRUE(
      imp::WriteDemoSettings({"BETA", "ALFA"}, {root_ / "Preturi valuta BIFF5.xls", sample}));
  // The user's own choices are never replaced.
  EXPECT_FALSE(imp::WriteDemoSettings({"BETA"}, {}));
  auto w = Open();
  const Controls c(*w);
  EXPECT_EQ(c.LFirme->currentText(), "ALFA");
  EXPECT_EQ(c.DirectoryListBox1->Directory().toStdString(), root_.string());
  EXPECT_EQ(c.FileListBox1->FileName().toStdString(), sample.string());
  EXPECT_EQ(c.SCodArt->value(), 1);
  EXPECT_EQ(c.SPret->value(), 3);
  EXPECT_EQ(c.SRandStart->value(), 2);
  w->NiceButton1Click();
  ASSERT_FALSE(shown_.empty());
  EXPECT_EQ(shown_.back().Kind, ui::dkInformation) << shown_.back().Text;
  EXPECT_DOUBLE_EQ(Prices("ALFA", "1001").first, 41.51);
}

TEST_F(MainWindowTest, AColumnFieldBringsATypedValueIntoRange) {
  auto w = Open();
  const Controls c(*w);
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  // Typed digits are kept as typed while the field has the focus; leaving it brings them into
  // 0-100, and "&Start import" counts as leaving it.
  const struct {
    const char* typed;
    int value;
    bool leaveByStart;
  } cases[] = {{"150", 100, false}, {"42", 42, false}, {"999999999", 100, true}, {"0", 0, false}};
  for (const auto& t : cases) {
    c.SPret->setFocus();
    c.SPret->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), t.typed);
    EXPECT_EQ(c.SPret->text(), t.typed);
    if (t.leaveByStart)
      w->NiceButton1Click();
    else
      c.SCodArt->setFocus();
    EXPECT_EQ(c.SPret->value(), t.value) << t.typed;
    EXPECT_EQ(imp::ReadSetting("Generale", "ColPret"), std::to_string(t.value)) << t.typed;
  }
}

TEST_F(MainWindowTest, TheFolderListHighlightsTheFolderShownAndTheFileListFollowsTheDisk) {
  auto w = Open();
  const Controls c(*w);
  c.DirectoryListBox1->SetDirectory(QString::fromStdString(root_.string()));
  const QList<QListWidgetItem*> alfa = c.DirectoryListBox1->findItems("ALFA", Qt::MatchEndsWith);
  ASSERT_FALSE(alfa.isEmpty());
  const QRect row = c.DirectoryListBox1->visualItemRect(alfa.first());
  // Press, release, double click, release: the second release lands on the row now under the
  // pointer, which must not take the highlight from the folder opened.
  QWidget* view = c.DirectoryListBox1->viewport();
  QTest::mouseClick(view, Qt::LeftButton, {}, row.center());
  QMouseEvent twice(QEvent::MouseButtonDblClick, row.center(), view->mapToGlobal(row.center()),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &twice);
  QTest::mouseRelease(view, Qt::LeftButton, {}, row.center());
  EXPECT_EQ(c.DirectoryListBox1->Directory().toStdString(), (root_ / "ALFA").string());
  EXPECT_EQ(c.DirectoryListBox1->currentRow(), c.DirectoryListBox1->ShownRow());
  EXPECT_TRUE(c.DirectoryListBox1->currentItem()->text().endsWith("ALFA"));
  QTest::keyClick(c.DirectoryListBox1, Qt::Key_Up);
  EXPECT_TRUE(c.DirectoryListBox1->currentItem()->text().endsWith(
      QString::fromStdString(root_.filename().string())));

  // A file added while the folder is shown appears when the window is activated again, and the
  // chosen file stays chosen.
  c.DirectoryListBox1->SetDirectory(QString::fromStdString(root_.string()));
  const QString chosen = c.FileListBox1->FileName();
  const int before = c.FileListBox1->count();
  fs::copy_file(root_ / "Preturi furnizor.xls", root_ / "A nou.xls");
  QEvent activated(QEvent::ActivationChange);
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  QApplication::sendEvent(w.get(), &activated);
  EXPECT_EQ(c.FileListBox1->count(), before + 1);
  EXPECT_EQ(c.FileListBox1->FileName(), chosen);
  // Shown again through the filter, it is read anew as well.
  fs::remove(root_ / "A nou.xls");
  w->FilterComboBox1Change();
  EXPECT_EQ(c.FileListBox1->count(), before);
  // The classic filter is chosen at start; the second one lists every format the import reads.
  fs::copy_file(root_ / "Preturi furnizor.xls", root_ / "Lista.xlsx");
  std::ofstream(root_ / "Lista.csv") << "Cod;Pret\n";
  auto* filter = Find<imp::TFilterComboBox>(*w, "FilterComboBox1");
  ASSERT_EQ(filter->count(), 2);
  EXPECT_EQ(filter->currentIndex(), 0);
  EXPECT_EQ(filter->itemText(1).toStdString(), "Liste de preturi (*.xls;*.xlsx;*.xlsm;*.csv)");
  filter->setCurrentIndex(1);
  EXPECT_EQ(c.FileListBox1->count(), before + 2);
}

TEST_F(MainWindowTest, TheBottomRowKeepsButtonsAndProgressApart) {
  auto w = Open();
  auto* check = new ui::TNiceButton;
  check->setObjectName("Extra");
  check->SetCaption("&Alt buton");
  check->resize(130, 34);
  w->AddActionButton(check);
  const auto& row = w->ActionButtons();
  ASSERT_EQ(row.size(), 4u);
  EXPECT_EQ(row[0], check);
  EXPECT_EQ(row[1]->objectName(), "BVerifica");
  EXPECT_EQ(row[2]->objectName(), "NiceButton1");
  const QRect panel = w->findChild<QFrame*>("PInfoPrel")->geometry();
  for (std::size_t i = 0; i < row.size(); ++i) {
    EXPECT_FALSE(row[i]->geometry().intersects(panel)) << i;
    EXPECT_LE(row[i]->geometry().right(), w->width() - 1) << i;
    if (i > 0) {
      EXPECT_LT(row[i - 1]->geometry().right(), row[i]->geometry().left()) << i;
    }
  }
}

TEST_F(MainWindowTest, F2BelongsToEditsAndCombosButOpensTheCalculatorElsewhere) {
  int opened = 0;
  ui::TTitleForm::CalculatorOpener() = [&](QWidget*) { ++opened; };
  auto w = Open();
  const Controls c(*w);
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  c.FileListBox1->setFocus();
  QTest::keyClick(c.FileListBox1, Qt::Key_F2);
  EXPECT_EQ(opened, 1);
  c.LFirme->setFocus();
  QTest::keyClick(c.LFirme, Qt::Key_F2);
  EXPECT_EQ(opened, 1);
  ui::TTitleForm::CalculatorOpener() = nullptr;
}

}  // namespace
