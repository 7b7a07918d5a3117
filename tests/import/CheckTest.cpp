// The eight checks of "&Start import", in order, and what they store once all pass; the error
// list file.
#include <fstream>

#include "RunFixture.h"
#include "import/ErrorList.h"
#include "import/Settings.h"
#include "platform/Files.h"

namespace importtest {
namespace {

using CheckTest = CompanyFixture;

TEST_F(CheckTest, EachCheckRefusesInTurnWithItsMessage) {
  // Start from nothing chosen and fix one thing after each refusal.
  imp::TImportState s;
  s.ProducerRestriction = true;
  const std::string folderMessage =
      std::string("Nu exista directorul cu firma de lucru @15% \r\r") +
      (root_ / "LIPSA 100\\%").string();
  const fs::path brokenName = root_ / "lista\r\n[ALFA]\r\nCodCatPret=4.xls";
  std::ofstream(brokenName) << "x";
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"Nu ai precizat numarul coloanei in care se afla @9Cod Articol@0 ! ",
       [&] { s.IdColumn = 1; }},
      {"Nu ai precizat numarul coloanei in care se afla @9Pretul@0 ! ", [&] { s.PriceColumn = 2; }},
      {"Nu ai precizat numarul randului cu care incep preturile ! ", [&] { s.StartRow = 2; }},
      {"Nu ai selectat Firma de lucru ",
       [&] {
         s.CurrentCompany = s.SelectedCompany = "LIPSA 100%";
         s.CompanyFolder = root_ / "LIPSA 100%";
       }},
      {folderMessage,
       [&] {
         s.CurrentCompany = s.SelectedCompany = "TEST";
         s.CompanyFolder = folder_;
       }},
      {"Nu ai selectat producatorul pentru care faci actualizarile ",
       [&] { s.ProducerName = "Philips"; }},
      {"Nu ai selectat Fisierul de importat ", [&] { s.FileName = root_ / "lipsa.xls"; }},
      {"Nu exista fisierul de importat ", [&] { s.FileName = brokenName; }},
      // A name that would break its line of the settings file is refused, not stored.
      {imp::UnstorableValueMessage(brokenName.string()),
       [&] { s.FileName = TestData("run_cases.xls"); }},
  };
  for (const auto& [message, fix] : steps) {
    RecordingView view;
    EXPECT_FALSE(imp::CheckImportSettings(s, view));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, message);
    EXPECT_EQ(view.messages[0].kind, imp::MessageKind::dkError);
    EXPECT_FALSE(fs::exists(root_ / "home" / "ImpPretExcel.Ini"))
        << "nothing stored before all pass";
    fix();
  }
  RecordingView view;
  EXPECT_TRUE(imp::CheckImportSettings(s, view));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(imp::ReadSetting("TEST", "FisierImport"), TestData("run_cases.xls"));
}

TEST_F(CheckTest, ChosenCategoryIsStoredAndBecomesTheCode) {
  state_.PriceCategoryCode = 7;  // as read when the company became current
  state_.PriceCategories = {{"Angro", 3}, {"Nedefinit", 0}};
  state_.SelectedPriceCategory = 1;  // an item with code 0 keeps the stored code
  ASSERT_TRUE(imp::CheckImportSettings(state_, view_));
  EXPECT_EQ(state_.PriceCategoryCode, 7);
  EXPECT_EQ(imp::ReadSetting("TEST", "CodCatPret"), "");

  state_.SelectedPriceCategory = 0;
  ASSERT_TRUE(imp::CheckImportSettings(state_, view_));
  EXPECT_EQ(state_.PriceCategoryCode, 3);
  EXPECT_EQ(imp::ReadSetting("TEST", "CodCatPret"), "3");
  EXPECT_EQ(imp::ReadSetting("TEST", "DenCatPret"), "Angro");

  // A dry run stores nothing.
  fs::remove(root_ / "home" / "ImpPretExcel.Ini");
  imp::RunOptions dry;
  dry.DryRun = true;
  ASSERT_TRUE(imp::CheckImportSettings(state_, view_, dry));
  EXPECT_FALSE(fs::exists(root_ / "home" / "ImpPretExcel.Ini"));
}

TEST_F(CheckTest, ErrorListIsSavedWithCrLfAndReplaced) {
  const fs::path file = imp::ErrorListPath();
  EXPECT_EQ(file, root_ / "home" / "Errori.txt");
  imp::SaveErrorLines(file,
                      {"Pagina 1    Linia 4 ...... Pret articol eronat : 1,2,3",
                       "Pagina 2    Linia 9 ...... Cod articol inexistent in baza de date : Ă"});
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(file, text));
  EXPECT_EQ(text,
            "Pagina 1    Linia 4 ...... Pret articol eronat : 1,2,3\r\n"
            "Pagina 2    Linia 9 ...... Cod articol inexistent in baza de date : Ă\r\n");
  imp::SaveErrorLines(file, {"una"});
  ASSERT_TRUE(platform::ReadWholeFile(file, text));
  EXPECT_EQ(text, "una\r\n");
  EXPECT_EQ(imp::ErrorListSavedMessage("/tmp/100%/Errori.txt"),
            " A fost generat fisierul cu erori @15% \r\r/tmp/100\\%/Errori.txt");

  // A folder that cannot be written raises, and the earlier file stays.
  EXPECT_THROW(imp::SaveErrorLines(root_ / "lipsa" / "Errori.txt", {"x"}), std::runtime_error);
}

}  // namespace
}  // namespace importtest
