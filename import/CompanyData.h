#pragma once
// The company's tables as the import sees them: the company list of the data root, the
// article catalogue and multiple-price table of a company folder, and the two lists the
// window offers (producers, price categories) from local SQL.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "import/ImportState.h"
#include "platform/db/Table.h"

namespace imp {

// The message shown when a list needs a company and none is current.
inline constexpr const char* kNoCompanyMessage = "Nu ai selectat Firma de lucru ";

// Opens the table `name` of `folder`; the caller owns it and releasing closes it.
// Raises db::DbError when the table cannot be opened.
std::unique_ptr<db::Table> OpenCompanyTable(const std::string& name,
                                            const std::filesystem::path& folder);

// "Prescurtat" of every "Firme" record whose folder exists under `dataRoot`, in table order
// (the window's list sorts itself). Empty when "Firme.DB" is missing.
std::vector<std::string> LoadCompanyList(const std::filesystem::path& dataRoot);

// A list fill: the items in query order, the index of the item to select (or -1), or the
// message to show when there is no current company.
template <typename Item>
struct ListFill {
  std::vector<Item> Items;
  int Selected = -1;
  std::string ErrorMessage;  // non-empty: show it as an error, the list stays as it was
};

// The query texts, naming their table by the full path in double quotes.
std::string ProducersQuery(const std::filesystem::path& companyFolder);
std::string PriceCategoriesQuery(const std::filesystem::path& companyFolder);

// Distinct non-blank producers of the company's catalogue, ordered by the query.
ListFill<std::string> LoadProducers(const std::string& currentCompany,
                                    const std::filesystem::path& companyFolder);

// Price categories of type 1 or 2 with non-blank names; the last one whose code equals
// `codeToSelect` is selected (-1 selects none).
ListFill<PriceCategoryItem> LoadPriceCategories(const std::string& currentCompany,
                                                const std::filesystem::path& companyFolder,
                                                int codeToSelect);

}  // namespace imp
