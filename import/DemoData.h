#pragma once
// A demo data root: the company list, company folders with their article catalogue,
// multiple prices and price categories, and sample supplier price lists. Tests build their
// own small catalogues with the same pieces.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace imp {

struct DemoArticle {
  std::int32_t Code = 0;  // "CodArt", the first field
  std::string CodExtern, CodIntern, Denumire, Producator;
  double PretVanzare = 0, PretValuta = 0;
  std::string TipPret;  // "M" for several prices
};

struct DemoMultiPrice {
  std::int32_t CodArt = 0;
  std::int16_t IndexLocal = 0, CodPret = 0;
  double Lei = 0, Valuta = 0;
};

struct DemoCategory {
  std::int16_t Cod = 0;
  std::string Denumire;
  std::int16_t Tip = 1;
};

// Empty "Nart" (keyed on its first field, "CodArt"), "PretM" (keyed on "CodArt",
// "IndexLocal") and "NCATPRET" (keyed on "COD") in `folder`, code page 1250.
void CreateCompanyTables(const std::filesystem::path& folder);
void AddArticles(const std::filesystem::path& folder, const std::vector<DemoArticle>& articles);
void AddMultiPrices(const std::filesystem::path& folder, const std::vector<DemoMultiPrice>& rows);
void AddCategories(const std::filesystem::path& folder, const std::vector<DemoCategory>& rows);
// "Firme.DB" in `dataRoot` with these short names ("Prescurtat") and full names.
void CreateCompanyList(const std::filesystem::path& dataRoot,
                       const std::vector<std::pair<std::string, std::string>>& companies);

struct DemoReport {
  std::vector<std::string> Companies;  // with folders
  int Articles = 0, MultiPrices = 0;
  std::vector<std::filesystem::path> Workbooks;  // copied into the data root
};

// Builds the whole demo data root in `dataRoot` (created; must not hold a "Firme.DB" yet) and
// copies the sample workbooks found in `workbooksDir` (when not empty) into it.
DemoReport CreateDemoDataRoot(const std::filesystem::path& dataRoot,
                              const std::filesystem::path& workbooksDir);

// The demo catalogue of company "ALFA": article n (1..300) has the external code 1000 + n and
// the internal code "A" + n in five digits; the sample workbooks use these codes.
std::vector<DemoArticle> DemoArticlesAlfa();

}  // namespace imp
