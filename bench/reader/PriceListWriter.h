#pragma once
// Large BIFF8 price lists for the benchmark: 6 columns (code, name, price in lei, price in
// foreign currency, stock, unit), half of the texts unique so that the shared-string table is
// large, and the INDEX/DBCELL records a spreadsheet program writes.
#include <cstddef>
#include <string>

namespace bench {

struct PriceListInfo {
  std::size_t fileBytes = 0;
  std::size_t sstTextBytes = 0;  // UTF-8 bytes of the unique strings
  std::size_t uniqueStrings = 0;
};

PriceListInfo WritePriceList(const std::string& path, int rows);

}  // namespace bench
