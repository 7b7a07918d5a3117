// Workbooks with formulas written by LibreOffice and Gnumeric (tests/data/formula, made by
// make_formula_fixtures.py): every formula cell reports exactly the expected text, through the
// reader's formula event, shared formulas and 3-D references included.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "platform/Formats.h"
#include "reader/TXLSRead.h"
#include "support/MiniJson.h"

namespace {

namespace fs = std::filesystem;
using reader::TXLSRead;
using Key = std::tuple<int, int, int>;  // sheet, row, column

std::map<Key, std::string> FormulaTexts(const fs::path& file, std::string& errors) {
  TXLSRead reader;
  reader.FileName = file.string();
  reader.FuncArgSeparator = ',';
  reader.MessageHook = [&](const std::string& text, bool) {
    errors += text + "\n";
    return true;
  };
  std::map<Key, std::string> texts;
  reader.OnSheet = [](TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
  reader.OnFormulaCell = [&](TXLSRead& r, int col, int row, const std::string& text) {
    texts[{r.SheetIndex(), row, col}] = text;
  };
  reader.Read();
  return texts;
}

class WorkbookFormulas : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    saved_ = platform::Formats();
    platform::FixProgramFormats();  // decimal comma, as the program shows numbers
  }
  void TearDown() override { platform::Formats() = saved_; }
  platform::FormatSettings saved_;
};

TEST_P(WorkbookFormulas, EveryFormulaCellHasItsText) {
  const fs::path dir = fs::path(IMPPRET_TEST_DATA) / "formula";
  const auto expected = testjson::ParseFile((dir / (std::string(GetParam()) + ".json")).string());
  std::string errors;
  const auto texts = FormulaTexts(dir / (std::string(GetParam()) + ".xls"), errors);
  EXPECT_EQ(errors, "");
  const auto& cells = expected["cells"].Items();
  ASSERT_GT(cells.size(), 30u);
  for (const auto& cell : cells) {
    const Key key{static_cast<int>(cell[0].Number()), static_cast<int>(cell[1].Number()),
                  static_cast<int>(cell[2].Number())};
    auto it = texts.find(key);
    if (it == texts.end()) {
      ADD_FAILURE() << "no formula at row " << std::get<1>(key) << " col " << std::get<2>(key);
      continue;
    }
    EXPECT_EQ(it->second, cell[3].String())
        << "row " << std::get<1>(key) << " col " << std::get<2>(key);
  }
  EXPECT_EQ(texts.size(), cells.size()) << "formula events without an expected text";
}

INSTANTIATE_TEST_SUITE_P(Writers, WorkbookFormulas,
                         ::testing::Values("libreoffice_biff8", "gnumeric_biff8",
                                           "gnumeric_biff5"));

// The separator property reaches calls and arrays alike.
TEST(WorkbookFormulasSeparator, SemicolonBetweenArgumentsAndElements) {
  TXLSRead reader;
  reader.FileName = (fs::path(IMPPRET_TEST_DATA) / "formula" / "gnumeric_biff8.xls").string();
  reader.FuncArgSeparator = ';';
  std::map<std::pair<int, int>, std::string> texts;
  reader.OnFormulaCell = [&](TXLSRead&, int col, int row, const std::string& text) {
    texts[{row, col}] = text;
  };
  reader.Read();
  EXPECT_EQ((texts[{2, 2}]), "IF(A1>1;;2)");
  EXPECT_EQ((texts[{28, 2}]), "COUNTA({{1;\"ab\"};{\"ăc\";2}})");
}

}  // namespace
