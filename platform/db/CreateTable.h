#pragma once
// Creating a new, empty Paradox table (level 7 or 5) with its primary index when keyed.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/db/DbError.h"
#include "platform/db/Field.h"

namespace db {

struct FieldDef {
  std::string name;
  FieldType type = FieldType::Alpha;
  int size = 0;  // alpha and bytes: length (1-255); BCD: decimals; others: ignored
};

// Writes <folder>/<name>.DB (and <name>.PX when keyFieldCount > 0; the key is the first
// keyFieldCount fields). Raises DbError when the table exists or a definition is invalid.
void CreateTable(const std::filesystem::path& folder, const std::string& name,
                 const std::vector<FieldDef>& fields, int keyFieldCount, int codepage = 1250,
                 int level = 7);

}  // namespace db
