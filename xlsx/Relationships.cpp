// Relationship parts: which part is the workbook, which parts are its sheets, strings, styles.
#include <string>

#include "xlsx/Parts.h"
#include "xlsx/Xml.h"

namespace xlsx {
namespace {

class RelsHandler final : public XmlHandler {
 public:
  std::vector<Relationship> rels;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name != "Relationship") return;
    Relationship r;
    if (auto v = a.Get("Id")) r.id = *v;
    if (auto v = a.Get("Type")) {
      const std::string_view t = *v;
      const std::size_t slash = t.find_last_of('/');
      r.type = std::string(slash == std::string_view::npos ? t : t.substr(slash + 1));
    }
    if (auto v = a.Get("Target")) r.target = *v;
    if (auto v = a.Get("TargetMode")) r.external = *v == "External";
    rels.push_back(std::move(r));
  }
  void End(std::string_view) override {}
  void Text(const char*, std::size_t) override {}
};

}  // namespace

std::string ResolveTarget(std::string_view fromPart, std::string_view target) {
  if (!target.empty() && (target[0] == '/' || target[0] == '\\'))
    return NormalisePartName(target, true);
  const std::size_t slash = fromPart.find_last_of('/');
  const std::string dir(slash == std::string_view::npos ? "" : fromPart.substr(0, slash + 1));
  return NormalisePartName(dir + std::string(target), true);
}

std::vector<Relationship> ReadRelationships(ZipPackage& zip, std::string_view part) {
  const std::size_t slash = part.find_last_of('/');
  std::string relsName;
  if (slash == std::string_view::npos)
    relsName = "_rels/" + std::string(part) + ".rels";
  else
    relsName = std::string(part.substr(0, slash + 1)) + "_rels/" +
               std::string(part.substr(slash + 1)) + ".rels";
  if (!zip.Has(relsName)) return {};
  RelsHandler h;
  ParseXmlPart(zip, relsName, h);
  return std::move(h.rels);
}

}  // namespace xlsx
