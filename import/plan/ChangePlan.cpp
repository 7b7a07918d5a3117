#include "import/plan/ChangePlan.h"

#include <cmath>

#include "import/NumberText.h"
#include "import/Settings.h"

namespace imp {
namespace {

constexpr const char* kThresholdKey = "PragAvertizare";

int Bit(ChangeWarning warning) {
  int index = 0;
  for (unsigned w = warning; w > 1; w >>= 1) ++index;
  return index;
}

std::string Place(int sheet, int row) {
  return "Pagina " + std::to_string(sheet) + " Linia " + std::to_string(row);
}

}  // namespace

std::optional<double> PercentChange(const StoredPrice& oldValue, double newValue) {
  if (oldValue.Null || oldValue.Value == 0 || !std::isfinite(oldValue.Value)) return std::nullopt;
  return (newValue - oldValue.Value) / std::fabs(oldValue.Value) * 100.0;
}

ChangePlan::ChangePlan(double thresholdPercent) : threshold_(thresholdPercent) {}

namespace {

bool IsBigChange(const std::optional<double>& percent, double threshold) {
  return percent && std::fabs(*percent) > threshold;
}

}  // namespace

void ChangePlan::SetThreshold(double percent) {
  threshold_ = percent;
  int count = 0;
  for (PlanRow& row : rows_) {
    row.Warnings &= ~static_cast<unsigned>(cwBigChange);
    if (IsBigChange(row.Percent, threshold_)) {
      row.Warnings |= cwBigChange;
      ++count;
    }
  }
  counts_[static_cast<std::size_t>(Bit(cwBigChange))] = count;
}

void ChangePlan::BeforeArticleWrite(const ChangeRow& row) {
  PlanRow plan;
  plan.Change = row;
  previousOfLast_ = kNone;
  // A dry run writes nothing, so an article listed again still shows its stored price; the
  // real run would find the price of the earlier occurrence instead.
  if (auto seen = lastOfArticle_.find(row.ArticleCode); seen != lastOfArticle_.end()) {
    previousOfLast_ = seen->second;
    const ChangeRow& earlier = rows_[seen->second].Change;
    if (earlier.Field == row.Field) plan.Change.OldValue = {false, earlier.NewValue};
  }
  plan.Percent = PercentChange(plan.Change.OldValue, row.NewValue);
  if (IsBigChange(plan.Percent, threshold_)) plan.Warnings |= cwBigChange;
  if (!(row.NewValue > 0)) plan.Warnings |= cwNotPositive;
  if (row.Ambiguous) plan.Warnings |= cwAmbiguous;
  if (row.CellKind == PriceCellKind::Date || row.CellKind == PriceCellKind::Boolean ||
      row.CellKind == PriceCellKind::FormulaText)
    plan.Warnings |= cwCellKind;
  for (int i = 0; i < kWarningKinds; ++i)
    if (plan.Warnings & (1u << i)) ++counts_[static_cast<std::size_t>(i)];
  lastOfArticle_[row.ArticleCode] = rows_.size();
  rows_.push_back(std::move(plan));
}

void ChangePlan::BeforeMultiPriceWrite(const ChangeRow& row) {
  if (rows_.empty() || rows_.back().Change.ArticleCode != row.ArticleCode) return;
  ChangeRow& target = rows_.back().Change;
  const MultiPriceAction action = row.Multi;
  target.Multi = action;
  target.MultiField = row.MultiField;
  target.MultiOldValue = row.MultiOldValue;
  target.IndexLocal = row.IndexLocal;
  // As above: a row the dry run would have added is the row a later occurrence updates.
  if (previousOfLast_ == kNone) return;
  const ChangeRow& earlier = rows_[previousOfLast_].Change;
  if (earlier.Multi != MultiPriceAction::None && earlier.MultiField == row.MultiField) {
    target.Multi = MultiPriceAction::Updated;
    target.MultiOldValue = {false, earlier.NewValue};
    target.IndexLocal = earlier.IndexLocal;
  }
}

void ChangePlan::Finish() {
  if (finished_) return;
  finished_ = true;
  // Articles with more than one occurrence: flagged when the prices differ; the last one is
  // what stays in the table.
  std::unordered_map<std::int32_t, std::pair<std::size_t, bool>> last;  // last row, prices differ
  last.reserve(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    auto [it, fresh] = last.try_emplace(rows_[i].Change.ArticleCode, i, false);
    if (fresh) continue;
    if (rows_[it->second.first].Change.NewValue != rows_[i].Change.NewValue)
      it->second.second = true;
    it->second.first = i;
  }
  for (PlanRow& row : rows_) {
    auto it = last.find(row.Change.ArticleCode);
    if (!it->second.second) continue;
    const ChangeRow& kept = rows_[it->second.first].Change;
    row.Warnings |= cwTwoPrices;
    row.KeptSheet = kept.Sheet;
    row.KeptRow = kept.Row;
    ++counts_[static_cast<std::size_t>(Bit(cwTwoPrices))];
  }
}

int ChangePlan::WarningCount(ChangeWarning warning) const {
  return counts_[static_cast<std::size_t>(Bit(warning))];
}

int ChangePlan::RowsWithWarnings() const {
  int n = 0;
  for (const PlanRow& row : rows_) n += row.Warnings != 0;
  return n;
}

std::string ChangePlan::WarningsText(const PlanRow& row) const {
  std::string text;
  auto add = [&text](const std::string& part) {
    if (!text.empty()) text += "; ";
    text += part;
  };
  if (row.Warnings & cwBigChange)
    add("Pretul se modifica cu peste " + FormatGeneral(threshold_) + "%");
  if (row.Warnings & cwNotPositive) add(row.Change.NewValue < 0 ? "Pret negativ" : "Pret zero");
  if (row.Warnings & cwTwoPrices)
    add("Articolul are doua preturi diferite in lista; ramane pretul de la " +
        Place(row.KeptSheet, row.KeptRow));
  if (row.Warnings & cwAmbiguous)
    add("Identificatorul corespunde mai multor articole; se actualizeaza articolul " +
        std::to_string(row.Change.ArticleCode));
  if (row.Warnings & cwCellKind) {
    switch (row.Change.CellKind) {
      case PriceCellKind::Date: add("Celula de pret contine o data calendaristica"); break;
      case PriceCellKind::Boolean: add("Celula de pret contine o valoare logica"); break;
      default: add("Celula de pret contine o formula cu rezultat text"); break;
    }
  }
  return text;
}

double ReadThresholdSetting() {
  double value = 0;
  const std::string text = ReadSetting(kGeneralSection, kThresholdKey);
  if (!TextToFloat(text, value) || !(value > 0) || value > 1e6) return kDefaultThresholdPercent;
  return value;
}

void WriteThresholdSetting(double percent) {
  WriteSetting(kGeneralSection, kThresholdKey, FormatGeneral(percent));
}

}  // namespace imp
