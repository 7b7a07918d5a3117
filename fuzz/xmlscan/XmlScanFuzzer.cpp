// Any bytes as a part's XML: when the sheet's own reader takes them, expat must take them too
// and the handler must see the same calls. Read as a sheet part (and as a shared strings part),
// the bytes must give the same cells (strings) or the same error with the shortcuts for plain
// tags as without them. The first byte chooses the piece size the own reader is fed in (so
// tokens are cut at every place), whether the formula texts are kept, and whether the bytes are
// put inside a sheet's data (so most inputs reach the cell tags).
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/xlsx/XmlTrace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const bool formulas = (data[0] & 0x40) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string xml = (data[0] & 0x80) != 0 ? "<worksheet><sheetData>" + std::string(bytes) +
                                                      "</sheetData></worksheet>"
                                                : std::string(bytes);
  for (std::size_t p : {piece, xml.size() + 1}) {
    if (!testxlsx::CompareXmlReaders(xml, p).agrees) __builtin_trap();
    if (testxlsx::ReadSheetPart(xml, true, p, formulas).log !=
        testxlsx::ReadSheetPart(xml, false, p, formulas).log)
      __builtin_trap();
    if (testxlsx::ReadStringsPart(xml, true, p).log != testxlsx::ReadStringsPart(xml, false, p).log)
      __builtin_trap();
  }
  return 0;
}
