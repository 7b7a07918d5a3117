// The import run against real tables and real workbooks: rows, error lines, counts, multiple
// prices, currency, producer restriction, refusals, clean-up on failure, dry run.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "RunFixture.h"
#include "import/RunChecks.h"
#include "import/Settings.h"
#include "platform/Files.h"
#include "platform/db/CreateTable.h"
#include "platform/db/TableFile.h"

namespace importtest {
namespace {

std::string FileBytes(const fs::path& p) {
  std::string s;
  platform::ReadWholeFile(p, s);
  return s;
}

using RunTest = CompanyFixture;

TEST_F(RunTest, ThreeSheetsWithEveryKindOfLine) {
  state_.PriceCategoryCode = 3;
  imp::ImportResult r = imp::RunImport(state_, view_);
  ASSERT_TRUE(r.Ran);
  EXPECT_EQ(r.Imported, 6);  // 1001, 1002, 1004 (past the empty row), 1005, 1006, 1007
  EXPECT_EQ(r.Errors, 3);    // the row with two lines counts once
  EXPECT_EQ(r.EmptyRows, 1);
  const std::vector<std::string> expected = {
      "Pagina 1    Linia 4 ...... Cod articol inexistent in baza de date : 9999",
      "Pagina 1    Linia 4 ...... Pret articol eronat : 12,345.678",
      "Pagina 1    Linia 5 ...... Pret articol eronat : 1,234,56",
      "Pagina 3    Linia 2 ...... Cod articol inexistent in baza de date : X-1"};
  EXPECT_EQ(view_.lines, expected);

  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 12.5);  // number cell 1001 found as "1001"
  EXPECT_DOUBLE_EQ(ArticlePrice(2, "PretVanzare"), 7.25);  // text "7.25" read as 7,25
  EXPECT_DOUBLE_EQ(ArticlePrice(3, "PretVanzare"), 5.0);   // bad price: untouched
  EXPECT_DOUBLE_EQ(ArticlePrice(4, "PretVanzare"), 5.0);   // the sheet goes on past an empty row
  EXPECT_DOUBLE_EQ(ArticlePrice(6, "PretVanzare"), 200.75);
  EXPECT_DOUBLE_EQ(ArticlePrice(7, "PretVanzare"), 0.5);
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretValuta"), 2.0);  // the other currency is kept

  // Article 2 had a row for category 3: updated in place. Article 5 numbers its new row past
  // its highest; article 6 starts at 1; article 7 is no "M" article and keeps its row.
  const std::vector<MultiRow> rows = {{2, 1, 3, 7.25, 8.0},   {5, 1, 1, 9.0, 1.0},
                                      {5, 2, 2, 8.5, 1.5},    {5, 3, 3, 100.0, 0.0},
                                      {6, 1, 3, 200.75, 0.0}, {7, 1, 3, 1.0, 1.0}};
  EXPECT_EQ(MultiPrices(), rows);

  // The progress line names every page; the summary follows; the error page is shown last.
  EXPECT_EQ(view_.captions.front(), "Pagina 1        Linia @13 2");
  EXPECT_EQ(view_.captions.back(), "Pagina 3        Linia @13 3");
  EXPECT_NE(std::find(view_.captions.begin(), view_.captions.end(), "Pagina 2        Linia @13 3"),
            view_.captions.end());
  EXPECT_EQ(view_.pumps, static_cast<int>(view_.captions.size()));
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].kind, imp::MessageKind::dkInformation);
  EXPECT_EQ(view_.messages[0].text,
            " Au fost preluate  @15%  6@0%  preturi. \r\r Au fost semnalate @15%~ 3@0%~ linii cu "
            "erori \r\r Au fost sarite @15%~ 1@0%~ randuri goale intre preturi ");
  EXPECT_FALSE(view_.panelVisibleAtMessage[0]);
  EXPECT_EQ(view_.pages, (std::vector<int>{imp::kSettingsPage, imp::kMessagesPage}));
  EXPECT_FALSE(view_.busyCursor);
  EXPECT_FALSE(view_.panelVisible);
}

TEST_F(RunTest, ForeignCurrencyWritesOnlyTheForeignFields) {
  state_.PriceCategoryCode = 3;
  state_.PriceKindIndex = imp::pkValuta;
  imp::RunImport(state_, view_);
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretValuta"), 12.5);
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 1.0);
  const std::vector<MultiRow> rows = {{2, 1, 3, 9.0, 7.25},   {5, 1, 1, 9.0, 1.0},
                                      {5, 2, 2, 8.5, 1.5},    {5, 3, 3, 0.0, 100.0},
                                      {6, 1, 3, 0.0, 200.75}, {7, 1, 3, 1.0, 1.0}};
  EXPECT_EQ(MultiPrices(), rows);
}

TEST_F(RunTest, CategoryZeroLeavesMultiplePricesAlone) {
  const auto before = MultiPrices();
  imp::ImportResult r = imp::RunImport(state_, view_);
  EXPECT_EQ(r.Imported, 6);
  EXPECT_EQ(MultiPrices(), before);
  EXPECT_DOUBLE_EQ(ArticlePrice(5, "PretVanzare"), 100.0);
}

TEST_F(RunTest, ProducerRestrictionWithAnApostrophe) {
  state_.ProducerRestriction = true;
  state_.ProducerName = "O'Brien";
  imp::ImportResult r = imp::RunImport(state_, view_);
  EXPECT_EQ(r.Imported, 1);  // only 1002 belongs to O'Brien
  EXPECT_DOUBLE_EQ(ArticlePrice(2, "PretVanzare"), 7.25);
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 1.0);
  EXPECT_EQ(view_.lines.front(),
            "Pagina 1    Linia 2 ...... Cod articol inexistent in baza de date : 1001");
}

TEST_F(RunTest, IdentifiesByInternalCode) {
  state_.Identification = imp::aiCodIntern;
  imp::ImportResult r = imp::RunImport(state_, view_);
  EXPECT_EQ(r.Imported, 0);  // the workbook holds external codes only
  EXPECT_EQ(r.Errors, 9);
}

TEST_F(RunTest, WorkbooksRefusedBeforeAnyTableIsTouched) {
  const std::string nart = FileBytes(platform::FindFileNoCase(folder_, "Nart.DB"));
  struct Case {
    std::string file;
    int idCol, priceCol;
    std::string message;
  } cases[] = {
      // Refused only beyond the last used column of every worksheet (the widest has four).
      {"empty_first_sheet.xls", 3, 2,
       " Pentru @9Cod Articol@0 ai precizat un numar de coloana prea mare !"},
      {"narrow_first_sheet.xls", 5, 1,
       " Pentru @9Cod Articol@0 ai precizat un numar de coloana prea mare !"},
      {"narrow_first_sheet.xls", 1, 5,
       " Pentru @9Pret Articol@0 ai precizat un numar de coloana prea mare !"},
  };
  for (const Case& c : cases) {
    RecordingView view;
    state_.FileName = TestData(c.file);
    state_.IdColumn = c.idCol;
    state_.PriceColumn = c.priceCol;
    imp::ImportResult r = imp::RunImport(state_, view);
    EXPECT_FALSE(r.Ran) << c.file;
    ASSERT_EQ(view.messages.size(), 1u) << c.file;
    EXPECT_EQ(view.messages[0].text, c.message);
    EXPECT_EQ(view.messages[0].kind, imp::MessageKind::dkError);
    EXPECT_FALSE(view.busyCursor);
    EXPECT_TRUE(view.lines.empty());
  }
  EXPECT_EQ(FileBytes(platform::FindFileNoCase(folder_, "Nart.DB")), nart);

  // An empty cover sheet or a narrow first sheet: the prices of the wider sheet are read, the
  // narrow sheet's rows hold nothing in those columns and are passed over.
  struct Accepted {
    std::string file;
    int idCol, priceCol, startRow, article;
    double price;
  } accepted[] = {{"empty_first_sheet.xls", 1, 2, 2, 1, 10.0},
                  {"narrow_first_sheet.xls", 3, 4, 1, 3, 13.0}};
  for (const Accepted& c : accepted) {
    RecordingView view;
    state_.FileName = TestData(c.file);
    state_.IdColumn = c.idCol;
    state_.PriceColumn = c.priceCol;
    state_.StartRow = c.startRow;
    imp::ImportResult r = imp::RunImport(state_, view);
    EXPECT_TRUE(r.Ran) << c.file;
    EXPECT_EQ(r.Imported, 1) << c.file;
    EXPECT_EQ(r.Errors, 0) << c.file;
    EXPECT_DOUBLE_EQ(ArticlePrice(c.article, "PretVanzare"), c.price) << c.file;
  }
}

TEST_F(RunTest, NoWorkbookIsRefusedWithTheOpenMessage) {
  // Bytes that none of the readers takes (text would be read as a .csv list, whatever the
  // name says).
  fs::path fake = root_ / "nu e excel.xls";
  std::ofstream(fake, std::ios::binary) << std::string("\x01\x02\x00\x00Cod;Pret\n1001;12\n", 20);
  state_.FileName = fake;
  imp::ImportResult r = imp::RunImport(state_, view_);
  EXPECT_FALSE(r.Ran);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(
      view_.messages[0].text,
      " Nu pot deschide fisierul selectat !\r\r Este posibil ca el sa nu fie un fisier EXCEL ");
  EXPECT_FALSE(view_.busyCursor);
}

// A workbook whose lookups fail after a few rows, as a damaged file does.
class FailingWorkbook : public imp::PriceWorkbook {
 public:
  explicit FailingWorkbook(bool* closed) : closed_(closed) {}
  void Open(const fs::path&) override {}
  int SheetCount() const override { return 1; }
  int LastCol() const override { return 1; }
  int LastRow(int) const override { return 9; }
  bool GetCellValue(int, int col, int row, imp::CellValue& v) override {
    if (row >= 3) throw std::runtime_error("DBCELL record is missing");
    v = col == 0 ? imp::CellValue(std::string("100") + std::to_string(row)) : imp::CellValue(42.5);
    return true;
  }
  void Close() override { *closed_ = true; }

 private:
  bool* closed_;
};

TEST_F(RunTest, AFailureHalfWayKeepsWhatWasPostedAndCleansUp) {
  bool closed = false;
  imp::RunOptions options;
  options.MakeWorkbook = [&closed] { return std::make_unique<FailingWorkbook>(&closed); };
  state_.StartRow = 2;  // rows 1 and 2 (0-based) give 1001 and 1002, row 3 fails
  EXPECT_THROW(imp::RunImport(state_, view_, options), std::runtime_error);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(view_.busyCursor);
  EXPECT_FALSE(view_.panelVisible);
  ASSERT_EQ(view_.messages.size(), 1u);  // the summary of what was done
  EXPECT_EQ(view_.messages[0].text,
            " Au fost preluate  @15%  2@0%  preturi. \r\r Au fost semnalate @15%~ 0@0%~ linii cu "
            "erori ");
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 42.5);
  EXPECT_DOUBLE_EQ(ArticlePrice(2, "PretVanzare"), 42.5);
  EXPECT_DOUBLE_EQ(ArticlePrice(3, "PretVanzare"), 5.0);
}

// A view that presses "&Start import" again while the run processes its messages.
class ReenteringView : public RecordingView {
 public:
  explicit ReenteringView(const imp::TImportState& state) : state_(state) {}
  void ProcessPendingMessages() override {
    RecordingView::ProcessPendingMessages();
    running = running && imp::IsImportRunning();
    nested.push_back(imp::RunImport(state_, inner));
  }
  const imp::TImportState& state_;
  RecordingView inner;
  std::vector<imp::ImportResult> nested;
  bool running = true;
};

TEST_F(RunTest, APressDuringARunDoesNothing) {
  ReenteringView view(state_);
  imp::ImportResult r = imp::RunImport(state_, view);
  EXPECT_EQ(r.Imported, 6);
  EXPECT_TRUE(view.running);
  ASSERT_FALSE(view.nested.empty());
  for (const imp::ImportResult& n : view.nested) EXPECT_FALSE(n.Ran);
  EXPECT_TRUE(view.inner.messages.empty());
  EXPECT_EQ(view.inner.cursorChanges, 0);
  EXPECT_FALSE(imp::IsImportRunning());
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 12.5);
}

TEST_F(RunTest, DryRunWritesNothingAndReportsTheChanges) {
  state_.PriceCategoryCode = 3;
  const std::string nart = FileBytes(platform::FindFileNoCase(folder_, "Nart.DB"));
  const std::string pretm = FileBytes(platform::FindFileNoCase(folder_, "PretM.DB"));
  std::vector<imp::PlannedChange> changes;
  imp::RunOptions options;
  options.DryRun = true;
  options.OnPlannedChange = [&changes](const imp::PlannedChange& c) { changes.push_back(c); };
  imp::ImportResult r = imp::RunImport(state_, view_, options);
  EXPECT_EQ(r.Imported, 6);
  EXPECT_EQ(r.Errors, 3);
  EXPECT_EQ(FileBytes(platform::FindFileNoCase(folder_, "Nart.DB")), nart);
  EXPECT_EQ(FileBytes(platform::FindFileNoCase(folder_, "PretM.DB")), pretm);
  ASSERT_EQ(changes.size(), 9u);  // six prices, one PretM update, two new PretM rows
  EXPECT_EQ(changes[0].ArticleCode, 1);
  EXPECT_EQ(changes[0].Field, "PretVanzare");
  EXPECT_DOUBLE_EQ(changes[0].Value, 12.5);
  EXPECT_TRUE(changes[5].NewMultiPriceRow);
  EXPECT_EQ(changes[5].IndexLocal, 3);
}

// What would refuse a write later (a secondary index beside "PretM" in the way of a new row, a
// read-only "PretM", a lock held by another writer) refuses the run before either table
// changes, and the dry run says the same.
TEST_F(RunTest, WriteRefusalsComeBeforeAnyByteChanges) {
  state_.PriceCategoryCode = 3;
  const fs::path nartPath = platform::FindFileNoCase(folder_, "Nart.DB");
  const fs::path pretmPath = platform::FindFileNoCase(folder_, "PretM.DB");
  const std::string nart = FileBytes(nartPath), pretm = FileBytes(pretmPath);
  auto refused = [&](const std::string& expected) {
    for (bool dry : {true, false}) {
      SCOPED_TRACE(dry ? "dry run" : "run");
      imp::RunOptions options;
      options.DryRun = dry;
      try {
        imp::RunImport(state_, view_, options);
        ADD_FAILURE() << "the run was not refused";
      } catch (const db::DbError& e) {
        EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
      }
      EXPECT_EQ(FileBytes(nartPath), nart);
      EXPECT_EQ(FileBytes(pretmPath), pretm);
    }
  };
  std::ofstream(folder_ / "PretM.X02") << "";
  refused("are indexuri secundare (PretM.X02)");
  fs::remove(folder_ / "PretM.X02");

  fs::permissions(pretmPath, fs::perms::owner_write, fs::perm_options::remove);
  if (::access(pretmPath.c_str(), W_OK) != 0) refused("nu poate fi deschisa pentru scriere");
  fs::permissions(pretmPath, fs::perms::owner_write, fs::perm_options::add);

  const HeldTable holder(folder_, "PretM");
  refused("este modificata acum de alt program");
}

// Two runs on one company started together: the second waits for the first (or is refused
// with the lock message), never sees a half-written table, and the tables end as after one
// run and then the other.
TEST_F(RunTest, TwoRunsStartedTogetherEndAsOneAfterTheOther) {
  state_.PriceCategoryCode = 3;
  pid_t children[2];
  for (pid_t& child : children) {
    child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int code = 0;
      try {
        RecordingView view;
        code = imp::RunImport(state_, view).Imported == 6 ? 0 : 4;
      } catch (const std::exception& e) {
        code =
            std::string(e.what()).find("este modificata acum de alt program") != std::string::npos
                ? 2
                : 3;
      }
      ::_exit(code);
    }
  }
  int waited = 0;
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 2) << WEXITSTATUS(status);
    waited += WEXITSTATUS(status) == 0;
  }
  const auto together = MultiPrices();
  const double price = ArticlePrice(1, "PretVanzare");
  // The same runs one after the other on a fresh copy of the company.
  TearDown();
  SetUp();
  state_.PriceCategoryCode = 3;
  for (int i = 0; i < waited; ++i) imp::RunImport(state_, view_);
  EXPECT_EQ(MultiPrices(), together);
  EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), price);
}

// A list shaped like a real supplier's, against a catalogue where an article has blank codes
// in every identification field: empty identifiers never match, the sheet is read to its
// last row, empty rows are passed over and counted, control characters stay off the lines.
TEST_F(RunTest, SupplierShapedListReadToItsLastRow) {
  imp::AddArticles(folder_, {{8, "", "", "", "Philips", 15.0, 16.0, "M"}});
  state_.FileName = TestData("supplier_list.xls");
  state_.StartRow = 5;
  state_.PriceCategoryCode = 3;
  const std::vector<MultiRow> multiBefore = MultiPrices();
  const char* kNotFound = " ...... Cod articol inexistent in baza de date : ";
  const char* kBadPrice = " ...... Pret articol eronat : ";
  struct Case {
    int identification, imported;
  } cases[] = {{imp::aiCodExtern, 5}, {imp::aiCodIntern, 0}, {imp::aiDenumire, 0}};
  for (const Case& c : cases) {
    RecordingView view;
    state_.Identification = c.identification;
    imp::RunOptions options;
    std::vector<imp::PlannedChange> planned;
    options.DryRun = true;  // the same rows as the run; 1006 twice: one new row, one update
    options.OnPlannedChange = [&planned](const imp::PlannedChange& p) { planned.push_back(p); };
    imp::RunImport(state_, view, options);
    if (c.identification == imp::aiCodExtern) {
      ASSERT_EQ(planned.size(), 8u);  // five prices, 1002's update, 1006's new row and update
      EXPECT_TRUE(planned[5].NewMultiPriceRow);
      EXPECT_EQ(planned[5].ArticleCode, 6);
      EXPECT_FALSE(planned[7].NewMultiPriceRow);
      EXPECT_EQ(planned[7].Field, "PretM.Lei");
      EXPECT_DOUBLE_EQ(planned[7].Value, 41.0);
    }
    imp::ImportResult r = imp::RunImport(state_, view);
    EXPECT_EQ(r.Imported, c.imported) << c.identification;
    EXPECT_EQ(r.Errors, 12 - c.imported) << c.identification;
    EXPECT_EQ(r.EmptyRows, 2) << c.identification;  // rows 8 and 13; not those after row 18
    EXPECT_DOUBLE_EQ(ArticlePrice(8, "PretVanzare"), 15.0) << c.identification;
    if (c.identification != imp::aiCodExtern) continue;
    const std::vector<std::string> expected = {
        std::string("Pagina 2    Linia 5") + kNotFound + "Iluminat",
        std::string("Pagina 2    Linia 5") + kBadPrice,
        std::string("Pagina 2    Linia 9") + kNotFound,
        std::string("Pagina 2    Linia 10") + kNotFound + "   ",
        std::string("Pagina 2    Linia 11") + kBadPrice,  // a Boolean cell is no value
        std::string("Pagina 2    Linia 12") + kNotFound + "Cod nou",
        std::string("Pagina 2    Linia 14") + kNotFound + "Prize",
        std::string("Pagina 2    Linia 14") + kBadPrice,
        std::string("Pagina 2    Linia 18") + kNotFound + "Preturile nu contin TVA.",
        std::string("Pagina 2    Linia 18") + kBadPrice};
    EXPECT_EQ(view.lines, expected);
    EXPECT_EQ(view.messages.back().text,
              " Au fost preluate  @15%  5@0%  preturi. \r\r Au fost semnalate @15%~ 7@0%~ linii "
              "cu erori \r\r Au fost sarite @15%~ 2@0%~ randuri goale intre preturi ");
    EXPECT_DOUBLE_EQ(ArticlePrice(1, "PretVanzare"), 12.5);
    EXPECT_DOUBLE_EQ(ArticlePrice(2, "PretVanzare"), 7.25);  // "1002  " found as 1002
    EXPECT_DOUBLE_EQ(ArticlePrice(3, "PretVanzare"), 5.0);   // Boolean price: untouched
    EXPECT_DOUBLE_EQ(ArticlePrice(4, "PretVanzare"), 3.5);
    EXPECT_DOUBLE_EQ(ArticlePrice(6, "PretVanzare"), 41.0);  // the later line wins
    std::vector<MultiRow> rows = multiBefore;
    rows[0].lei = 7.25;  // 1002's row of the category, updated in place
    rows.insert(rows.begin() + 3, MultiRow{6, 1, 3, 41.0, 0.0});
    EXPECT_EQ(MultiPrices(), rows);
  }
}

// A category code remembered for the company that no item of its list carries: no
// multiple-price row is made for it, and the messages page says so once.
TEST_F(RunTest, UnknownPriceCategoryIsNotUsed) {
  const std::vector<MultiRow> before = MultiPrices();
  for (std::int16_t code : {7, 4}) {  // 4 exists, but is no category of the list
    RecordingView view;
    state_.PriceCategoryCode = code;
    imp::ImportResult r = imp::RunImport(state_, view);
    EXPECT_EQ(r.Imported, 6);
    EXPECT_EQ(MultiPrices(), before) << code;
    ASSERT_FALSE(view.lines.empty());
    EXPECT_EQ(view.lines.front(), imp::UnknownPriceCategoryLine(code));
    EXPECT_EQ(std::count(view.lines.begin(), view.lines.end(), view.lines.front()), 1);
  }
}

// A catalogue whose external code is a number: an identifier with letters names no article
// (the not-found line) instead of ending the run half-way; so does a text too long for an
// alpha code.
TEST_F(RunTest, IdentifiersTheKeyFieldCannotHoldAreNotFound) {
  using db::FieldType;
  const fs::path numeric = root_ / "NUMERIC";
  fs::create_directories(numeric);
  db::CreateTable(numeric, "Nart",
                  {{"CodArt", FieldType::Long, 0},
                   {"CodExtern", FieldType::Long, 0},
                   {"CodIntern", FieldType::Alpha, 4},
                   {"Denumire", FieldType::Alpha, 60},
                   {"PretVanzare", FieldType::Number, 0},
                   {"PretValuta", FieldType::Number, 0},
                   {"TipPret", FieldType::Alpha, 1}},
                  1);
  fs::copy_file(folder_ / "PretM.DB", numeric / "PretM.DB");
  fs::copy_file(folder_ / "PretM.PX", numeric / "PretM.PX");
  {
    db::Table t;
    t.TableName = "Nart";
    t.DatabaseName = numeric;
    t.Open();
    for (int code : {1, 2, 4}) {
      t.Append();
      t.FieldByName("CodArt").SetAsInteger(code);
      t.FieldByName("CodExtern").SetAsInteger(1000 + code);
      t.FieldByName("CodIntern").SetAsString(std::to_string(1000 + code));
      t.Post();
    }
  }
  state_.CompanyFolder = numeric;
  state_.FileName = TestData("supplier_list.xls");
  state_.StartRow = 5;
  for (int identification : {imp::aiCodExtern, imp::aiCodIntern}) {
    RecordingView view;
    state_.Identification = identification;
    imp::ImportResult r = imp::RunImport(state_, view);
    EXPECT_EQ(r.Imported, 3) << identification;  // 1001, "1002  ", 1004
    EXPECT_EQ(r.Errors, 9) << identification;
    ASSERT_FALSE(view.lines.empty());
    EXPECT_EQ(view.lines.front(),
              "Pagina 2    Linia 5 ...... Cod articol inexistent in baza de date : Iluminat");
  }
}

}  // namespace
}  // namespace importtest
