#pragma once
// A company folder with a small catalogue made by the table engine, a settings folder of its
// own, and a view that records everything the run shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "import/DemoData.h"
#include "import/ImportRun.h"
#include "import/ImportView.h"
#include "platform/Formats.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace importtest {

namespace fs = std::filesystem;

struct Message {
  std::string text;
  imp::MessageKind kind;
};

class RecordingView : public imp::ImportView {
 public:
  void ShowMessage(const std::string& markup, imp::MessageKind kind) override {
    messages.push_back({markup, kind});
    panelVisibleAtMessage.push_back(panelVisible);
  }
  void SetBusyCursor(bool busy) override {
    busyCursor = busy;
    ++cursorChanges;
  }
  void ShowProgressPanel(bool visible) override { panelVisible = visible; }
  void SetProgressCaption(const std::string& markup) override { captions.push_back(markup); }
  void ClearErrorLines() override { lines.clear(); }
  void AddErrorLine(const std::string& line) override { lines.push_back(line); }
  int ErrorLineCount() const override { return static_cast<int>(lines.size()); }
  void ShowPage(int page) override { pages.push_back(page); }
  void ProcessPendingMessages() override { ++pumps; }

  std::vector<Message> messages;
  std::vector<bool> panelVisibleAtMessage;
  std::vector<std::string> captions, lines;
  std::vector<int> pages;
  bool busyCursor = false, panelVisible = false;
  int cursorChanges = 0, pumps = 0;
};

inline std::string TestData(const std::string& name) {
  return std::string(IMPPRET_TEST_DATA) + "/../import/data/" + name;
}

// Another writer's hold on a table: opened and locked for writing, with the lock wait cut to
// 0.1 s while it lasts.
class HeldTable {
 public:
  HeldTable(const fs::path& folder, const std::string& name) : wait_(db::LockWaitMilliseconds()) {
    table_.TableName = name;
    table_.DatabaseName = folder;
    table_.Open();
    table_.CheckWritable({}, false, true);
    db::SetLockWaitMilliseconds(100);
  }
  ~HeldTable() { db::SetLockWaitMilliseconds(wait_); }
  HeldTable(const HeldTable&) = delete;
  HeldTable& operator=(const HeldTable&) = delete;

 private:
  db::Table table_;
  int wait_;
};

class CompanyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FixProgramFormats();
    root_ = fs::temp_directory_path() /
            ("imppret-import-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "home");
    ::setenv("IMPPRET_HOME", (root_ / "home").c_str(), 1);
    folder_ = root_ / "TEST";
    fs::create_directories(folder_);
    imp::CreateCompanyTables(folder_);
    imp::AddArticles(folder_, {
                                  {1, "1001", "A1", "Bec LED", "Philips", 1.0, 2.0, ""},
                                  {2, "1002", "A2", "Cheie fixă", "O'Brien", 3.0, 4.0, "M"},
                                  {3, "1003", "A3", "Priză", "Legrand", 5.0, 6.0, ""},
                                  {4, "1004", "A4", "Doză", "Legrand", 7.0, 8.0, ""},
                                  {5, "1005", "A5", "Robinet", "Romstal", 9.0, 10.0, "M"},
                                  {6, "1006", "A6", "Sifon", "Romstal", 11.0, 12.0, "M"},
                                  {7, "1007", "A7", "Bandă", "Philips", 13.0, 14.0, ""},
                              });
    imp::AddMultiPrices(
        folder_,
        {{2, 1, 3, 9.0, 8.0}, {5, 1, 1, 9.0, 1.0}, {5, 2, 2, 8.5, 1.5}, {7, 1, 3, 1.0, 1.0}});
    imp::AddCategories(folder_, {{1, "Preț listă", 1}, {3, "Angro", 2}, {4, "Intern", 3}});

    state_.DataRoot = root_;
    state_.SelectedCompany = state_.CurrentCompany = "TEST";
    state_.CompanyFolder = folder_;
    state_.FileName = TestData("run_cases.xls");
    state_.IdColumn = 1;
    state_.PriceColumn = 2;
    state_.StartRow = 2;
  }
  void TearDown() override {
    ::unsetenv("IMPPRET_HOME");
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // One value of the article whose first field is `code`.
  double ArticlePrice(int code, const char* field) {
    db::Table t;
    t.TableName = "Nart";
    t.DatabaseName = folder_;
    t.Open();
    EXPECT_TRUE(t.FindKey({db::KeyValue(std::int64_t{code})}));
    return t.FieldByName(field).AsFloat();
  }

  struct MultiRow {
    int codArt, indexLocal, codPret;
    double lei, valuta;
    bool operator==(const MultiRow&) const = default;
  };
  std::vector<MultiRow> MultiPrices() {
    db::Table t;
    t.TableName = "PretM";
    t.DatabaseName = folder_;
    t.Open();
    std::vector<MultiRow> rows;
    for (t.First(); !t.Eof(); t.Next())
      rows.push_back({t.FieldByName("CodArt").AsInteger(), t.FieldByName("IndexLocal").AsInteger(),
                      t.FieldByName("CodPret").AsInteger(), t.FieldByName("Lei").AsFloat(),
                      t.FieldByName("Valuta").AsFloat()});
    return rows;
  }

  fs::path root_, folder_;
  imp::TImportState state_;
  RecordingView view_;
};

}  // namespace importtest
