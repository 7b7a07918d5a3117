#pragma once
// Both XML readers over the same bytes, each call of the handler written down: the sheet's own
// reader must either hand the bytes over or give exactly expat's calls. And a sheet part read
// into cells (or a shared strings part into strings) with the shortcut for plain tags and
// without it, each result written down: the two must be the same, down to the error.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/Parts.h"
#include "xlsx/XlsxError.h"
#include "xlsx/Xml.h"
#include "xlsx/XmlScan.h"

namespace testxlsx {

class XmlTrace final : public xlsx::XmlHandler {
 public:
  XmlTrace() { capture = true; }
  void Start(std::string_view name, const xlsx::XmlAttrs& a) override {
    log += "<" + std::string(name);
    for (const xlsx::XmlAttr& at : a)
      log += " " + std::string(at.name) + "@" + std::to_string(at.localAt) + "=[" +
             std::string(at.value) + "]";
    log += ">";
  }
  void End(std::string_view name) override { log += "</" + std::string(name) + ">"; }
  void Text(const char* s, std::size_t n) override { log.append(s, n); }
  std::string log;
};

struct XmlVerdict {
  bool scanned = false;  // the own reader took the bytes
  bool agrees = true;    // and then expat read them too, with the same calls
};

// The own reader fed in pieces of `piece` bytes, against expat fed at once.
inline XmlVerdict CompareXmlReaders(std::string_view bytes, std::size_t piece) {
  XmlTrace scan, expat;
  XmlVerdict v;
  v.scanned = xlsx::ScanXmlBytes(bytes, scan, piece);
  if (!v.scanned) return v;
  try {
    xlsx::ParseXmlBytes(bytes, expat);
  } catch (const std::exception&) {
    v.agrees = false;
    return v;
  }
  v.agrees = scan.log == expat.log;
  return v;
}

struct PartRead {
  std::string log;        // what the part holds (cells, range, dimension; strings), or the error
  std::size_t taken = 0;  // the constructs the shortcut took
};

// Runs `read`, which gives the constructs the shortcut took; false, with the error written down,
// when it raised one.
template <class Read>
bool ReadNotingError(PartRead& out, Read&& read) {
  try {
    out.taken = read();
    return true;
  } catch (const xlsx::XlsxError& e) {
    out.log = "error " + std::to_string(static_cast<int>(e.Reason())) + " " + e.what();
    return false;
  }
}

// The sheet part `xml` read as ReadXlsx reads a sheet, the own reader fed in pieces of `piece`
// bytes; the workbook holds two shared strings and its style 1 shows dates.
inline PartRead ReadSheetPart(std::string_view xml, bool shortcut, std::size_t piece,
                              bool formulas) {
  xlsx::SharedStrings strings;
  strings.Add("unu");
  strings.Add("doi");
  const std::vector<bool> dates = {false, true};
  xlsx::SheetContext ctx;
  ctx.dateStyles = &dates;
  ctx.strings = &strings;
  ctx.keepFormulas = formulas;
  ctx.partSize = xml.size();
  ctx.shortcut = shortcut;
  xlsx::Sheet sheet;
  PartRead out;
  if (!ReadNotingError(out, [&] { return xlsx::ReadSheetBytes(xml, ctx, sheet, piece); }))
    return out;
  const xlsx::SheetCells& cells = sheet.cells;
  out.log = "dimension [" + sheet.dimension + "] rows " + std::to_string(cells.FirstRow()) + "-" +
            std::to_string(cells.LastRow()) + " cols " + std::to_string(cells.FirstCol()) + "-" +
            std::to_string(cells.LastCol());
  for (const xlsx::Cell& c : cells.Cells()) {
    out.log += "\n" + std::to_string(c.row) + "," + std::to_string(c.col) + " kind " +
               std::to_string(static_cast<int>(c.kind)) + (c.formula ? " formula " : " ");
    if (c.kind == xlsx::CellKind::Text || c.kind == xlsx::CellKind::Error) {
      out.log += "[" + std::string(cells.TextOf(c)) + "]";
    } else {
      std::uint64_t bits = c.id;  // a number by its bits, so only the same double agrees
      if (c.kind == xlsx::CellKind::Number || c.kind == xlsx::CellKind::Date)
        std::memcpy(&bits, &c.number, sizeof bits);
      out.log += std::to_string(bits);
    }
  }
  for (const auto& f : cells.Formulas())
    out.log += "\nformula " + std::to_string(f.row) + "," + std::to_string(f.col) + " [" +
               std::string(cells.FormulaText(f)) + "]";
  return out;
}

// The shared strings part `xml` read with or without the shortcut for items of one plain text.
inline PartRead ReadStringsPart(std::string_view xml, bool shortcut, std::size_t piece) {
  xlsx::SharedStrings strings;
  PartRead out;
  if (!ReadNotingError(out,
                       [&] { return xlsx::ReadSharedStringsBytes(xml, strings, piece, shortcut); }))
    return out;
  std::string_view s;
  for (std::size_t i = 0; strings.Get(i, s); ++i) out.log += "[" + std::string(s) + "]";
  return out;
}

}  // namespace testxlsx
