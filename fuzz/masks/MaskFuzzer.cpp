// Arbitrary text as a number-format mask: parsing never fails except for the length refusal,
// which must leave the previous mask in place.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "masks/ExcelMask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  masks::TExcelMask mask("0.00");
  try {
    mask.SetMask(text);
  } catch (const masks::EExcelMaskError&) {
    if (mask.Mask != "0.00" || !mask.Sections[0]) std::abort();
    return 0;
  }
  for (const auto& section : mask.Sections) {
    if (!section) continue;
    if (section->ThousandsScale > 4) std::abort();
    if (section->DecimalPos > static_cast<std::int32_t>(section->Items.size())) std::abort();
    for (const auto& item : section->Items) {
      if (item.Kind < masks::mikLiteralChar || item.Kind > masks::mikNumberStart) std::abort();
    }
  }
  (void)mask.IsDateMask();
  return 0;
}
