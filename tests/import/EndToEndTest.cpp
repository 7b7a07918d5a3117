// imppret demo and imppret import end to end; the tables are then read back with pxlib, an
// independent Paradox implementation.
#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace {

namespace fs = std::filesystem;

struct PxTable {
  std::vector<std::string> names;
  std::vector<std::map<std::string, std::string>> textRows;  // alpha fields
  std::vector<std::map<std::string, double>> numberRows;     // numeric fields
};

// Every record of a table in file order, through pxlib.
PxTable ReadWithPxlib(const fs::path& file) {
  PxTable out;
  pxdoc_t* doc = PX_new();
  if (!doc) return out;
  if (PX_open_file(doc, file.c_str()) < 0) {
    PX_delete(doc);
    ADD_FAILURE() << "pxlib cannot open " << file;
    return out;
  }
  const int fieldCount = PX_get_num_fields(doc);
  pxfield_t* fields = PX_get_fields(doc);
  std::vector<char> record(static_cast<std::size_t>(doc->px_head->px_recordsize));
  for (int r = 0; r < PX_get_num_records(doc); ++r) {
    if (!PX_get_record(doc, r, record.data())) {
      ADD_FAILURE() << "pxlib cannot read record " << r << " of " << file;
      break;
    }
    std::map<std::string, std::string> texts;
    std::map<std::string, double> numbers;
    int offset = 0;
    for (int f = 0; f < fieldCount; ++f) {
      const pxfield_t& field = fields[f];
      char* data = record.data() + offset;
      switch (field.px_ftype) {
        case pxfAlpha: {
          char* value = nullptr;
          if (PX_get_data_alpha(doc, data, field.px_flen, &value) > 0 && value) {
            texts[field.px_fname] = value;
            doc->free(doc, value);
          } else {
            texts[field.px_fname] = "";
          }
          break;
        }
        case pxfLong: {
          long v = 0;
          numbers[field.px_fname] = PX_get_data_long(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        case pxfShort: {
          short v = 0;
          numbers[field.px_fname] = PX_get_data_short(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        case pxfNumber: {
          double v = 0;
          numbers[field.px_fname] = PX_get_data_double(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        default: break;
      }
      offset += field.px_flen;
    }
    out.textRows.push_back(std::move(texts));
    out.numberRows.push_back(std::move(numbers));
  }
  PX_close(doc);
  PX_delete(doc);
  return out;
}

// The demo catalogue's price rule, as the sample workbook script writes it.
double SupplierPrice(int n) {
  return std::round((4.5 + (n * 37) % 480 + (n % 100) / 100.0) * 100.0) / 100.0;
}
double DemoPrice(int n) {
  return std::round(SupplierPrice(n) * 0.95 * 100.0) / 100.0;
}

struct ToolRun {
  int exitCode = -1;
  std::string out;
};

ToolRun Imppret(const std::string& arguments) {
  ToolRun run;
  std::string command = std::string("\"") + IMPPRET_EXE + "\" " + arguments + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quote(const fs::path& p) {
  return "\"" + p.string() + "\"";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("imppret-e2e-" + std::to_string(::getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "home");
    ::setenv("IMPPRET_HOME", (base_ / "home").c_str(), 1);
    ::unsetenv("IMPPRET_ALIASES");
    root_ = base_ / "date tarvex";
    ToolRun demo = Imppret("demo " + Quote(root_) + " --workbooks " +
                           Quote(fs::path(IMPPRET_TEST_DATA) / "demo"));
    ASSERT_EQ(demo.exitCode, 0) << demo.out;
  }
  void TearDown() override {
    ::unsetenv("IMPPRET_HOME");
    std::error_code ec;
    fs::remove_all(base_, ec);
  }
  fs::path base_, root_;
};

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
  json += "]}\n";
  ASSERT_GE(run.out.size(), json.size());
  EXPECT_EQ(run.out.substr(run.out.size() - json.size()), json);
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
}

}  // namespace
