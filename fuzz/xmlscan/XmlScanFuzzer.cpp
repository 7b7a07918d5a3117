// Any bytes as a part's XML: when the sheet's own reader takes them, expat must take them too
// and the handler must see the same calls. The first byte chooses the piece size the own reader
// is fed in, so tokens are cut at every place.
#include <cstdint>
#include <string_view>

#include "tests/xlsx/XmlTrace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view xml(reinterpret_cast<const char*>(data + 1), size - 1);
  for (std::size_t p : {piece, xml.size() + 1})
    if (!testxlsx::CompareXmlReaders(xml, p).agrees) __builtin_trap();
  return 0;
}
