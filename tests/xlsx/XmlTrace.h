#pragma once
// Both XML readers over the same bytes, each call of the handler written down: the sheet's own
// reader must either hand the bytes over or give exactly expat's calls.
#include <string>
#include <string_view>

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

}  // namespace testxlsx
