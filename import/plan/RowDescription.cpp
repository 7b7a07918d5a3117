#include "import/plan/RowDescription.h"

namespace imp {

StoredPrice ReadStoredPrice(const db::Field& field) {
  if (field.IsNull()) return {};
  return {false, field.AsFloat()};
}

ChangeRow DescribeArticleChange(db::Table& articles, const db::Field& price,
                                const PriceSource& source, bool details) {
  ChangeRow row;
  row.Sheet = source.Sheet;
  row.Row = source.Row;
  row.ArticleCode = articles.Fields(0).AsInteger();
  row.CellText = source.CellText;
  row.CellKind = source.CellKind;
  row.CellValue = source.CellValue;
  row.NewValue = source.Written;
  row.Field = price.FieldName();
  row.OldValue = ReadStoredPrice(price);
  if (!details) return row;
  row.Identifier = source.Identifier;
  if (const db::Field* name = articles.FindField("Denumire")) row.Name = name->AsString();
  if (const db::Field* producer = articles.FindField("Producator"))
    row.Producer = producer->AsString();

  // Another article with the same key right after this one: the key search took the first.
  const std::string& index = articles.IndexName();
  db::Field* key = index.empty() ? &articles.Fields(0) : articles.FindField(index);
  if (key) {
    const std::string here = key->AsString();
    articles.Next();
    if (!articles.Eof()) {
      row.Ambiguous = key->AsString() == here;
      articles.Prior();
    } else {
      articles.FindKey({db::KeyValue(source.Identifier)});  // back on the article, flags reset
    }
  }
  return row;
}

void DescribeMultiPriceChange(ChangeRow& row, const std::string& field, const db::Field* value,
                              int indexLocal) {
  row.Multi = value ? MultiPriceAction::Updated : MultiPriceAction::Added;
  row.MultiField = field;
  row.MultiOldValue = value ? ReadStoredPrice(*value) : StoredPrice{};
  row.IndexLocal = indexLocal;
}

}  // namespace imp
