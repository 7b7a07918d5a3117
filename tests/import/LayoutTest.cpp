// Supplier layouts: header words, the proposal on lists written by real spreadsheet programs,
// profiles in the settings file, and the price rule with what the run writes read back by
// pxlib.
#include <cmath>

#include "RunFixture.h"
#include "db/PxOracle.h"
#include "import/HeaderDetect.h"
#include "import/HeaderWords.h"
#include "import/IniFile.h"
#include "import/Profiles.h"
#include "import/Settings.h"
#include "platform/Files.h"

namespace importtest {
namespace {

using imp::HeaderKind;

TEST(HeaderWordsTest, DiacriticsCaseBlanksAndPunctuationAreIgnored) {
  const struct {
    const char* text;
    HeaderKind kind;
  } cases[] = {
      {"PREȚ FĂRĂ TVA", HeaderKind::Price},
      {"Preţ vânzare (lei)", HeaderKind::SalePrice},
      {"pret_lista", HeaderKind::SalePrice},
      {"  Cod  articol: ", HeaderKind::IdCode},
      {"CodArticol", HeaderKind::IdCode},
      {"EAN13", HeaderKind::IdCode},
      {"Denumire produs", HeaderKind::IdName},
      {"Unit price", HeaderKind::Price},
      {"List Price EUR", HeaderKind::SalePrice},
      {"SKU", HeaderKind::IdCode},
      {"Preturi", HeaderKind::None},     // a longer word is not the word
      {"Producator", HeaderKind::None},  // nor is one that merely starts alike
      {"Codul fiscal", HeaderKind::None},
      {"Lista de preturi", HeaderKind::None},
      {"", HeaderKind::None},
      {"\xC3\x28\xFF pret", HeaderKind::Price},
  };
  for (const auto& c : cases) EXPECT_EQ(imp::ClassifyHeader(c.text), c.kind) << c.text;
  EXPECT_EQ(imp::FoldHeaderText("Ăă Ââ Îî Șș Țț Şş Ţţ"), "aaaaiissttsstt");
}

using LayoutTest = CompanyFixture;

TEST_F(LayoutTest, ProposalsOnSupplierLists) {
  struct Case {
    const char* file;
    int sheet, headerRow, idCol, priceCol, startRow, identification, matched, tried;
    std::vector<int> others;
  };
  const Case cases[] = {
      // LibreOffice: a merged title block, the header on row 5, a sale price named so.
      {"layout_title_block.xls", 0, 5, 2, 5, 6, imp::aiCodExtern, 7, 7, {}},
      // LibreOffice: the supplier's own codes match nothing, the names do; list price first.
      {"layout_supplier_codes.xls", 0, 1, 2, 3, 2, imp::aiDenumire, 7, 7, {4}},
      // Gnumeric: capitals with diacritics, prices without and with VAT, internal codes only.
      {"layout_capitals.xls", 0, 1, 1, 3, 2, imp::aiCodIntern, 7, 7, {4}},
      // xlwt: a hidden first sheet and a cover sheet before English headers, number codes.
      {"layout_english.xls", 2, 3, 1, 4, 4, imp::aiCodExtern, 7, 7, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const imp::LayoutProposal p =
        imp::DetectLayoutInFile(TestData(c.file), state_.CompanyFolder.string());
    ASSERT_TRUE(p.Found) << p.Reason;
    EXPECT_EQ(p.Sheet, c.sheet);
    EXPECT_EQ(p.HeaderRow, c.headerRow);
    EXPECT_EQ(p.IdColumn, c.idCol);
    EXPECT_EQ(p.PriceColumn, c.priceCol);
    EXPECT_EQ(p.StartRow, c.startRow);
    EXPECT_EQ(p.Identification, c.identification);
    EXPECT_EQ(p.Matched, c.matched);
    EXPECT_EQ(p.Tried, c.tried);
    EXPECT_EQ(p.OtherPriceColumns, c.others);

    // The proposal imports the whole list.
    state_.FileName = TestData(c.file);
    state_.IdColumn = p.IdColumn;
    state_.PriceColumn = p.PriceColumn;
    state_.StartRow = p.StartRow;
    state_.Identification = p.Identification;
    view_ = RecordingView();
    imp::RunOptions dry;
    dry.DryRun = true;
    const imp::ImportResult r = imp::RunImport(state_, view_, dry);
    EXPECT_EQ(r.Imported, 7);
    EXPECT_EQ(r.Errors, 0);
  }
  EXPECT_EQ(imp::ProposalMessage(imp::DetectLayoutInFile(TestData("layout_title_block.xls"),
                                                         state_.CompanyFolder.string())),
            "Antet gasit pe randul 5: cod in coloana 2, pret in coloana 5; 7 din 7 coduri gasite "
            "dupa CODEXTERN");

  // No header row: no proposal, said plainly; no catalogue: columns without identification.
  const imp::LayoutProposal none =
      imp::DetectLayoutInFile(TestData("layout_no_header.xls"), state_.CompanyFolder.string());
  EXPECT_FALSE(none.Found);
  EXPECT_EQ(imp::ProposalMessage(none),
            "Nu am gasit un rand de antet cu cod si pret in primele 30 de randuri ale paginilor");
  const imp::LayoutProposal blind = imp::DetectLayoutInFile(TestData("layout_capitals.xls"), "");
  ASSERT_TRUE(blind.Found);
  EXPECT_FALSE(blind.IdentificationTried);
  EXPECT_EQ(blind.IdColumn, 1);
}

TEST_F(LayoutTest, ProfilesKeepEveryTextInsideTheirOwnSection) {
  imp::ImportProfile a;
  a.Name = "Fero]metal\r\n[Generale]\r\nColPret=99";
  a.Pattern = "Ferometal*.xls";
  a.IdColumn = 2;
  a.PriceColumn = 5;
  a.StartRow = 6;
  a.PriceKindIndex = imp::pkValuta;
  a.Identification = imp::aiDenumire;
  a.ProducerRestriction = true;
  a.ProducerName = "O'Brien = 100%; \"x\"";
  a.PriceCategoryCode = 3;
  a.PriceCategoryName = "Angro";
  a.Rule = {true, 1.19, imp::PriceRounding::End99};
  imp::ImportProfile b;
  b.Name = "Altul";
  b.IdColumn = 1;
  imp::WriteSetting("Generale", "ColPret", "4");
  imp::SaveProfile("TEST", a);
  imp::SaveProfile("TEST", b);
  imp::SaveProfile("ALTA", b);

  EXPECT_EQ(imp::ReadSetting("Generale", "ColPret"), "4");  // nothing leaked into "Generale"
  const std::vector<imp::ImportProfile> all = imp::LoadProfiles("TEST");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0], a);
  EXPECT_EQ(all[1], b);
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(imp::SettingsPath(), text));
  EXPECT_EQ(text.substr(0, text.find("[Profil:TEST:Altul]")),
            "[Generale]\r\nColPret=4\r\n"
            "[Profil:TEST:Fero%5Dmetal%0D%0A%5BGenerale%5D%0D%0AColPret%3D99]\r\n"
            "Nume=Fero%5Dmetal%0D%0A%5BGenerale%5D%0D%0AColPret%3D99\r\nModel=Ferometal*.xls\r\n"
            "ColCodArt=2\r\nColPret=5\r\nRandStart=6\r\nTipPret=1\r\nArtIdentif=2\r\n"
            "DoarProducator=1\r\nProducator=O%27Brien %3D 100%25%3B %22x%22\r\nCodCatPret=3\r\n"
            "DenCatPret=Angro\r\nRegulaPret=1\r\nFactor=1,19\r\nRotunjire=99\r\n");

  // Saving again under the same name (any case) replaces; the file pattern selects.
  b.IdColumn = 7;
  b.Name = "ALTUL";
  imp::SaveProfile("TEST", b);
  ASSERT_EQ(imp::LoadProfiles("TEST").size(), 2u);
  EXPECT_EQ(imp::FindProfile("TEST", "altul")->IdColumn, 7);
  const std::vector<imp::ImportProfile> now = imp::LoadProfiles("TEST");
  const imp::ImportProfile* byFile = imp::ProfileForFile(now, "/x/y/FEROMETAL martie.XLS");
  ASSERT_NE(byFile, nullptr);
  EXPECT_EQ(byFile->Name, a.Name);
  EXPECT_EQ(imp::ProfileForFile(now, "/x/Ferometal.xlsx"), nullptr);

  // Applying sets the choices and selects the category's item.
  state_.PriceCategories = {{"Lista", 1}, {"Angro", 3}};
  imp::ApplyProfile(a, state_);
  EXPECT_EQ(state_.IdColumn, 2);
  EXPECT_EQ(state_.SelectedPriceCategory, 1);
  EXPECT_EQ(state_.ProducerName, a.ProducerName);
  EXPECT_EQ(imp::ProfileFromState(state_, a.Name).Rule, a.Rule);

  EXPECT_TRUE(imp::DeleteProfile("TEST", a.Name));
  EXPECT_FALSE(imp::DeleteProfile("TEST", a.Name));
  EXPECT_EQ(imp::LoadProfiles("TEST").size(), 1u);
  EXPECT_EQ(imp::LoadProfiles("ALTA").size(), 1u);
  EXPECT_THROW(imp::SaveProfile("TEST", imp::ImportProfile{}), std::runtime_error);

  for (const char* pattern : {"*", "F*l*.xls", "?ero*", "*.XLS"})
    EXPECT_TRUE(imp::MatchesFilePattern(pattern, "Ferometal.xls")) << pattern;
  for (const char* pattern : {"", "F?.xls", "*.xlsx", "Fero"})
    EXPECT_FALSE(imp::MatchesFilePattern(pattern, "Ferometal.xls")) << pattern;
}

TEST(PriceRuleTest, FactorAndRoundings) {
  using R = imp::PriceRounding;
  const struct {
    double factor;
    R rounding;
    double read, written;
  } cases[] = {
      {1, R::Cent, 12.345, 12.35},  // half-way as the text reads, though 12.345 is below
      {1, R::Cent, 10.025, 10.03},
      {1, R::Cent, 1.005, 1.01},
      {1, R::FiveCents, 12.325, 12.35},
      {1, R::FiveCents, 12.324, 12.30},
      {1, R::TenCents, 12.35, 12.4},
      {1, R::TenCents, 12.349, 12.3},
      {1, R::Unit, 12.5, 13},
      {1, R::Unit, 12.49, 12},
      {1, R::End99, 12.30, 11.99},
      {1, R::End99, 12.49, 12.99},  // half-way goes up
      {1, R::End99, 12.50, 12.99},
      {1, R::End99, 0.30, 0.99},  // never below 0,99
      {1.19, R::Cent, 12.5, 14.88},
      {1.19, R::None, 10, 11.9},
      {1.19, R::FiveCents, 10.025, 11.95},
      {0.5, R::Unit, 3, 2},
      {1.19, R::End99, 0, 0},  // zero stays zero under every rule
      {1.19, R::Unit, 0, 0},
  };
  for (const auto& c : cases) {
    double written = -1;
    ASSERT_TRUE(imp::ApplyPriceRule({true, c.factor, c.rounding}, c.read, written)) << c.read;
    EXPECT_DOUBLE_EQ(written, c.written) << c.factor << " " << c.read;
  }
  double written = 0;
  EXPECT_FALSE(imp::ApplyPriceRule({true, 1.19, R::Cent}, -5, written));
  EXPECT_FALSE(imp::ApplyPriceRule({true, 1000, R::None}, 1e308, written));
  EXPECT_TRUE(imp::ApplyPriceRule({}, -5, written));  // off: as read
  EXPECT_EQ(written, -5);

  double f = 0;
  EXPECT_TRUE(imp::ParseFactor("1,19", f));
  EXPECT_EQ(f, 1.19);
  EXPECT_TRUE(imp::ParseFactor(" 1.5 ", f));
  for (const char* bad : {"0", "-1", "abc", "1,2,3", "1001", ""})
    EXPECT_FALSE(imp::ParseFactor(bad, f)) << bad;
  for (R r : {R::None, R::Cent, R::FiveCents, R::TenCents, R::Unit, R::End99}) {
    R back = R::Cent;
    ASSERT_TRUE(imp::ParseRounding(imp::RoundingText(r), back));
    EXPECT_EQ(back, r);
  }
  R r{};
  EXPECT_FALSE(imp::ParseRounding("0,5", r));
}

TEST_F(LayoutTest, RuleWritesTheRoundedPriceAndShowsBoth) {
  state_.FileName = TestData("rule_cases.xls");
  state_.Rule = {true, 1.19, imp::PriceRounding::Cent};
  // The change plan is told both the cell's value and the price written.
  struct Recorder : imp::ChangeObserver {
    std::vector<std::pair<double, double>> rows;
    void BeforeArticleWrite(const imp::ChangeRow& row) override {
      rows.emplace_back(row.CellValue, row.NewValue);
    }
    void BeforeMultiPriceWrite(const imp::ChangeRow&) override {}
  } recorder;
  imp::RunOptions options;
  options.Observer = &recorder;
  const imp::ImportResult r = imp::RunImport(state_, view_, options);
  const std::vector<std::pair<double, double>> planned = {
      {12.345, 14.69}, {10.025, 11.93}, {0, 0}, {9.995, 11.89}, {0.3, 0.36}, {12.5, 14.88}};
  EXPECT_EQ(recorder.rows, planned);
  EXPECT_EQ(r.Imported, 6);
  EXPECT_EQ(r.Errors, 1);
  ASSERT_EQ(view_.lines.size(), 1u);
  EXPECT_EQ(view_.lines[0],
            "Pagina 1    Linia 5 ...... Pret articol eronat : -5 (regula de pret nu se aplica "
            "unui pret negativ sau prea mare)");
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_NE(view_.messages[0].text.find(" Regula de pret: factor 1,19, rotunjire la 0,01 \r"
                                        " Total preturi din fisier: 45,165, total preturi scrise: "
                                        "53,75 "),
            std::string::npos)
      << view_.messages[0].text;

  // What pxlib reads: 12,345 * 1,19 = 14,69055; 10,025 -> 11,92975; 9,995 -> 11,89405;
  // 0,3 -> 0,357; 12,5 -> 14,875 (half-way); zero stays; the negative row is untouched.
  pxo::Contents nart;
  std::string error;
  ASSERT_TRUE(pxo::Read(folder_ / "Nart.DB", folder_ / "Nart.PX", nart, error)) << error;
  std::size_t priceField = 0;
  while (priceField < nart.columns.size() && nart.columns[priceField].name != "PretVanzare")
    ++priceField;
  ASSERT_LT(priceField, nart.columns.size());
  const double expected[] = {14.69, 11.93, 0, 7.0, 11.89, 0.36, 14.88};
  ASSERT_EQ(nart.rows.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_DOUBLE_EQ(nart.rows[i][priceField].d, expected[i]) << "article " << i + 1;
}

}  // namespace
}  // namespace importtest
