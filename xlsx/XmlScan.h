#pragma once
// A hand-written streaming reader for the plain shape a worksheet part nearly always has:
// UTF-8, tags, attributes, text, the five predefined entities, character references, CDATA,
// comments and processing instructions. It checks what it reads as strictly as expat does and
// hands everything else back: on a document type declaration, another encoding, a name outside
// ASCII, an unknown entity or any fault it says "not mine", and the caller reads the part again
// through expat, which then decides (and refuses what it refuses). The handler sees the same
// calls in both readers.
#include <string_view>

#include "xlsx/Xml.h"
#include "xlsx/Zip.h"

namespace xlsx {

// Reads the part `name` into `handler`; false when the part must be read through expat instead
// (the handler may have been called for part of it). Raises what the handler and the package
// raise, as ParseXmlPart does.
bool ScanXmlPart(ZipPackage& zip, std::string_view name, XmlHandler& handler);
// The same over bytes in memory, fed in pieces of `piece` bytes (the tests and the fuzz target).
bool ScanXmlBytes(std::string_view bytes, XmlHandler& handler, std::size_t piece);

}  // namespace xlsx
