#pragma once
// The catalogue and price lists the import benchmarks run on: 100,000 articles of which every
// fifth has multiple prices, and lists of 50,000 rows a sheet whose identifiers are half numbers,
// half texts of the shared-string table.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "import/DemoData.h"
#include "support/WorkbookWriter.h"

namespace bench {

constexpr int kArticles = 100000;
constexpr int kRowsPerSheet = 50000;

// The supplier's code of article n: a number cell for even n, a shared string for odd n.
inline std::string ExternalCode(int n) {
  if (n % 2 == 0) return std::to_string(100000 + n);
  char buf[16];
  std::snprintf(buf, sizeof buf, "P-%06d", n);
  return buf;
}

inline void BuildCatalogue(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  imp::CreateCompanyTables(folder);
  std::vector<imp::DemoArticle> articles;
  std::vector<imp::DemoMultiPrice> multi;
  articles.reserve(kArticles);
  for (int n = 1; n <= kArticles; ++n) {
    const bool several = n % 5 == 0;
    articles.push_back({n, ExternalCode(n), "I" + std::to_string(n), "Articol " + std::to_string(n),
                        "Producator " + std::to_string(n % 40), 10.0, 2.0, several ? "M" : ""});
    if (several) {
      multi.push_back({n, 1, 1, 10.0, 2.0});
      multi.push_back({n, 2, 2, 9.0, 1.8});
    }
  }
  imp::AddArticles(folder, articles);
  imp::AddMultiPrices(folder, multi);
  imp::AddCategories(folder, {{1, "Lista", 1}, {2, "Distribuitor", 1}});
}

// A header row ("Cod", "Pret") on each sheet, then kRowsPerSheet rows going round the catalogue.
inline void WritePriceWorkbook(const std::filesystem::path& file, int sheets) {
  testbiff::WorkbookWriter writer;
  int n = 0;
  for (int s = 0; s < sheets; ++s) {
    testbiff::SheetData& sheet = writer.AddSheet("Preturi " + std::to_string(s + 1));
    sheet.Text(0, 0, "Cod");
    sheet.Text(0, 1, "Pret");
    for (int r = 1; r <= kRowsPerSheet; ++r) {
      n = n % kArticles + 1;
      const auto row = static_cast<std::uint16_t>(r);
      if (n % 2 == 0)
        sheet.Number(row, 0, 100000 + n);
      else
        sheet.Text(row, 0, ExternalCode(n));
      sheet.Number(row, 1, 10.0 + (n % 1000) / 100.0);
    }
  }
  const testbiff::Bytes bytes = writer.File();
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace bench
