#pragma once
// Checks the import run makes on what it is given before it writes: the price category
// remembered for the company, and whether an identifier can name an article at all.
#include <cstdint>
#include <string>
#include <string_view>

#include "import/ImportState.h"
#include "import/ImportView.h"
#include "platform/db/Table.h"

namespace imp {

// The line put on the messages page when the remembered category is not in the list.
std::string UnknownPriceCategoryLine(int code);

// The price category code the run uses: the state's code when an item of the company's
// category list carries it; otherwise 0 (multiple prices left alone), said once on the
// messages page.
std::int16_t UsablePriceCategory(const TImportState& state, ImportView& view);

// Key search of `text` on the table's current index, whose first field is `key`. An
// identifier that field cannot hold (letters for a numeric code, a text longer than the
// field) names no article: false, and the run goes on.
bool FindArticleByKey(db::Table& articles, const db::Field& key, std::string_view text);

}  // namespace imp
