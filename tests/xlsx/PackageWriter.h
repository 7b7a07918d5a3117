#pragma once
// Test-only writer of small OOXML packages (through libzip), so hostile and edge cases are
// built byte for byte in the test that checks them.
#include <string>
#include <utility>
#include <vector>

#include "support/BiffWriter.h"

namespace testxlsx {

using Part = std::pair<std::string, std::string>;  // name, content

// A ZIP of the parts, deflated (or stored when `deflate` is false).
testbiff::Bytes WriteZip(const std::vector<Part>& parts, bool deflate = true);

// The parts of a minimal workbook: one worksheet named "Foaie" holding `sheetData` (the XML
// between <sheetData> and </sheetData>), with `strings` as its shared strings part when
// non-empty. `ns` is the spreadsheet namespace (transitional unless told).
std::vector<Part> MinimalBook(const std::string& sheetData, const std::string& strings = "",
                              const std::string& ns = "");

}  // namespace testxlsx
