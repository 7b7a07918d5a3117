// imppret demo and imppret import end to end; the tables are then read back with pxlib, an
// independent Paradox implementation.
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "EndToEnd.h"
#include "platform/Files.h"

namespace e2e {
namespace {

TEST_F(EndToEnd, DemoRootImportsThroughTheAliasAndReadsBackWithPxlib) {
  const fs::path alfa = root_ / "ALFA";
  const PxTable nartBefore = ReadWithPxlib(alfa / "Nart.DB");
  const PxTable pretmBefore = ReadWithPxlib(alfa / "PretM.DB");
  ASSERT_EQ(nartBefore.numberRows.size(), 300u);
  const std::string book = Quote(root_ / "Preturi furnizor.xls");
  const std::string common =
      "--company ALFA --file " + book + " --id-col 1 --price-col 3 --start-row 2 --category 3";

  // A dry run reports what it would change and writes nothing.
  std::string nartBytes;
  platform::ReadWholeFile(alfa / "Nart.DB", nartBytes);
  ToolRun dry = Imppret("import " + common + " --dry-run");
  EXPECT_EQ(dry.exitCode, 0);
  EXPECT_NE(dry.out.find("Ar modifica articolul 1: PretVanzare = 41,51\n"), std::string::npos)
      << dry.out.substr(0, 400);
  std::string after;
  platform::ReadWholeFile(alfa / "Nart.DB", after);
  EXPECT_EQ(after, nartBytes);
  EXPECT_FALSE(fs::exists(base_ / "home" / "ImpPretExcel.Ini"));

  // The real run: the data root comes from the alias the demo wrote.
  const fs::path errors = base_ / "erori import.txt";
  ToolRun run = Imppret("import " + common + " --json --errors " + Quote(errors));
  ASSERT_EQ(run.exitCode, 0) << run.out;
  const std::string expectedLines[] = {
      "Pagina 3    Linia 42 ...... Cod articol inexistent in baza de date : 9999",
      "Pagina 3    Linia 43 ...... Cod articol inexistent in baza de date : X-100",
      "Pagina 3    Linia 43 ...... Pret articol eronat : la cerere",
      "Pagina 3    Linia 44 ...... Pret articol eronat : 12,345.678",
      "Pagina 3    Linia 45 ...... Pret articol eronat : 1,234,56"};
  std::string json = "{\"imported\":150,\"errors\":4,\"errorLines\":[";
  std::string file;
  for (const std::string& line : expectedLines) {
    json += (json.back() == '[' ? "\"" : ",\"") + line + "\"";
    file += line + "\r\n";
  }
  json += "],\"threshold\":50,\"warnings\":{";
  ASSERT_NE(run.out.rfind(json), std::string::npos);
  EXPECT_EQ(run.out.back(), '\n');
  EXPECT_NE(run.out.find(
                " Au fost preluate    150  preturi. \n\n Au fost semnalate  4 linii cu erori \n"),
            std::string::npos);
  std::string saved;
  ASSERT_TRUE(platform::ReadWholeFile(errors, saved));
  EXPECT_EQ(saved, file);

  // Articles 1..150 carry the supplier's prices (141 and 145 come again further down with bad
  // prices, which change nothing); the rest is as before.
  const PxTable nart = ReadWithPxlib(alfa / "Nart.DB");
  ASSERT_EQ(nart.numberRows.size(), 300u);
  int previous = 0;
  for (std::size_t i = 0; i < nart.numberRows.size(); ++i) {
    const int code = static_cast<int>(nart.numberRows[i].at("CodArt"));
    EXPECT_GT(code, previous) << "records in key order";
    previous = code;
    const bool imported = code <= 150;
    EXPECT_NEAR(nart.numberRows[i].at("PretVanzare"),
                imported ? SupplierPrice(code) : DemoPrice(code), 1e-9)
        << code;
    EXPECT_EQ(nart.numberRows[i].at("PretValuta"), nartBefore.numberRows[i].at("PretValuta"));
    EXPECT_EQ(nart.textRows[i].at("CodExtern"), std::to_string(1000 + code));
  }

  // Every imported "M" article got a row of category 3 numbered past its own rows, in key order.
  const PxTable pretm = ReadWithPxlib(alfa / "PretM.DB");
  int added = 0;
  std::pair<int, int> lastKey{0, 0};
  for (const auto& row : pretm.numberRows) {
    const std::pair<int, int> key{static_cast<int>(row.at("CodArt")),
                                  static_cast<int>(row.at("IndexLocal"))};
    EXPECT_LT(lastKey, key) << "key order";
    lastKey = key;
    if (row.at("CodPret") != 3) continue;
    ++added;
    const int code = key.first;
    EXPECT_EQ(code % 5, 0);
    EXPECT_EQ(key.second, code % 2 == 0 ? 3 : 2) << code;
    EXPECT_NEAR(row.at("Lei"), SupplierPrice(code), 1e-9);
    EXPECT_EQ(row.at("Valuta"), 0);
  }
  EXPECT_EQ(added, 30);  // the "M" articles among 1..150
  EXPECT_EQ(pretm.numberRows.size(), pretmBefore.numberRows.size() + 30);
}

// One line of the change report, split at the separators outside quotes.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"')
        fields.back() += line[++i];
      else
        quoted = !quoted;
    } else if (c == ';' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

double CsvNumber(std::string text) {
  for (char& c : text)
    if (c == ',') c = '.';
  return text.empty() ? 0 : std::strtod(text.c_str(), nullptr);
}

// Prices of both tables through pxlib: (table, CodArt, IndexLocal, field) -> value.
using Prices = std::map<std::tuple<std::string, int, int, std::string>, double>;
Prices ReadPrices(const fs::path& folder) {
  Prices p;
  for (const auto& row : ReadWithPxlib(folder / "Nart.DB").numberRows)
    for (const char* f : {"PretVanzare", "PretValuta"})
      p[{"Nart", static_cast<int>(row.at("CodArt")), 0, f}] = row.at(f);
  for (const auto& row : ReadWithPxlib(folder / "PretM.DB").numberRows)
    for (const char* f : {"Lei", "Valuta"})
      p[{"PretM", static_cast<int>(row.at("CodArt")), static_cast<int>(row.at("IndexLocal")), f}] =
          row.at(f);
  return p;
}

TEST_F(EndToEnd, ThePlanIsWhatTheRunWritesAndTheReportOpensAsColumns) {
  const fs::path alfa = root_ / "ALFA";
  const std::string common = "--company ALFA --file " + Quote(root_ / "Preturi furnizor.xls") +
                             " --id-col 1 --price-col 3 --start-row 2 --category 3";
  const fs::path planFile = base_ / "plan.csv";
  ASSERT_EQ(Imppret("import " + common + " --dry-run --report " + Quote(planFile)).exitCode, 0);
  EXPECT_FALSE(fs::exists(base_ / "home" / "Modificari.csv"));  // a dry run is no run
  const Prices before = ReadPrices(alfa);
  ASSERT_EQ(Imppret("import " + common).exitCode, 0);
  const Prices after = ReadPrices(alfa);

  std::string plan;
  ASSERT_TRUE(platform::ReadWholeFile(planFile, plan));
  ASSERT_EQ(plan.substr(0, 3), "\xEF\xBB\xBF");
  Prices replay = before;
  std::size_t lines = 0;
  for (std::size_t at = plan.find("\r\n") + 2, end; at < plan.size(); at = end + 2) {
    end = plan.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const std::vector<std::string> f = CsvFields(plan.substr(at, end - at));
    ASSERT_EQ(f.size(), 18u);
    ++lines;
    const int code = std::stoi(f[5]);
    const int index = f[9] == "PretM" ? std::stoi(f[12]) : 0;
    const auto key = std::make_tuple(f[9], code, index, f[10]);
    if (f[11] == "adaugat") {
      EXPECT_FALSE(replay.count(key)) << code;
      replay[{"PretM", code, index, "Valuta"}] = 0;
    } else {
      EXPECT_NEAR(replay.at(key), CsvNumber(f[14]), 1e-9) << code << f[10];
    }
    replay[key] = CsvNumber(f[15]);
  }
  EXPECT_EQ(lines, 180u);  // 150 prices, 30 new multiple-price rows
  ASSERT_EQ(replay.size(), after.size());
  for (const auto& [key, value] : after) EXPECT_NEAR(replay.at(key), value, 1e-9);

  // The report of the real run, through LibreOffice set to Romanian, read back as a workbook.
  const fs::path report = base_ / "home" / "Modificari.csv";
  ASSERT_TRUE(fs::exists(report));
  const std::string convert = "HOME=" + Quote(base_) +
                              " timeout 180 soffice --headless --infilter=CSV:59,34,76,1,,1048 "
                              "--convert-to xls --outdir " +
                              Quote(base_) + " " + Quote(report) + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  auto cell = [&](int col, int row) {
    return Imppret("cell " + Quote(base_ / "Modificari.xls") + " 0 " + std::to_string(col) + " " +
                   std::to_string(row))
        .out;
  };
  EXPECT_EQ(cell(0, 0), "{\"found\":true,\"value\":\"Data\"}\n");
  EXPECT_EQ(cell(17, 0), "{\"found\":true,\"value\":\"Avertismente\"}\n");
  EXPECT_EQ(cell(1, 1), "{\"found\":true,\"value\":\"ALFA\"}\n");
  EXPECT_EQ(cell(5, 1), "{\"found\":true,\"value\":1}\n");
  EXPECT_EQ(cell(15, 1), "{\"found\":true,\"value\":41.51}\n");
  EXPECT_NE(cell(7, 2).find("Siguran\u0163\u0103 automat\u0103"), std::string::npos) << cell(7, 2);

  // The undo takes every price back, read again through pxlib, and uses its journal up.
  ToolRun undo = Imppret("undo --company ALFA");
  ASSERT_EQ(undo.exitCode, 0);
  EXPECT_EQ(undo.out, " Au fost restaurate    180  preturi. \n");
  EXPECT_EQ(ReadPrices(alfa), before);
  EXPECT_EQ(Imppret("undo --company ALFA").exitCode, 1);
}

// A list shaped like a real supplier's (cover sheet, title block, sections, empty rows, blank
// and padded identifiers, notes) through the tool; pxlib then sees exactly the listed articles
// changed, to the listed prices, and every other record as it was.
TEST_F(EndToEnd, SupplierShapedListChangesOnlyItsArticles) {
  const fs::path alfa = root_ / "ALFA";
  const PxTable nartBefore = ReadWithPxlib(alfa / "Nart.DB");
  const PxTable pretmBefore = ReadWithPxlib(alfa / "PretM.DB");
  const fs::path book =
      fs::path(IMPPRET_TEST_DATA) / ".." / "import" / "data" / "supplier_list.xls";
  ToolRun run = Imppret("import --company ALFA --file " + Quote(book) +
                        " --id-col 1 --price-col 2 --start-row 5 --category 0 --json");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find(" Au fost preluate    5  preturi. \n\n Au fost semnalate  7 linii cu "
                         "erori \n\n Au fost sarite  2 randuri goale intre preturi \n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("{\"imported\":5,\"errors\":7,"), std::string::npos);
  EXPECT_NE(run.out.find("Linia 12 ...... Cod articol inexistent in baza de date : Cod nou\n"),
            std::string::npos);
  const std::map<int, double> listed = {{1, 12.5}, {2, 7.25}, {4, 3.5}, {6, 41.0}};
  const PxTable nart = ReadWithPxlib(alfa / "Nart.DB");
  ASSERT_EQ(nart.numberRows.size(), nartBefore.numberRows.size());
  for (std::size_t i = 0; i < nart.numberRows.size(); ++i) {
    const int code = static_cast<int>(nart.numberRows[i].at("CodArt"));
    auto price = listed.find(code);
    std::map<std::string, double> expected = nartBefore.numberRows[i];
    if (price != listed.end()) expected["PretVanzare"] = price->second;
    EXPECT_EQ(nart.numberRows[i], expected) << code;
    EXPECT_EQ(nart.textRows[i], nartBefore.textRows[i]) << code;
  }
  EXPECT_EQ(ReadWithPxlib(alfa / "PretM.DB").numberRows, pretmBefore.numberRows);
}

// Without a usable alias the tool refuses instead of writing into a company folder that
// happens to lie under the current folder.
TEST_F(EndToEnd, NoUsableAliasIsRefused) {
  const fs::path alfa = root_ / "ALFA";
  std::string before;
  platform::ReadWholeFile(alfa / "Nart.DB", before);
  ::setenv("IMPPRET_ALIASES", (base_ / "lipsa" / "aliases.ini").c_str(), 1);
  const std::string command = "cd " + Quote(root_) + " && \"" + IMPPRET_EXE +
                              "\" import --company ALFA --file \"Preturi furnizor.xls\" --id-col 1 "
                              "--price-col 3 --start-row 2 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int status = ::pclose(pipe);
  ::unsetenv("IMPPRET_ALIASES");
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << out;
  EXPECT_NE(out.find("Tarvex"), std::string::npos) << out;
  EXPECT_NE(out.find((base_ / "lipsa" / "aliases.ini").string()), std::string::npos) << out;
  std::string after;
  platform::ReadWholeFile(alfa / "Nart.DB", after);
  EXPECT_EQ(after, before);
}

TEST_F(EndToEnd, RefusalsExitWithOne) {
  ToolRun noColumn =
      Imppret("import --company ALFA --file x.xls --id-col 0 --price-col 3 --start-row 2");
  EXPECT_EQ(noColumn.exitCode, 1);
  ToolRun noCompany =
      Imppret("import --company LIPSA --file " + Quote(root_ / "Preturi furnizor.xls") +
              " --id-col 1 --price-col 3 --start-row 2 --data-root " + Quote(root_));
  EXPECT_EQ(noCompany.exitCode, 1);
  ToolRun wide = Imppret("import --company ALFA --file " + Quote(root_ / "Preturi furnizor.xls") +
                         " --id-col 9 --price-col 3 --start-row 2");
  EXPECT_EQ(wide.exitCode, 1);
  ToolRun badOption = Imppret("import --company ALFA --currency euro");
  EXPECT_EQ(badOption.exitCode, 1);
  // A run the tables refuse still ends with its JSON line, naming the failure, before any
  // price changed.
  std::ofstream(root_ / "ALFA" / "PretM.X02") << "";
  std::string nart;
  platform::ReadWholeFile(root_ / "ALFA" / "Nart.DB", nart);
  for (const char* dry : {" --dry-run", ""}) {
    ToolRun refused =
        Imppret("import --company ALFA --file " + Quote(root_ / "Preturi furnizor.xls") +
                " --id-col 1 --price-col 3 --start-row 2 --category 3 --json" + dry);
    EXPECT_EQ(refused.exitCode, 1);
    const std::size_t last = refused.out.rfind("{\"imported\":0,\"errors\":0,");
    ASSERT_NE(last, std::string::npos) << refused.out;
    EXPECT_NE(
        refused.out.find(",\"failure\":\"Tabela \\\"PretM.DB\\\" are indexuri secundare", last),
        std::string::npos)
        << refused.out.substr(last);
    std::string after;
    platform::ReadWholeFile(root_ / "ALFA" / "Nart.DB", after);
    EXPECT_EQ(after, nart);
  }
}

// A workbook protected by a password is refused once, before any record is read: one Romanian
// message and no question of the reader on the way.
TEST_F(EndToEnd, EncryptedWorkbookIsRefusedOnce) {
  const fs::path shared = fs::path(IMPPRET_TEST_DATA) / ".." / ".." / ".." / "shared";
  for (const fs::path& book :
       {shared / "corpus" / "files" / "poi" / "password.xls",
        shared / "corpus-xlsx" / "files" / "calamine" / "pass_protected.xlsx"}) {
    SCOPED_TRACE(book.filename().string());
    if (!fs::exists(book)) GTEST_SKIP() << "no corpus at " << book;
    const fs::path out = base_ / "stdout.txt", err = base_ / "stderr.txt";
    const std::string command =
        std::string("\"") + IMPPRET_EXE + "\" import --company ALFA --file " + Quote(book) +
        " --id-col 1 --price-col 2 --start-row 1 >" + Quote(out) + " 2>" + Quote(err);
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    std::string messages, printed;
    platform::ReadWholeFile(err, messages);
    platform::ReadWholeFile(out, printed);
    EXPECT_EQ(messages, " Fisierul selectat este protejat cu parola !\n\n El nu poate fi citit \n");
    EXPECT_EQ(printed, "");
  }
}

TEST_F(EndToEnd, DetectionProfilesAndThePriceRuleThroughTheTool) {
  const std::string book = Quote(root_ / "Preturi furnizor.xls");
  const std::string valuta = Quote(root_ / "Preturi valuta BIFF5.xls");
  ToolRun detect = Imppret("detect --company ALFA --file " + book + " --json");
  EXPECT_EQ(detect.exitCode, 0);
  EXPECT_EQ(detect.out,
            "{\"sheet\":0,\"headerRow\":1,\"idCol\":1,\"priceCol\":3,\"startRow\":2,\"identify\":"
            "\"codextern\",\"matched\":50,\"tried\":50,\"otherPriceCols\":[]}\n");
  const std::string noHeader =
      Quote(fs::path(IMPPRET_TEST_DATA) / ".." / "import" / "data" / "layout_no_header.xls");
  EXPECT_EQ(Imppret("detect --company ALFA --file " + noHeader).exitCode, 1);
  EXPECT_EQ(Imppret("import --company ALFA --detect --dry-run --file " + noHeader).exitCode, 1);

  // --detect runs as the typed columns do, on a list by external code and on one by internal
  // code whose prices start on row 3.
  const std::pair<std::string, std::string> runs[] = {
      {"--file " + book, "--id-col 1 --price-col 3 --start-row 2"},
      {"--currency valuta --file " + valuta,
       "--id-col 2 --price-col 3 --start-row 3 --identify codintern"}};
  for (const auto& [file, typed] : runs) {
    ToolRun byHand = Imppret("import --company ALFA --dry-run --json " + file + " " + typed);
    ToolRun detected = Imppret("import --company ALFA --dry-run --json --detect " + file);
    EXPECT_EQ(byHand.exitCode, 0);
    EXPECT_EQ(detected.exitCode, 0);
    EXPECT_GT(byHand.out.size(), 1000u);
    EXPECT_EQ(detected.out, byHand.out) << file;
  }

  // A profile with a rule and a file pattern; the file alone selects it.
  ToolRun save = Imppret(
      "profile save --company ALFA --name Furnizor --pattern \"preturi FURN*.xls\" --id-col 1 "
      "--price-col 3 --start-row 2 --factor 1,19 --round 0,05");
  ASSERT_EQ(save.exitCode, 0);
  ToolRun list = Imppret("profile list --company ALFA --json");
  EXPECT_EQ(list.out,
            "[{\"name\":\"Furnizor\",\"pattern\":\"preturi FURN*.xls\",\"idCol\":1,\"priceCol\":3,"
            "\"startRow\":2,\"currency\":\"lei\",\"identify\":\"codextern\",\"producer\":null,"
            "\"category\":0,\"factor\":1.19,\"round\":\"0,05\"}]\n");
  ToolRun run = Imppret("import --company ALFA --json --file " + book);
  ASSERT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("{\"imported\":150,\"errors\":4,"), std::string::npos);
  EXPECT_NE(run.out.find(" Regula de pret: factor 1,19, rotunjire la 0,05 "), std::string::npos);
  const PxTable nart = ReadWithPxlib(root_ / "ALFA" / "Nart.DB");
  ASSERT_EQ(nart.numberRows.size(), 300u);
  for (const auto& row : nart.numberRows) {
    const int code = static_cast<int>(row.at("CodArt"));
    if (code > 150) continue;
    // In ten-thousandths: the price times 1,19, to the nearest 0,05, half-way up.
    const long long product = std::llround(SupplierPrice(code) * 100) * 119;
    const double expected = static_cast<double>((product + 250) / 500 * 500) / 10000;
    EXPECT_NEAR(row.at("PretVanzare"), expected, 1e-9) << code;
  }
  EXPECT_EQ(Imppret("profile delete --company ALFA --name furnizor").exitCode, 0);
  EXPECT_EQ(Imppret("profile delete --company ALFA --name furnizor").exitCode, 1);
  EXPECT_EQ(Imppret("profile list --company ALFA --json").out, "[]\n");
  EXPECT_EQ(Imppret("import --company ALFA --profile Furnizor --file " + book).exitCode, 1);
}

}  // namespace
}  // namespace e2e
