// Arbitrary token bytes through the formula decoder. The first four bytes choose the context:
// versions, list sizes, where the tokens end and the additional data begins, and the base cell.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reader/formula/FormulaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  formula::TFormulaContext c;
  c.Reset();
  c.BookVersion = 1 + data[0] % 6;
  c.Version = (data[0] & 0x80) ? 1 + (data[0] >> 3) % 6 : c.BookVersion;
  c.FuncArgSeparator = (data[1] & 1) ? ';' : ',';
  c.Codepage = (data[1] & 2) ? 1250 : 1252;
  for (int i = 0; i < (data[1] >> 2) % 5; ++i) {
    c.SheetNames.push_back("S" + std::to_string(i));
    c.Names.push_back("N" + std::to_string(i));
    c.ExternNames.push_back("E" + std::to_string(i));
  }
  if (data[1] & 0x80) {
    c.SupBooks.push_back({formula::TSupBook::sbkSelf, "", {}, 1, 0});
    c.SupBooks.push_back({formula::TSupBook::sbkExternal, "x.xls", {"X"}, 1, 1});
    c.SupBooks.push_back({formula::TSupBook::sbkAddIn, "", {}, 2, 2});
    c.ExternSheets = {{0, 0, 1}, {1, 0, 0}, {2, 0xFFFE, 0xFFFE}, {7, 3, 0xFFFF}};
  }
  const std::size_t rest = size - 4;
  const std::size_t len = rest ? data[2] % (rest + 1) : 0;
  // A copy of exactly the bytes given, so any read past them is caught.
  std::vector<std::uint8_t> bytes(data + 4, data + size);
  try {
    const std::string text =
        formula::DecodeFormula(c, bytes.data(), len, rest - len, data[3], data[3] * 257);
    if (len > 0 && text.empty() && bytes[0] == 0x01) std::abort();  // "<Shared>" at least
  } catch (const formula::EFormulaListError&) {
  }
  return 0;
}
