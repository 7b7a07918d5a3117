#include "import/RunChecks.h"

#include "import/CompanyData.h"

namespace imp {

std::string UnknownPriceCategoryLine(int code) {
  return "Categoria de pret cu codul " + std::to_string(code) +
         " nu exista in lista categoriilor de pret : preturile multiple nu au fost modificate";
}

std::int16_t UsablePriceCategory(const TImportState& state, ImportView& view) {
  const std::int16_t code = state.PriceCategoryCode;
  if (code == 0) return 0;
  bool listed = false;
  try {
    listed = LoadPriceCategories(state.CurrentCompany, state.CompanyFolder, code).Selected >= 0;
  } catch (const db::DbError&) {
    // Without its category table the company has no category a row could be written for.
  }
  if (listed) return code;
  view.AddErrorLine(UnknownPriceCategoryLine(code));
  return 0;
}

bool FindArticleByKey(db::Table& articles, const db::Field& key, std::string_view text) {
  const db::KeyValue value{std::string(text)};
  // An alpha key takes any text; the engine answers "not found" for one too long for it.
  if (key.DataType() == db::FieldType::Alpha) return articles.FindKey({value});
  try {
    return articles.FindKey({value});
  } catch (const db::DbError&) {
    return false;  // the text is no value of the key field's type
  }
}

}  // namespace imp
