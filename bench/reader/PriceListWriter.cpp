#include "bench/reader/PriceListWriter.h"

#include <fstream>
#include <set>
#include <stdexcept>

#include "support/WorkbookWriter.h"

namespace bench {

PriceListInfo WritePriceList(const std::string& path, int rows) {
  static const char* kWords[] = {"Șurub", "Țeavă", "Dibluri", "Mâner",
                                 "Bandă", "Cheie", "Robinet", "Cot"};
  static const char* kUnits[] = {"buc", "kg", "m", "set", "l"};
  testbiff::WorkbookWriter w;
  std::set<std::string> unique;
  // A BIFF8 sheet holds 65536 rows: long lists go on several sheets, as suppliers split them.
  constexpr int kRowsPerSheet = 60000;
  testbiff::SheetData* s = nullptr;
  auto text = [&](int row, int col, std::string t) {
    unique.insert(t);
    s->Text(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(col), std::move(t));
  };
  for (int done = 0; done < rows;) {
    s = &w.AddSheet("Lista prețuri " + std::to_string(done / kRowsPerSheet + 1));
    text(0, 0, "Cod");
    text(0, 1, "Denumire");
    text(0, 2, "Preț LEI");
    text(0, 3, "Preț VALUTA");
    text(0, 4, "Stoc");
    text(0, 5, "UM");
    for (int r = 1; r <= kRowsPerSheet && done < rows; ++r) {
      const int n = ++done;
      const auto row = static_cast<std::uint16_t>(r);
      // Unique: the code and the name; repeated: the unit.
      text(r, 0, "ART-" + std::to_string(1000000 + n));
      text(r, 1,
           std::string(kWords[n % 8]) + " " + kWords[(n / 8) % 8] + " model " + std::to_string(n));
      const double lei = (n % 9973) * 1.37 + 0.99;
      if (n % 3 == 0)
        s->Rk(row, 2, testbiff::RkFromInt((n % 50000) * 5, true));  // n.nn exactly
      else
        s->Number(row, 2, lei, testbiff::kXfPrice);
      s->Number(row, 3, lei / 4.97, testbiff::kXfPrice);
      s->Rk(row, 4, testbiff::RkFromInt(n % 1000));
      text(r, 5, kUnits[n % 5]);
    }
  }
  testbiff::Bytes file = w.File();
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  PriceListInfo info;
  info.fileBytes = file.size();
  info.uniqueStrings = unique.size();
  for (const auto& t : unique) info.sstTextBytes += t.size();
  return info;
}

}  // namespace bench
