#include "import/CompanyData.h"

#include <system_error>

#include "import/TextUtil.h"
#include "platform/Files.h"
#include "platform/db/Query.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

bool FolderExists(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

}  // namespace

const char* ArticleIndexName(int identification) {
  switch (identification) {
    case aiCodIntern: return "CodIntern";
    case aiDenumire: return "Denumire";
    default: return "CodExtern";
  }
}

std::unique_ptr<db::Table> OpenCompanyTable(const std::string& name, const fs::path& folder) {
  auto table = std::make_unique<db::Table>();
  table->TableName = name;
  table->DatabaseName = folder;
  table->Open();
  return table;
}

std::vector<std::string> LoadCompanyList(const fs::path& dataRoot) {
  std::vector<std::string> companies;
  if (platform::FindFileNoCase(dataRoot, "Firme.DB").empty()) return companies;
  auto firme = OpenCompanyTable("Firme", dataRoot);
  db::Field& shortName = firme->FieldByName("Prescurtat");
  for (firme->First(); !firme->Eof(); firme->Next()) {
    std::string name = shortName.AsString();
    // A blank name would point at the data root itself, which is no company.
    if (!TrimControl(name).empty() && FolderExists(dataRoot / name)) companies.push_back(name);
  }
  return companies;
}

std::string ProducersQuery(const fs::path& companyFolder) {
  return "SELECT DISTINCT PRODUCATOR FROM \"" + (companyFolder / "NART").string() +
         "\" ORDER BY PRODUCATOR";
}

std::string PriceCategoriesQuery(const fs::path& companyFolder) {
  return "SELECT DENUMIRE, COD FROM \"" + (companyFolder / "NCATPRET").string() +
         "\" WHERE TIP IN (1, 2) ORDER BY DENUMIRE";
}

ListFill<std::string> LoadProducers(const std::string& currentCompany,
                                    const fs::path& companyFolder) {
  ListFill<std::string> fill;
  if (currentCompany.empty()) {
    fill.ErrorMessage = kNoCompanyMessage;
    return fill;
  }
  db::Query query;
  query.SQL = ProducersQuery(companyFolder);
  query.Open();
  for (query.First(); !query.Eof(); query.Next()) {
    std::string name = query.Fields(0).AsString();
    if (TrimControl(name).empty()) continue;
    fill.Items.push_back(std::move(name));
  }
  return fill;
}

ListFill<PriceCategoryItem> LoadPriceCategories(const std::string& currentCompany,
                                                const fs::path& companyFolder, int codeToSelect) {
  ListFill<PriceCategoryItem> fill;
  if (currentCompany.empty()) {
    fill.ErrorMessage = kNoCompanyMessage;
    return fill;
  }
  db::Query query;
  query.SQL = PriceCategoriesQuery(companyFolder);
  query.Open();
  for (query.First(); !query.Eof(); query.Next()) {
    std::string name = query.Fields(0).AsString();
    if (TrimControl(name).empty()) continue;
    auto code = static_cast<std::int16_t>(query.Fields(1).AsInteger());
    if (code == codeToSelect) fill.Selected = static_cast<int>(fill.Items.size());
    fill.Items.push_back({std::move(name), code});
  }
  return fill;
}

}  // namespace imp
