#pragma once
// The rows of a change plan as a table for the preview page: one line per article price, the
// multiple-price row beside it, warnings highlighted. Sorting reorders a list of row numbers,
// so a plan of any size costs one small integer per row beyond the plan itself.
#include <QAbstractTableModel>
#include <vector>

#include "import/plan/ChangePlan.h"

namespace imp {

class TPlanTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    // The columns an accountant reads first come first: where, what, from, to, by how much.
    colSheet,
    colRow,
    colCode,
    colIdentifier,
    colName,
    colOld,
    colNew,
    colPercent,
    colWarnings,
    colField,
    colMulti,
    colProducer,
    kColumnCount
  };

  explicit TPlanTableModel(QObject* parent = nullptr);

  // Shows `plan` (nullptr: nothing) in the order last chosen; the plan must outlive its use.
  void SetPlan(const ChangePlan* plan);
  // The plan's warnings changed (another threshold): repainted, and re-sorted if by warnings.
  void WarningsChanged();
  // The plan row shown on line `line`, or nullptr.
  const PlanRow* RowAt(int line) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  void SortLines();

  const ChangePlan* plan_ = nullptr;
  std::vector<int> lines_;  // plan row shown on each line
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace imp
