// The workbook part: the sheet list in order with the states, and the date system.
#include <string>

#include "xlsx/Parts.h"
#include "xlsx/Xml.h"

namespace xlsx {
namespace {

bool IsTrue(std::string_view s) {
  return s == "1" || s == "true" || s == "on";
}

class WorkbookHandler final : public XmlHandler {
 public:
  WorkbookPart wb;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "workbookPr") {
      if (auto v = a.Get("date1904")) wb.date1904 = IsTrue(*v);
    } else if (name == "sheets") {
      inSheets_ = true;
    } else if (name == "sheet" && inSheets_) {
      WorkbookSheet s;
      if (auto v = a.Get("name")) s.name = *v;
      if (auto v = a.GetNs("id")) s.relId = *v;
      if (auto v = a.Get("state")) {
        const std::string_view st = *v;
        if (st == "hidden")
          s.state = SheetState::Hidden;
        else if (st == "veryHidden")
          s.state = SheetState::VeryHidden;
      }
      wb.sheets.push_back(std::move(s));
    }
  }
  void End(std::string_view name) override {
    if (name == "sheets") inSheets_ = false;
  }
  void Text(const char*, std::size_t) override {}

 private:
  bool inSheets_ = false;
};

}  // namespace

WorkbookPart ReadWorkbook(ZipPackage& zip, std::string_view part) {
  WorkbookHandler h;
  ParseXmlPart(zip, part, h);
  return std::move(h.wb);
}

}  // namespace xlsx
