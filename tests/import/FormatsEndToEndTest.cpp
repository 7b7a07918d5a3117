// One price list in every format the tool reads, and every generation of the .xls format,
// imported end to end and read back with pxlib.
#include <cmath>
#include <map>
#include <string>

#include "EndToEnd.h"

namespace e2e {
namespace {

// One price list saved by LibreOffice as .xls, .xlsx and .csv, and the .xlsx again under a .xls
// name: each imports to the same tables with the same summary, the format told by the content.
TEST_F(EndToEnd, OneListInEveryFormatImportsToTheSameTables) {
  const fs::path data = fs::path(IMPPRET_TEST_DATA) / ".." / "import" / "data";
  const fs::path alfa = root_ / "ALFA", kept = base_ / "ALFA as made";
  fs::copy(alfa, kept, fs::copy_options::recursive);
  fs::copy_file(data / "price_list.xlsx", base_ / "really an xlsx.xls");
  std::string firstOut;
  PxTable firstNart, firstPretm;
  for (const fs::path& file : {data / "price_list.xls", data / "price_list.xlsx",
                               data / "price_list.csv", base_ / "really an xlsx.xls"}) {
    SCOPED_TRACE(file.filename().string());
    fs::remove_all(alfa);
    fs::copy(kept, alfa, fs::copy_options::recursive);
    ToolRun run = Imppret("import --company ALFA --file " + Quote(file) +
                          " --id-col 1 --price-col 2 --start-row 3 --category 0 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const PxTable nart = ReadWithPxlib(alfa / "Nart.DB"), pretm = ReadWithPxlib(alfa / "PretM.DB");
    if (firstOut.empty()) {
      EXPECT_NE(run.out.find("{\"imported\":4,\"errors\":1,"), std::string::npos) << run.out;
      firstOut = run.out, firstNart = nart, firstPretm = pretm;
      continue;
    }
    EXPECT_EQ(run.out, firstOut);
    EXPECT_EQ(nart.numberRows, firstNart.numberRows);
    EXPECT_EQ(nart.textRows, firstNart.textRows);
    EXPECT_EQ(pretm.numberRows, firstPretm.numberRows);
  }
}

// Every generation of the format imports: plain BIFF2, BIFF3 and BIFF4 worksheet files written by
// SheetJS (one sheet, no sheet list, the price beyond the columns the first row fills), a bare
// BIFF8 workbook stream identified by names that only UTF-16 holds, a BIFF4 workbook of three
// sheets made byte by byte, and the demo's BIFF5 list by its names (stored as UTF-16 bytes under
// code page 1200).
TEST_F(EndToEnd, EveryGenerationImportsItsPricesAndNothingElse) {
  struct Case {
    fs::path file;
    std::string arguments;
    std::map<int, double> listed;
    std::string counts;
  };
  const fs::path data = fs::path(IMPPRET_TEST_DATA) / ".." / "import" / "data";
  const std::string oldColumns = " --id-col 1 --price-col 3 --start-row 2";
  const std::map<int, double> oldListed = {{2, 21.5}, {3, 30.25}, {4, 44}};
  const Case cases[] = {
      {data / "old_biff2.xls", oldColumns, oldListed, "{\"imported\":3,\"errors\":2,"},
      {data / "old_biff3.xls", oldColumns, oldListed, "{\"imported\":3,\"errors\":2,"},
      {data / "old_biff4.xls", oldColumns, oldListed, "{\"imported\":3,\"errors\":2,"},
      {data / "bare_biff8.xls",
       " --identify denumire --id-col 2 --price-col 3 --start-row 2",
       {{2, 21.5}, {3, 30.25}, {4, 44}, {10, 9.5}},
       "{\"imported\":4,\"errors\":2,"},
      {data / "biff4_workbook.xls",
       " --id-col 1 --price-col 2 --start-row 2",
       {{11, 17.5}, {12, 3}, {13, 8.75}, {14, 120.4}},
       "{\"imported\":4,\"errors\":1,"},
      {root_ / "Preturi valuta BIFF5.xls",
       " --identify denumire --currency valuta --id-col 1 --price-col 3 --start-row 3",
       {},
       ""},
  };
  const fs::path alfa = root_ / "ALFA", kept = base_ / "ALFA as made";
  fs::copy(alfa, kept, fs::copy_options::recursive);
  const PxTable nartBefore = ReadWithPxlib(alfa / "Nart.DB");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.filename().string());
    fs::remove_all(alfa);
    fs::copy(kept, alfa, fs::copy_options::recursive);
    ToolRun run = Imppret("import --company ALFA --file " + Quote(c.file) + c.arguments +
                          " --category 0 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    std::map<int, double> listed = c.listed;
    std::string field = "PretVanzare", counts = c.counts;
    if (listed.empty()) {
      // The BIFF5 list: articles 200 to 240 at the demo price in foreign currency, one unknown.
      field = "PretValuta";
      for (int n = 200; n <= 240; ++n) listed[n] = std::round(SupplierPrice(n) / 4.97 * 100) / 100;
      counts = "{\"imported\":41,\"errors\":1,";
    }
    EXPECT_NE(run.out.find(counts), std::string::npos) << run.out;
    const PxTable nart = ReadWithPxlib(alfa / "Nart.DB");
    ASSERT_EQ(nart.numberRows.size(), nartBefore.numberRows.size());
    for (std::size_t i = 0; i < nart.numberRows.size(); ++i) {
      const int code = static_cast<int>(nart.numberRows[i].at("CodArt"));
      std::map<std::string, double> expected = nartBefore.numberRows[i];
      if (auto price = listed.find(code); price != listed.end()) expected[field] = price->second;
      EXPECT_EQ(nart.numberRows[i], expected) << code;
      EXPECT_EQ(nart.textRows[i], nartBefore.textRows[i]) << code;
    }
  }
}

}  // namespace
}  // namespace e2e
