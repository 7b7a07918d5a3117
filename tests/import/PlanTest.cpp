// The change plan: the dry run's plan is what the real run writes, each warning on a list made
// for it, the change report's format.
#include <map>
#include <stdexcept>
#include <tuple>

#include "RunFixture.h"
#include "import/Settings.h"
#include "import/plan/ChangePlan.h"
#include "import/plan/ChangeReport.h"
#include "import/plan/UndoJournal.h"
#include "platform/Files.h"
#include "platform/db/TableFile.h"
#include "support/WorkbookWriter.h"
#include "tests/reader/BookBuilder.h"

namespace importtest {
namespace {

// A one-sheet list held in memory: identifier in column 0, price in column 1.
struct ListRow {
  imp::CellValue id, price;
  imp::PriceCellKind kind = imp::PriceCellKind::Number;
};
class ListWorkbook final : public imp::PriceWorkbook {
 public:
  explicit ListWorkbook(std::vector<ListRow> rows) : rows_(std::move(rows)) {}
  void Open(const fs::path&) override {}
  int SheetCount() const override { return 1; }
  int LastCol() const override { return 1; }
  int LastRow(int) const override { return static_cast<int>(rows_.size()); }
  bool GetCellValue(int, int col, int row, imp::CellValue& v) override {
    if (row < 1 || row > static_cast<int>(rows_.size())) return false;
    last_ = static_cast<std::size_t>(row - 1);
    v = col == 0 ? rows_[last_].id : rows_[last_].price;
    return true;
  }
  imp::PriceCellKind KindOfLastCell(const imp::CellValue&) const override {
    return rows_[last_].kind;
  }
  void Close() override {}

 private:
  std::vector<ListRow> rows_;
  std::size_t last_ = 0;
};

// Every stored price of both tables, keyed by table, primary key and field.
using Snapshot = std::map<std::tuple<std::string, int, int, std::string>, double>;
Snapshot TakeSnapshot(const fs::path& folder) {
  Snapshot s;
  db::Table nart;
  nart.TableName = "Nart";
  nart.DatabaseName = folder;
  nart.Open();
  for (nart.First(); !nart.Eof(); nart.Next())
    for (const char* f : {"PretVanzare", "PretValuta"})
      s[{"Nart", nart.Fields(0).AsInteger(), 0, f}] = nart.FieldByName(f).AsFloat();
  db::Table pm;
  pm.TableName = "PretM";
  pm.DatabaseName = folder;
  pm.Open();
  for (pm.First(); !pm.Eof(); pm.Next())
    for (const char* f : {"Lei", "Valuta"})
      s[{"PretM", pm.Fields(0).AsInteger(), pm.Fields(1).AsInteger(), f}] =
          pm.FieldByName(f).AsFloat();
  return s;
}

Snapshot::key_type Key(const char* table, int code, int index, const std::string& field) {
  return {table, code, index, field};
}

using PlanTest = CompanyFixture;

TEST_F(PlanTest, TheDryRunPlanIsWhatTheRunWrites) {
  state_.PriceCategoryCode = 3;
  // The demo list, plus an article listed twice: the second occurrence finds the first's
  // price and updates the multiple-price row the first one added.
  for (bool twice : {false, true}) {
    SCOPED_TRACE(twice);
    imp::RunOptions options;
    if (twice)
      options.MakeWorkbook = [] {
        return std::make_unique<ListWorkbook>(std::vector<ListRow>{
            {std::string("1006"), 10.0}, {std::string("1001"), 3.0}, {std::string("1006"), 20.0}});
      };
    const Snapshot before = TakeSnapshot(folder_);
    imp::ChangePlan dry;
    options.DryRun = true;
    options.Observer = &dry;
    imp::RunImport(state_, view_, options);
    dry.Finish();
    EXPECT_EQ(TakeSnapshot(folder_), before);

    imp::ChangePlan real;
    options.DryRun = false;
    options.Observer = &real;
    imp::RunImport(state_, view_, options);
    real.Finish();
    const Snapshot after = TakeSnapshot(folder_);

    // Replaying the plan over the tables before gives the tables after, and every value the
    // plan names as old is the one the tables held.
    Snapshot replay = before;
    ASSERT_EQ(dry.Rows().size(), real.Rows().size());
    for (std::size_t i = 0; i < dry.Rows().size(); ++i) {
      const imp::ChangeRow& d = dry.Rows()[i].Change;
      const imp::ChangeRow& r = real.Rows()[i].Change;
      EXPECT_EQ(std::tie(d.ArticleCode, d.Field, d.NewValue, d.OldValue.Value, d.Multi,
                         d.IndexLocal, d.MultiOldValue.Value),
                std::tie(r.ArticleCode, r.Field, r.NewValue, r.OldValue.Value, r.Multi,
                         r.IndexLocal, r.MultiOldValue.Value));
      EXPECT_EQ(replay[Key("Nart", d.ArticleCode, 0, d.Field)], d.OldValue.Value);
      replay[Key("Nart", d.ArticleCode, 0, d.Field)] = d.NewValue;
      if (d.Multi == imp::MultiPriceAction::Updated) {
        EXPECT_EQ(replay[Key("PretM", d.ArticleCode, d.IndexLocal, d.MultiField)],
                  d.MultiOldValue.Value);
      } else if (d.Multi == imp::MultiPriceAction::Added) {
        EXPECT_FALSE(replay.count(Key("PretM", d.ArticleCode, d.IndexLocal, d.MultiField)));
        for (const char* f : {"Lei", "Valuta"})
          replay[Key("PretM", d.ArticleCode, d.IndexLocal, f)] = 0;
      }
      if (d.Multi != imp::MultiPriceAction::None)
        replay[Key("PretM", d.ArticleCode, d.IndexLocal, d.MultiField)] = d.NewValue;
    }
    EXPECT_EQ(replay, after);
    EXPECT_EQ(dry.Rows().size(), twice ? 3u : 6u);  // 1004 is read past the empty row
  }
}

TEST_F(PlanTest, EachWarningOnAListMadeForIt) {
  imp::AddArticles(folder_, {{8, "1005", "A8", "Robinet dublura", "Romstal", 9.0, 1.0, ""},
                             {9, "X;9", "A9", "Cutie \"mare\"; alba", "", 4.0, 1.0, ""}});
  using K = imp::PriceCellKind;
  const std::vector<ListRow> list = {
      {std::string("1001"), 10.0},                              // 1.0 -> 10: +900 %
      {std::string("1002"), 0.0},                               // zero
      {std::string("1003"), -1.0},                              // negative
      {std::string("1004"), 7.5},                               // 7 -> 7.5: nothing to say
      {std::string("1007"), 13.0},                              // listed twice, two prices
      {std::string("1005"), 9.5},                               // two articles have this code
      {std::string("1006"), 45000.0, K::Date},                  // a date
      {std::string("1007"), 14.0},                              // the occurrence kept
      {std::string("1004"), 7.5},                               // again, same price: no warning
      {std::string("1003"), std::string("2"), K::FormulaText},  // and -1 before: two prices
      {std::string("X;9"), 4.0},
  };
  imp::RunOptions options;
  options.DryRun = true;
  options.MakeWorkbook = [&list] { return std::make_unique<ListWorkbook>(list); };
  imp::ChangePlan plan(50);
  options.Observer = &plan;
  imp::RunImport(state_, view_, options);
  plan.Finish();

  using namespace imp;
  // A fall to 0 or below is also a change past any threshold.
  const unsigned down = cwBigChange | cwNotPositive;
  const std::vector<unsigned> expected = {cwBigChange,
                                          down,
                                          down | cwTwoPrices,
                                          0u,
                                          cwTwoPrices,
                                          cwAmbiguous,
                                          cwCellKind | cwBigChange,
                                          cwTwoPrices,
                                          0u,
                                          cwCellKind | cwBigChange | cwTwoPrices,
                                          0u};
  ASSERT_EQ(plan.Rows().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(plan.Rows()[i].Warnings, expected[i]) << i;
  EXPECT_EQ(plan.WarningCount(cwBigChange), 5);
  EXPECT_EQ(plan.WarningCount(cwTwoPrices), 4);
  EXPECT_EQ(plan.WarningCount(cwCellKind), 2);
  EXPECT_EQ(plan.RowsWithWarnings(), 8);
  EXPECT_EQ(plan.WarningsText(plan.Rows()[1]), "Pretul se modifica cu peste 50%; Pret zero");
  EXPECT_EQ(plan.WarningsText(plan.Rows()[6]),
            "Pretul se modifica cu peste 50%; Celula de pret contine o data calendaristica");
  EXPECT_EQ(plan.WarningsText(plan.Rows()[4]),
            "Articolul are doua preturi diferite in lista; ramane pretul de la Pagina 1 Linia 9");
  EXPECT_EQ(plan.Rows()[5].Change.ArticleCode, 5);
  EXPECT_EQ(plan.WarningsText(plan.Rows()[5]),
            "Identificatorul corespunde mai multor articole; se actualizeaza articolul 5");
  // From -1 (the first occurrence) to 2: the percent is taken on the size of the old price.
  EXPECT_DOUBLE_EQ(*plan.Rows()[9].Percent, 300.0);
  EXPECT_FALSE(imp::PercentChange({true, 0}, 5).has_value());

  // The report: byte order mark, header, one line per value, ";" inside a field quoted.
  const std::string csv = imp::ChangeReportText(plan, {"09.12.2026 10:00:00", "TEST", "l.xls"});
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("\r\n09.12.2026 10:00:00;TEST;l.xls;1;2;1;1001;Bec LED;Philips;Nart;"
                     "PretVanzare;modificat;;10;1;10;900;Pretul se modifica cu peste 50%\r\n"),
            std::string::npos);
  EXPECT_NE(csv.find(";9;\"X;9\";\"Cutie \"\"mare\"\"; alba\";;Nart;"), std::string::npos);

  // The threshold lives in the settings file; nonsense there reads as the default.
  EXPECT_EQ(imp::ReadThresholdSetting(), 50);
  imp::WriteThresholdSetting(12.5);
  EXPECT_EQ(imp::ReadThresholdSetting(), 12.5);
  imp::WriteSetting(imp::kGeneralSection, "PragAvertizare", "-3");
  EXPECT_EQ(imp::ReadThresholdSetting(), 50);
}

TEST_F(PlanTest, TheXlsWorkbookTellsDatesBooleansAndFormulaTexts) {
  // Price cells of every kind in column 1; the same cell written twice keeps the later kind. A
  // plain Boolean cell is never found by the lookup (a formula's Boolean result is).
  testbiff::WorkbookWriter writer;
  testbiff::SheetData& sheet = writer.AddSheet("Preturi");
  using K = imp::PriceCellKind;
  struct Case {
    K kind;
    const char* id;
  };
  const Case cases[] = {{K::Number, "1001"},      {K::Date, "1002"},   {K::Text, "1003"},
                        {K::FormulaText, "1004"}, {K::Number, "1005"}, {K::Boolean, "1006"},
                        {K::Text, "1007"},        {K::Date, "1001"},   {K::Number, "1002"}};
  for (std::uint16_t r = 1; r <= std::size(cases); ++r) sheet.Text(r, 0, cases[r - 1].id);
  sheet.Number(1, 1, 12.5);
  sheet.Number(2, 1, 45000, testbiff::kXfDate);
  sheet.Bool(3, 1, true);
  sheet.FormulaString(4, 1, "12");
  sheet.FormulaNumber(5, 1, 7);
  sheet.FormulaBool(6, 1, false);
  sheet.Text(7, 1, "abc");
  sheet.FormulaNumber(8, 1, 45001, testbiff::kXfDate);
  sheet.Number(9, 1, 45000, testbiff::kXfDate);
  sheet.Number(9, 1, 3);
  const fs::path book = root_ / "kinds.xls";
  const testbiff::Bytes bytes = writer.File();
  platform::WriteFileAtomically(
      book, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

  std::unique_ptr<imp::PriceWorkbook> wb = imp::MakeXlsWorkbook();
  wb->Open(book);
  for (int r = 1; r <= static_cast<int>(std::size(cases)); ++r) {
    imp::CellValue v;
    ASSERT_EQ(wb->GetCellValue(0, 1, r, v), r != 3) << r;
    if (r != 3) {
      EXPECT_EQ(wb->KindOfLastCell(v), cases[r - 1].kind) << r;
    }
    // The identifier beside it is plain text whatever the price cell held.
    ASSERT_TRUE(wb->GetCellValue(0, 0, r, v)) << r;
    EXPECT_EQ(wb->KindOfLastCell(v), K::Text) << r;
  }
  wb->Close();

  // Through the run: the date and the formula giving "12" are planned with their warning.
  state_.FileName = book;
  imp::RunOptions options;
  options.DryRun = true;
  imp::ChangePlan plan;
  options.Observer = &plan;
  imp::RunImport(state_, view_, options);
  plan.Finish();
  std::map<int, unsigned> cellKind;
  for (const imp::PlanRow& row : plan.Rows())
    cellKind[row.Change.Row] = row.Warnings & imp::cwCellKind;
  EXPECT_EQ(cellKind, (std::map<int, unsigned>{{2, 0},
                                               {3, imp::cwCellKind},
                                               {5, imp::cwCellKind},
                                               {6, 0},
                                               {9, imp::cwCellKind},
                                               {10, 0}}));
}

TEST_F(PlanTest, AnXlsCellIsADateByTheFormatsOfItsOwnSheet) {
  // FORMAT 50 "0.0", 51 a date, 49 "0.00": every worksheet BOF moves an XF on format 51 to
  // the date and back, and one on format 50 the other way, so each sheet judges them anew.
  using testbiff::RecordStream;
  auto sheet = [](RecordStream& s) {
    s.Label(1, 0, 17, "1001");
    s.Number(1, 1, 15, 45000);  // XF 15: format 51
    s.Label(2, 0, 17, "1002");
    s.Number(2, 1, 16, 45000);  // XF 16: format 50
  };
  const testbiff::Bytes bytes = testbiff::Biff8Book(
      [](RecordStream& s) {
        s.Format(50, "0.0");
        s.Format(51, "dd.mm.yyyy");
        s.Format(49, "0.00");
        for (int i = 0; i < 15; ++i) s.Xf(0, true);
        s.Xf(51);
        s.Xf(50);
        s.Xf(0);
      },
      {{"A", sheet}, {"B", sheet}, {"C", sheet}});
  const fs::path book = root_ / "formats.xls";
  platform::WriteFileAtomically(
      book, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  std::unique_ptr<imp::PriceWorkbook> wb = imp::MakeXlsWorkbook();
  wb->Open(book);
  using K = imp::PriceCellKind;
  for (int s : {0, 1, 2, 1, 0}) {
    const bool even = s % 2 == 0;
    imp::CellValue v;
    ASSERT_TRUE(wb->GetCellValue(s, 1, 1, v)) << s;
    EXPECT_EQ(wb->KindOfLastCell(v), even ? K::Date : K::Number) << s;
    ASSERT_TRUE(wb->GetCellValue(s, 1, 2, v)) << s;
    EXPECT_EQ(wb->KindOfLastCell(v), even ? K::Number : K::Date) << s;
  }
  wb->Close();
}

std::string Bytes(const fs::path& folder, const char* name) {
  std::string s;
  platform::ReadWholeFile(platform::FindFileNoCase(folder, name), s);
  return s;
}

// A list whose lookups fail at its fourth row, after three prices were written.
class StoppingWorkbook final : public imp::PriceWorkbook {
 public:
  void Open(const fs::path&) override {}
  int SheetCount() const override { return 1; }
  int LastCol() const override { return 1; }
  int LastRow(int) const override { return 5; }
  bool GetCellValue(int, int col, int row, imp::CellValue& v) override {
    if (row >= 4) throw std::runtime_error("DBCELL record is missing");
    static const char* ids[] = {"", "1002", "1005", "1006"};
    v = col == 0 ? imp::CellValue(std::string(ids[row])) : imp::CellValue(50.0 + row);
    return true;
  }
  void Close() override {}
};

TEST_F(PlanTest, UndoPutsBackWhatTheRunWroteAndLeavesLaterChanges) {
  state_.PriceCategoryCode = 3;  // updates article 2's row, adds rows to 5 and 6
  const Snapshot before = TakeSnapshot(folder_);
  const std::string nart = Bytes(folder_, "Nart.DB"), nartIndex = Bytes(folder_, "Nart.PX");
  const fs::path file = imp::UndoJournalPath("TEST");
  auto run = [&](imp::RunOptions options) {
    imp::UndoJournalWriter journal(file, "TEST", "l.xls", folder_);
    options.Observer = &journal;
    try {
      imp::RunImport(state_, view_, options);
    } catch (const std::runtime_error&) {
      // the stopped run: what it wrote is in the journal
    }
    journal.Finish();
  };
  auto undo = [&] {
    imp::UndoJournal journal;
    std::string error;
    EXPECT_TRUE(imp::ReadUndoJournal(file, journal, error)) << error;
    return imp::UndoLastImport(folder_, file, journal);
  };
  auto edit = [&](const char* table, std::vector<db::KeyValue> key, const char* field,
                  double value) {
    db::Table t;
    t.TableName = table;
    t.DatabaseName = folder_;
    t.Open();
    ASSERT_TRUE(t.FindKey(key));
    t.Edit();
    t.FieldByName(field).SetAsFloat(value);
    t.Post();
  };

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const std::string multi = Bytes(folder_, "PretM.DB"), multiIndex = Bytes(folder_, "PretM.PX");
    imp::RunOptions options;
    if (round == 2) options.MakeWorkbook = [] { return std::make_unique<StoppingWorkbook>(); };
    run(options);
    ASSERT_NE(TakeSnapshot(folder_), before);
    if (round == 1) {  // someone changes a price of each table that the run wrote
      edit("Nart", {db::KeyValue(std::int64_t{6})}, "PretVanzare", 99.0);
      edit("PretM", {db::KeyValue(std::int64_t{2}), db::KeyValue(std::int64_t{1})}, "Lei", 77.0);
    }
    const imp::UndoResult r = undo();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".DB"));
    Snapshot expected = before;
    if (round == 1) {
      expected[Key("Nart", 6, 0, "PretVanzare")] = 99.0;
      expected[Key("PretM", 2, 1, "Lei")] = 77.0;
      ASSERT_EQ(r.LeftAlone.size(), 2u);
      EXPECT_EQ(r.LeftAlone[0], "Articolul 6, PretVanzare: acum 99, importul scrisese 200,75");
      EXPECT_EQ(r.LeftAlone[1].rfind("Pretul multiplu 2/1, Lei: acum 77, importul scrisese ", 0),
                0u)
          << r.LeftAlone[1];
    } else {
      // Nothing changed in between: both tables are back to the byte, data and index.
      EXPECT_TRUE(r.LeftAlone.empty());
      EXPECT_EQ(Bytes(folder_, "Nart.DB"), nart);
      EXPECT_EQ(Bytes(folder_, "Nart.PX"), nartIndex);
      EXPECT_EQ(Bytes(folder_, "PretM.DB"), multi);
      EXPECT_EQ(Bytes(folder_, "PretM.PX"), multiIndex);
    }
    EXPECT_EQ(r.Restored, round == 0 ? 9 : round == 1 ? 7 : 6);
    EXPECT_EQ(TakeSnapshot(folder_), expected);
    if (round == 1) {  // back to the start for the stopped run
      edit("Nart", {db::KeyValue(std::int64_t{6})}, "PretVanzare", 11.0);
      edit("PretM", {db::KeyValue(std::int64_t{2}), db::KeyValue(std::int64_t{1})}, "Lei", 9.0);
    }
  }
  // Another writer holds the multiple-price table: the undo waits, refuses and changes neither
  // table; once the lock is gone it goes through.
  run({});
  const std::string multiAfterRun = Bytes(folder_, "PretM.DB"),
                    nartAfterRun = Bytes(folder_, "Nart.DB");
  {
    const HeldTable holder(folder_, "PretM");
    EXPECT_THROW(undo(), db::DbError);
    EXPECT_EQ(Bytes(folder_, "PretM.DB"), multiAfterRun);
    EXPECT_EQ(Bytes(folder_, "Nart.DB"), nartAfterRun);
  }
  undo();
  EXPECT_EQ(TakeSnapshot(folder_), before);

  imp::UndoJournal none;
  std::string error;
  EXPECT_FALSE(imp::ReadUndoJournal(file, none, error));
  EXPECT_TRUE(error.empty());
}

}  // namespace
}  // namespace importtest
