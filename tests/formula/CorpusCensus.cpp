// Counts, for the workbooks named on the command line, the formula texts the reader reports and
// what kept some of them from decoding. One line per file:
//   file  formulas  clean  unknown-ptg ids  val-missing  truncated  bad-array  error  list-errors
// Run over the shared corpus with tests/formula/corpus_census.sh.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "reader/RecordIds.h"
#include "reader/TXLSRead.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    reader::TXLSRead r;
    r.FileName = argv[i];
    r.ErrorLevel = reader::xelMessage;
    long formulas = 0, clean = 0, missing = 0, truncated = 0, badArray = 0, empty = 0, lists = 0;
    std::map<std::string, long> unknown;
    // Only list-index errors met in formula records count; other records raise them too.
    std::uint16_t lastRecord = 0;
    r.OnRecord = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
      lastRecord = id;
    };
    r.MessageHook = [&](const std::string& text, bool) {
      const bool formulaRecord =
          lastRecord == reader::rec::kFormula || lastRecord == reader::rec::kFormula3 ||
          lastRecord == reader::rec::kFormula4 || lastRecord == reader::rec::kShrFmla2 ||
          lastRecord == reader::rec::kShrFmla;
      if (formulaRecord && text.find("List index out of bounds") != std::string::npos) ++lists;
      return true;
    };
    r.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
    r.OnFormulaCell = [&](reader::TXLSRead&, int, int, const std::string& text) {
      ++formulas;
      bool ok = true;
      if (auto p = text.find("Unknown ptg["); p != std::string::npos) {
        ++unknown[text.substr(p + 12, 2)];
        ok = false;
      }
      if (text.find("<Val missing>") != std::string::npos) ++missing, ok = false;
      if (text.find("Truncated ") != std::string::npos) ++truncated, ok = false;
      if (text.find("Bad element ID#") != std::string::npos) ++badArray, ok = false;
      if (text == "[ERROR]") ++empty, ok = false;
      if (ok) ++clean;
    };
    try {
      r.Read();
    } catch (const std::exception& e) {
      std::printf("%s\topen failed: %s\n", argv[i], e.what());
      continue;
    }
    std::string ids;
    for (const auto& [id, n] : unknown) ids += id + "x" + std::to_string(n) + ",";
    std::printf("%s\t%ld\t%ld\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\n", argv[i], formulas, clean,
                ids.empty() ? "-" : ids.c_str(), missing, truncated, badArray, empty, lists);
  }
  return 0;
}
