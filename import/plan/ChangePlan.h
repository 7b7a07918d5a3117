#pragma once
// The change plan: every value the run writes, with the warnings an accountant should see
// before the prices reach the till. Filled by the run itself through its observer, so the
// plan of a dry run and the changes of the real run come from the same code.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "import/plan/ChangeRow.h"

namespace imp {

enum ChangeWarning : unsigned {
  cwBigChange = 1u << 0,    // the price moves by more than the threshold
  cwNotPositive = 1u << 1,  // the new price is 0 or negative
  cwTwoPrices = 1u << 2,    // the list gives the article two different prices
  cwAmbiguous = 1u << 3,    // the identifier matches more than one article
  cwCellKind = 1u << 4,     // the price cell is a date, a Boolean or a formula giving text
};
inline constexpr int kWarningKinds = 5;
inline constexpr double kDefaultThresholdPercent = 50;

struct PlanRow {
  ChangeRow Change;
  std::optional<double> Percent;  // none when the old price is blank or 0
  unsigned Warnings = 0;
  int KeptSheet = 0, KeptRow = 0;  // of an article given two prices: the occurrence kept
};

class ChangePlan final : public ChangeObserver {
 public:
  explicit ChangePlan(double thresholdPercent = kDefaultThresholdPercent);

  void BeforeArticleWrite(const ChangeRow& row) override;
  void BeforeMultiPriceWrite(const ChangeRow& row) override;

  // Flags the articles given two different prices; call once the run is over.
  void Finish();

  const std::vector<PlanRow>& Rows() const { return rows_; }
  double ThresholdPercent() const { return threshold_; }
  // Another threshold: the big-change warnings and their count are worked out again.
  void SetThreshold(double percent);
  int WarningCount(ChangeWarning warning) const;
  int RowsWithWarnings() const;

  // The row's warnings as one line of text ("" for none).
  std::string WarningsText(const PlanRow& row) const;

 private:
  double threshold_;
  std::vector<PlanRow> rows_;
  std::unordered_map<std::int32_t, std::size_t> lastOfArticle_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t previousOfLast_ = kNone;  // the earlier occurrence of the last row's article
  std::array<int, kWarningKinds> counts_{};
  bool finished_ = false;
};

// The threshold remembered in the settings file (percent, default 50).
double ReadThresholdSetting();
void WriteThresholdSetting(double percent);

// Percent change from `oldValue` to `newValue`; none when the old one is blank or 0.
std::optional<double> PercentChange(const StoredPrice& oldValue, double newValue);

}  // namespace imp
