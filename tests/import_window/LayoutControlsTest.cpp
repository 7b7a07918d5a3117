// The supplier-layout controls of the main window on a demo data root: "&Detecteaza" fills the
// column fields through their handlers and reports one line, profiles are saved, applied,
// chosen by file name and deleted only when confirmed, the price rule follows a profile.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "DemoRoot.h"
#include "import/Profiles.h"
#include "import/Settings.h"
#include "import/window/LayoutControls.h"
#include "import/window/MainImportPret.h"
#include "platform/Files.h"
#include "ui/dialogs/MessageDlg.h"

namespace fs = std::filesystem;

namespace {

class LayoutControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("implayout-" + std::to_string(::getpid()));
    root_ = testwin::MakeDemoRoot(base_);
    ui::SetMessageDlgInterceptor([this](const ui::MessageDlgRequest& r) -> std::uint16_t {
      shown_.push_back(r.Text);
      return 1;
    });
    w_ = std::make_unique<imp::TEMainImportPret>();
    w_->show();
    QApplication::processEvents();
    Ctl<QComboBox>("LFirme")->setCurrentIndex(Ctl<QComboBox>("LFirme")->findText("ALFA"));
    w_->LFirmeChange();
    Ctl<imp::TDirectoryListBox>("DirectoryListBox1")
        ->SetDirectory(QString::fromStdString(root_.string()));
  }
  void TearDown() override {
    w_.reset();
    ui::SetMessageDlgInterceptor(nullptr);
    ::unsetenv("IMPPRET_HOME");
    fs::remove_all(base_);
  }
  // A control of the window by its design name.
  template <class T>
  T* Ctl(const char* name) {
    T* control = w_->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void SelectFile(const char* name) {
    Ctl<imp::TFileListBox>("FileListBox1")
        ->SetFileName(QString::fromStdString((root_ / name).string()));
    w_->ShowFileName();
  }
  void Look(QWidget* widget, const char* name) {
    if (const char* dir = std::getenv("IMPPRET_LOOK_DIR"))
      widget->grab().save(QString(dir) + "/" + name);
  }
  std::string NartBytes() {
    std::string s;
    platform::ReadWholeFile(root_ / "ALFA" / "Nart.DB", s);
    return s;
  }

  fs::path base_, root_;
  std::vector<std::string> shown_;
  std::unique_ptr<imp::TEMainImportPret> w_;
};

TEST_F(LayoutControlsTest, DetectFillsTheFieldsThroughTheirHandlersAndNeverImports) {
  SelectFile("Preturi valuta BIFF5.xls");
  const std::string before = NartBytes();
  imp::TLayoutControls& l = *w_->Layout;
  l.BDetecteaza->click();
  EXPECT_EQ(Ctl<QSpinBox>("SCodArt")->value(), 2);
  EXPECT_EQ(Ctl<QSpinBox>("SPret")->value(), 3);
  EXPECT_EQ(Ctl<QSpinBox>("SRandStart")->value(), 3);
  EXPECT_EQ(Ctl<ui::TMRadioGroup>("MArtIdentif")->ItemIndex(), imp::aiCodIntern);
  // Written as typed values are.
  EXPECT_EQ(imp::ReadSetting("Generale", "ColCodArt"), "2");
  EXPECT_EQ(imp::ReadSetting("Generale", "RandStart"), "3");
  EXPECT_EQ(imp::ReadSetting("Generale", "ArtIdentif"), "1");
  EXPECT_EQ(Ctl<QPlainTextEdit>("MErori")->toPlainText().toStdString(),
            "Antet gasit pe randul 2: cod in coloana 2, pret in coloana 3; 41 din 42 de coduri "
            "gasite dupa CODINTERN");
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(NartBytes(), before);
  EXPECT_EQ(Ctl<QTabWidget>("TBN")->currentIndex(), 0);
  Look(w_.get(), "layout_after_detect.png");
  Ctl<QTabWidget>("TBN")->setCurrentIndex(1);
  QApplication::processEvents();
  Look(w_.get(), "layout_detect_message.png");
}

TEST_F(LayoutControlsTest, ProfilesSaveApplyFollowTheFileAndDeleteOnlyWhenConfirmed) {
  imp::TLayoutControls& l = *w_->Layout;
  Ctl<QSpinBox>("SCodArt")->setValue(2);
  Ctl<QSpinBox>("SPret")->setValue(3);
  Ctl<QSpinBox>("SRandStart")->setValue(3);
  Ctl<ui::TMRadioGroup>("MArtIdentif")->SetItemIndex(imp::aiCodIntern);
  l.CRegulaPret->setChecked(true);
  l.EFactor->setText("1,19");
  emit l.EFactor->editingFinished();
  l.LRotunjire->setCurrentIndex(5);
  emit l.LRotunjire->activated(5);
  const std::string name = "Valuta ]\r\n[Generale]";
  l.AskProfile = [&](const std::string&, const std::string&) {
    return std::make_optional(std::make_pair(name, std::string("preturi valuta*.xls")));
  };
  l.BSalveazaProfil->click();
  const auto stored = imp::FindProfile("ALFA", name);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->IdColumn, 2);
  EXPECT_EQ(stored->Rule, (imp::PriceRule{true, 1.19, imp::PriceRounding::End99}));
  EXPECT_EQ(l.LProfil->currentText().toStdString(), name);
  EXPECT_EQ(imp::ReadSetting("Generale", "ColCodArt"), "2");

  // Other choices, then the profile back from the list; then from the file's name.
  Ctl<QSpinBox>("SCodArt")->setValue(7);
  l.CRegulaPret->setChecked(false);
  l.LProfil->setCurrentIndex(0);
  SelectFile("Preturi furnizor.xls");
  EXPECT_EQ(Ctl<QSpinBox>("SCodArt")->value(), 7);
  SelectFile("Preturi valuta BIFF5.xls");
  EXPECT_EQ(Ctl<QSpinBox>("SCodArt")->value(), 2);
  EXPECT_EQ(imp::ReadSetting("Generale", "ColCodArt"), "2");
  EXPECT_TRUE(l.CRegulaPret->isChecked());
  EXPECT_EQ(w_->State().Rule.Factor, 1.19);
  Look(w_.get(), "layout_profile_applied.png");

  int asked = 0;
  l.Confirm = [&](const std::string&) { return ++asked > 1; };
  l.BStergeProfil->click();
  EXPECT_TRUE(imp::FindProfile("ALFA", name));
  l.LProfil->setCurrentIndex(l.LProfil->findText(QString::fromStdString(name)));
  l.BStergeProfil->click();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(imp::FindProfile("ALFA", name));
  EXPECT_EQ(l.LProfil->count(), 1);
}

}  // namespace
