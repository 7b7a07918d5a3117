#pragma once
// Small company tables shaped like the real ones, built with our own CreateTable.
#include <string>
#include <vector>

#include "platform/db/CreateTable.h"
#include "platform/db/Table.h"

namespace dbtest {

inline std::vector<db::FieldDef> NartFields() {
  return {{"Cod", db::FieldType::Long},
          {"CodExtern", db::FieldType::Alpha, 20},
          {"CodIntern", db::FieldType::Alpha, 20},
          {"Denumire", db::FieldType::Alpha, 40},
          {"PretVanzare", db::FieldType::Number},
          {"PretValuta", db::FieldType::Number},
          {"TipPret", db::FieldType::Alpha, 1},
          {"Producator", db::FieldType::Alpha, 30}};
}

inline std::vector<db::FieldDef> PretMFields() {
  return {{"CodArt", db::FieldType::Long},
          {"IndexLocal", db::FieldType::Short},
          {"CodPret", db::FieldType::Short},
          {"Lei", db::FieldType::Number},
          {"Valuta", db::FieldType::Number}};
}

inline void OpenTable(db::Table& t, const std::filesystem::path& folder, const std::string& name) {
  t.TableName = name;
  t.DatabaseName = folder;
  t.Open();
}

}  // namespace dbtest
