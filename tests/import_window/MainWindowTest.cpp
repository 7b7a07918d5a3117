// The main window end to end on a demo data root: start-up, remembered choices, the checks'
// messages, a full run with its error page, and saving the error list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "import/DemoData.h"
#include "import/Settings.h"
#include "import/window/MainImportPret.h"
#include "platform/db/Session.h"
#include "platform/db/Table.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/forms/TitleForm.h"

namespace fs = std::filesystem;

namespace {

struct Shown {
  std::string Text;
  ui::TDlgKind Kind;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("impwin-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::remove_all(base_);
    fs::create_directories(base_ / "home");
    ::setenv("IMPPRET_HOME", (base_ / "home").c_str(), 1);
    ::unsetenv("IMPPRET_ALIASES");
    root_ = base_ / "data";
    imp::CreateDemoDataRoot(root_, fs::path(IMPPRET_TEST_DATA) / "demo");
    std::ofstream(db::AliasConfigPath()) << "[Tarvex]\r\nPATH=" << root_.string() << "\r\n";
    ui::SetMessageDlgInterceptor([this](const ui::MessageDlgRequest& r) -> std::uint16_t {
      shown_.push_back({r.Text, r.Kind});
      return 1;
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
    w.LFirme->setCurrentIndex(w.LFirme->findText(name));
    w.LFirmeChange();
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
};

TEST_F(MainWindowTest, StartsOnTheDataRootOfTheAlias) {
  auto w = Open();
  EXPECT_EQ(w->windowTitle(), "Import preturi  de vanzare");
  EXPECT_EQ(w->width(), 683);
  EXPECT_EQ(w->height(), 679);
  ASSERT_EQ(w->LFirme->count(), 2);
  EXPECT_EQ(w->LFirme->itemText(0), "ALFA");
  EXPECT_EQ(w->LFirme->itemText(1), "BETA");
  EXPECT_EQ(w->TBN->currentIndex(), 0);
  EXPECT_EQ(w->TBN->tabText(0), "&1.Setari import");
  EXPECT_FALSE(w->PInfoPrel->isVisible());
  EXPECT_TRUE(w->State().CurrentCompany.empty());
}

TEST_F(MainWindowTest, ChoicesAreWrittenAtOnceAndRestoredAtStart) {
  {
    auto w = Open();
    ChooseCompany(*w, "BETA");
    w->SCodArt->setValue(1);
    w->SPret->setValue(3);
    w->SRandStart->setValue(2);
    w->MTipPret->Button(1)->click();
    w->MArtIdentif->Button(2)->click();
    EXPECT_EQ(imp::ReadSetting("Generale", "FirmaCurenta"), "BETA");
    EXPECT_EQ(imp::ReadSetting("Generale", "ColCodArt"), "1");
    EXPECT_EQ(imp::ReadSetting("Generale", "ColPret"), "3");
    EXPECT_EQ(imp::ReadSetting("Generale", "TipPret"), "1");
    EXPECT_EQ(imp::ReadSetting("Generale", "ArtIdentif"), "2");
  }
  imp::WriteSetting("Generale", "RandStart", "250");  // held to 100 and written back
  auto w = Open();
  EXPECT_EQ(w->LFirme->currentText(), "BETA");
  EXPECT_EQ(w->State().CurrentCompany, "BETA");
  EXPECT_EQ(w->SCodArt->value(), 1);
  EXPECT_EQ(w->SPret->value(), 3);
  EXPECT_EQ(w->SRandStart->value(), 100);
  EXPECT_EQ(imp::ReadSetting("Generale", "RandStart"), "100");
  EXPECT_EQ(w->MTipPret->ItemIndex(), 1);
  EXPECT_EQ(w->MArtIdentif->ItemIndex(), 2);
}

TEST_F(MainWindowTest, ChoosingACompanyRestoresItsFile) {
  const fs::path file = root_ / "Preturi valuta BIFF5.xls";
  imp::WriteSetting("BETA", "FisierImport", file.string());
  auto w = Open();
  ChooseCompany(*w, "BETA");
  EXPECT_EQ(w->DirectoryListBox1->Directory().toStdString(), root_.string());
  EXPECT_EQ(w->FileListBox1->FileName().toStdString(), file.string());
  EXPECT_TRUE(w->NumeFis->Caption().startsWith("%Fisier importat : "));
  EXPECT_TRUE(w->NumeFis->Caption().endsWith("preturi valuta biff5.xls"));
  // Choosing it again changes nothing.
  w->FileListBox1->setCurrentRow(0);
  const QString before = w->FileListBox1->FileName();
  ChooseCompany(*w, "BETA");
  EXPECT_EQ(w->FileListBox1->FileName(), before);
}

TEST_F(MainWindowTest, StartImportNamesTheFirstMissingChoice) {
  auto w = Open();
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].Text, "Nu ai precizat numarul coloanei in care se afla @9Cod Articol@0 ! ");
  EXPECT_EQ(shown_[0].Kind, ui::dkError);
  w->SCodArt->setValue(1);
  w->SPret->setValue(3);
  w->SRandStart->setValue(2);
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].Text, "Nu ai selectat Firma de lucru ");
  ChooseCompany(*w, "ALFA");
  w->MProducator->Button(1)->click();
  EXPECT_TRUE(w->LProducator->isVisible());
  w->NiceButton1Click();
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[2].Text, "Nu ai selectat producatorul pentru care faci actualizarile ");
}

TEST_F(MainWindowTest, AFullRunUpdatesTheCatalogueAndShowsTheErrors) {
  auto w = Open();
  ChooseCompany(*w, "ALFA");
  w->SCodArt->setValue(1);
  w->SPret->setValue(3);
  w->SRandStart->setValue(2);
  w->DirectoryListBox1->SetDirectory(QString::fromStdString(root_.string()));
  w->FileListBox1->SetFileName(QString::fromStdString((root_ / "Preturi furnizor.xls").string()));
  // During the run: the progress panel shows the sheet and row, the buttons are disabled.
  int rows = 0;
  bool panelShown = true, buttonsDisabled = true;
  QString firstLine;
  w->OnRowProcessed = [&] {
    if (rows++ == 0) {
      firstLine = w->FLinia->Caption();
      if (const char* look = std::getenv("IMPPRET_LOOK_DIR"))
        w->grab().save(QString(look) + "/main_during_run.png");
    }
    panelShown = panelShown && w->PInfoPrel->isVisible();
    buttonsDisabled =
        buttonsDisabled && !w->NiceButton1->isEnabled() && !w->NiceButton2->isEnabled();
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
  EXPECT_TRUE(w->NiceButton1->isEnabled());
  EXPECT_FALSE(w->PInfoPrel->isVisible());
  EXPECT_EQ(imp::ReadSetting("ALFA", "FisierImport"), (root_ / "Preturi furnizor.xls").string());
  if (w->MErori->document()->blockCount() > 0 && !w->MErori->toPlainText().isEmpty()) {
    EXPECT_EQ(w->TBN->currentIndex(), 1);
    EXPECT_TRUE(w->MSaveErr->isVisible());
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

TEST_F(MainWindowTest, MessagesPageHidesTheSaveButtonWithoutErrorLines) {
  auto w = Open();
  w->TBN->setCurrentIndex(1);
  EXPECT_FALSE(w->MSaveErr->isVisible());
  EXPECT_TRUE(w->MErori->isReadOnly());
}

TEST_F(MainWindowTest, F2BelongsToEditsAndCombosButOpensTheCalculatorElsewhere) {
  int opened = 0;
  ui::TTitleForm::CalculatorOpener() = [&](QWidget*) { ++opened; };
  auto w = Open();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  w->FileListBox1->setFocus();
  QTest::keyClick(w->FileListBox1, Qt::Key_F2);
  EXPECT_EQ(opened, 1);
  w->LFirme->setFocus();
  QTest::keyClick(w->LFirme, Qt::Key_F2);
  EXPECT_EQ(opened, 1);
  ui::TTitleForm::CalculatorOpener() = nullptr;
}

}  // namespace
