// The styles part, read only as far as dates need: the number format of every cell style.
#include <charconv>
#include <string>
#include <unordered_map>

#include "masks/ExcelMask.h"
#include "xlsx/Parts.h"
#include "xlsx/Xml.h"

namespace xlsx {
namespace {

bool ParseId(std::optional<std::string_view> v, long& out) {
  if (!v) return false;
  const std::string_view s = *v;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && out >= 0;
}

// The built-in formats that show a date or a time (the East Asian ones left aside, as the .xls
// reader leaves them).
bool BuiltInDate(long id) {
  return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

class StylesHandler final : public XmlHandler {
 public:
  std::vector<bool> dates;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "numFmt") {
      long id = 0;
      const auto code = a.Get("formatCode");
      if (ParseId(a.Get("numFmtId"), id) && code) custom_[id] = IsDateCode(*code);
    } else if (name == "cellXfs") {
      inCellXfs_ = true;
    } else if (name == "xf" && inCellXfs_) {
      long id = 0;
      xfFormats_.push_back(ParseId(a.Get("numFmtId"), id) ? id : 0);
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") inCellXfs_ = false;
  }
  void Text(const char*, std::size_t) override {}
  void Finish() {
    dates.reserve(xfFormats_.size());
    for (long id : xfFormats_) {
      auto it = custom_.find(id);
      dates.push_back(it != custom_.end() ? it->second : BuiltInDate(id));
    }
  }

 private:
  static bool IsDateCode(std::string_view code) {
    try {
      return masks::TExcelMask(code).IsDateMask();
    } catch (const masks::EExcelMaskError&) {
      return false;  // longer than any format a workbook may hold
    }
  }
  bool inCellXfs_ = false;
  std::unordered_map<long, bool> custom_;
  std::vector<long> xfFormats_;
};

}  // namespace

std::vector<bool> ReadDateStyles(ZipPackage& zip, std::string_view part) {
  StylesHandler h;
  ParseXmlPart(zip, part, h);
  h.Finish();
  return std::move(h.dates);
}

}  // namespace xlsx
