// Workbooks written by real programs: the events give the expected sheets and values, and every
// number or text the events report is found again by GetCellValue with the same value.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "reader/CellRecord.h"
#include "support/MiniJson.h"
#include "support/ReaderHarness.h"

namespace {

namespace fs = std::filesystem;
using testreader::CellEvent;
using testreader::Kind;

const fs::path kDir = fs::path(IMPPRET_TEST_DATA) / "reader";

std::vector<std::string> FixtureNames() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kDir))
    if (e.path().extension() == ".json") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The kind a fixture's value file uses for what an event reported.
std::string ExpectedKind(const CellEvent& e) {
  switch (e.kind) {
    case Kind::kNumber:
    case Kind::kDateTime: return "number";
    case Kind::kString:
    case Kind::kRich: return "string";
    case Kind::kBool: return "bool";
    case Kind::kBlank: return "blank";
    case Kind::kFormula: return "formula";
  }
  return "?";
}

using Key = std::tuple<int, int, int>;  // sheet, row, col

class Fixture : public ::testing::TestWithParam<std::string> {
 protected:
  std::string xls() const { return (kDir / (GetParam() + ".xls")).string(); }
  testjson::Value expected() const {
    return testjson::ParseFile((kDir / (GetParam() + ".json")).string());
  }
};

TEST_P(Fixture, EventsGiveTheExpectedSheetsAndValues) {
  const testjson::Value exp = expected();
  testreader::Collected got = testreader::ReadAll(xls());
  ASSERT_EQ(got.openError, "");
  EXPECT_TRUE(got.messages.empty()) << "first message: " << got.messages.front();

  std::vector<std::string> names;
  for (const auto& s : got.sheetNames) names.push_back(s.Name);
  std::vector<std::string> expNames;
  for (const auto& n : exp["sheets"].Items()) expNames.push_back(n.String());
  EXPECT_EQ(names, expNames);

  // Value events by position; a plain BIFF2-BIFF4 file reports its one sheet as -1.
  std::map<Key, const CellEvent*> cells;
  for (const CellEvent& e : got.cells) {
    if (e.kind == Kind::kFormula) continue;
    Key k{std::max(e.sheet, 0), e.row, e.col};
    EXPECT_EQ(cells.count(k), 0u) << "two value events for sheet " << e.sheet << " row " << e.row
                                  << " col " << e.col;
    cells[k] = &e;
  }
  int compared = 0;
  for (const auto& c : exp["cells"].Items()) {
    Key k{static_cast<int>(c[0].Number()), static_cast<int>(c[1].Number()),
          static_cast<int>(c[2].Number())};
    const std::string kind = c[3].String();
    SCOPED_TRACE("sheet " + std::to_string(std::get<0>(k)) + " row " +
                 std::to_string(std::get<1>(k)) + " col " + std::to_string(std::get<2>(k)));
    auto it = cells.find(k);
    if (kind == "blank") {
      if (it != cells.end()) {
        EXPECT_EQ(ExpectedKind(*it->second), "blank");
        cells.erase(it);
      }
      continue;
    }
    if (it == cells.end()) {
      ADD_FAILURE() << "no event for an expected " << kind;
      continue;
    }
    const CellEvent& e = *it->second;
    EXPECT_EQ(ExpectedKind(e), kind);
    if (kind == "number") {
      EXPECT_EQ(e.number, c[4].Number());
    } else if (kind == "string") {
      EXPECT_EQ(e.text, c[4].String());
    } else if (kind == "bool") {
      EXPECT_EQ(e.boolean, c[4].Bool());
    }
    cells.erase(it);
    ++compared;
  }
  for (const auto& [k, e] : cells) {
    if (e->kind == Kind::kBlank) continue;  // formatted empty cells the source does not list
    ADD_FAILURE() << "unexpected " << KindName(e->kind) << " event at sheet " << std::get<0>(k)
                  << " row " << std::get<1>(k) << " col " << std::get<2>(k);
  }
  EXPECT_GT(compared, 0);
}

TEST_P(Fixture, LookupFindsEveryNumberAndTextTheEventsReport) {
  testreader::Collected got = testreader::ReadAll(xls());
  ASSERT_EQ(got.openError, "");
  reader::TXLSRead r;
  r.FileName = xls();
  r.Read();
  r.Open();
  int checked = 0;
  for (const CellEvent& e : got.cells) {
    const bool number = e.kind == Kind::kNumber || e.kind == Kind::kDateTime;
    const bool text = e.kind == Kind::kString || e.kind == Kind::kRich;
    if (!(number || text) || !reader::detail::LookupTakesValue(e.record, r.Version())) continue;
    // A formula's empty result reads as an empty text in both interfaces.
    reader::TCellValue v;
    bool found = false;
    try {
      found = r.GetCellValue(testreader::ListPosition(got, e.sheet), e.col, e.row, v);
    } catch (const std::exception& ex) {
      ADD_FAILURE() << "lookup raised \"" << ex.what() << "\" at sheet " << e.sheet << " row "
                    << e.row << " col " << e.col;
      break;
    }
    SCOPED_TRACE("sheet " + std::to_string(e.sheet) + " row " + std::to_string(e.row) + " col " +
                 std::to_string(e.col) + ", lookup gave " + testreader::Describe(v));
    ASSERT_TRUE(found);
    if (number) {
      ASSERT_TRUE(std::holds_alternative<double>(v));
      EXPECT_EQ(std::get<double>(v), e.number);
    } else {
      ASSERT_TRUE(std::holds_alternative<std::string>(v));
      EXPECT_EQ(std::get<std::string>(v), e.text);
    }
    ++checked;
  }
  r.Close();
  // BIFF2 cell records are outside the lookup; every other fixture has cells to check.
  if (GetParam().find("biff2") == std::string::npos &&
      GetParam().find("biff3") == std::string::npos &&
      GetParam().find("biff4") == std::string::npos) {
    EXPECT_GT(checked, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, Fixture, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& p) { return p.param; });

}  // namespace
