#include "import/window/PlanTableModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "import/NumberText.h"

namespace imp {
namespace {

const char* const kHeaders[TPlanTableModel::kColumnCount] = {
    "Pag.",     "Linia",        "CodArt",       "Identificator", "Denumire",      "Pret vechi",
    "Pret nou", "Modificare %", "Avertismente", "Camp",          "Pret multiplu", "Producator"};

const QColor kWarningBack(255, 244, 176);  // a row with a warning
const QColor kWarningText(192, 0, 0);

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString PriceText(const StoredPrice& price) {
  return price.Null ? QString() : Q(FormatGeneral(price.Value));
}

QString PercentText(const std::optional<double>& percent) {
  if (!percent) return {};
  const double rounded = std::round(*percent * 100) / 100;
  return Q((rounded > 0 ? "+" : "") + FormatGeneral(rounded));
}

QString MultiText(const ChangeRow& c) {
  switch (c.Multi) {
    case MultiPriceAction::Updated:
      return Q(c.MultiField + " " + std::to_string(c.IndexLocal) + ": " +
               (c.MultiOldValue.Null ? std::string() : FormatGeneral(c.MultiOldValue.Value)) +
               " -> " + FormatGeneral(c.NewValue));
    case MultiPriceAction::Added:
      return Q(c.MultiField + " " + std::to_string(c.IndexLocal) + ": adaugat " +
               FormatGeneral(c.NewValue));
    case MultiPriceAction::None: break;
  }
  return {};
}

// -1, 0 or 1; a value that is missing (blank price, no percent) counts as larger than any.
template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}
int CompareMissingLast(bool aMissing, double a, bool bMissing, double b) {
  if (aMissing || bMissing) return Compare(aMissing, bMissing);
  return Compare(a, b);
}

int CompareRows(const PlanRow& x, const PlanRow& y, int column) {
  const ChangeRow& a = x.Change;
  const ChangeRow& b = y.Change;
  switch (column) {
    case TPlanTableModel::colSheet: return Compare(a.Sheet, b.Sheet);
    case TPlanTableModel::colRow: return Compare(a.Row, b.Row);
    case TPlanTableModel::colCode: return Compare(a.ArticleCode, b.ArticleCode);
    case TPlanTableModel::colIdentifier: return a.Identifier.compare(b.Identifier);
    case TPlanTableModel::colName: return a.Name.compare(b.Name);
    case TPlanTableModel::colProducer: return a.Producer.compare(b.Producer);
    case TPlanTableModel::colField: return a.Field.compare(b.Field);
    case TPlanTableModel::colOld:
      return CompareMissingLast(a.OldValue.Null, a.OldValue.Value, b.OldValue.Null,
                                b.OldValue.Value);
    case TPlanTableModel::colNew: return Compare(a.NewValue, b.NewValue);
    case TPlanTableModel::colPercent:
      return CompareMissingLast(!x.Percent, x.Percent.value_or(0), !y.Percent,
                                y.Percent.value_or(0));
    case TPlanTableModel::colMulti: return Compare(a.Multi, b.Multi);
    case TPlanTableModel::colWarnings: return Compare(x.Warnings, y.Warnings);
    default: return 0;
  }
}

}  // namespace

TPlanTableModel::TPlanTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TPlanTableModel::SetPlan(const ChangePlan* plan) {
  beginResetModel();
  plan_ = plan;
  lines_.resize(plan ? plan->Rows().size() : 0);
  std::iota(lines_.begin(), lines_.end(), 0);
  SortLines();
  endResetModel();
}

void TPlanTableModel::WarningsChanged() {
  if (sortColumn_ == colWarnings || sortColumn_ == colPercent) {
    emit layoutAboutToBeChanged();
    SortLines();
    emit layoutChanged();
  }
  if (!lines_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

const PlanRow* TPlanTableModel::RowAt(int line) const {
  if (!plan_ || line < 0 || static_cast<std::size_t>(line) >= lines_.size()) return nullptr;
  return &plan_->Rows()[static_cast<std::size_t>(lines_[static_cast<std::size_t>(line)])];
}

int TPlanTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int TPlanTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TPlanTableModel::data(const QModelIndex& index, int role) const {
  const PlanRow* row = RowAt(index.row());
  if (!row) return {};
  const ChangeRow& c = row->Change;
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      switch (column) {
        case colSheet: return c.Sheet;
        case colRow: return c.Row;
        case colCode: return c.ArticleCode;
        case colIdentifier: return Q(c.Identifier);
        case colName: return Q(c.Name);
        case colProducer: return Q(c.Producer);
        case colField: return Q(c.Field);
        case colOld: return PriceText(c.OldValue);
        case colNew: return Q(FormatGeneral(c.NewValue));
        case colPercent: return PercentText(row->Percent);
        case colMulti: return MultiText(c);
        case colWarnings: return Q(plan_->WarningsText(*row));
        default: return {};
      }
    case Qt::ToolTipRole:
      if (column == colWarnings && row->Warnings) return Q(plan_->WarningsText(*row));
      return {};
    case Qt::TextAlignmentRole:
      if (column <= colCode || column == colOld || column == colNew || column == colPercent)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (row->Warnings) return QBrush(kWarningBack);
      return {};
    case Qt::ForegroundRole: {
      const bool flagged =
          column == colWarnings || (column == colPercent && (row->Warnings & cwBigChange)) ||
          (column == colNew && (row->Warnings & (cwNotPositive | cwCellKind))) ||
          (column == colIdentifier && (row->Warnings & (cwAmbiguous | cwTwoPrices)));
      if (flagged && row->Warnings) return QBrush(kWarningText);
      return {};
    }
    default: return {};
  }
}

QVariant TPlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  return QString::fromLatin1(kHeaders[section]);
}

void TPlanTableModel::sort(int column, Qt::SortOrder order) {
  sortColumn_ = column;
  sortOrder_ = order;
  emit layoutAboutToBeChanged();
  SortLines();
  emit layoutChanged();
}

// Ties keep the plan's order, so a second sort refines the first one's runs.
void TPlanTableModel::SortLines() {
  if (!plan_ || sortColumn_ < 0 || sortColumn_ >= kColumnCount) return;
  const std::vector<PlanRow>& rows = plan_->Rows();
  const int column = sortColumn_;
  const bool descending = sortOrder_ == Qt::DescendingOrder;
  const bool missingLast = column == colOld || column == colPercent;
  std::stable_sort(lines_.begin(), lines_.end(), [&](int a, int b) {
    const PlanRow& x = rows[static_cast<std::size_t>(a)];
    const PlanRow& y = rows[static_cast<std::size_t>(b)];
    if (missingLast) {
      // A missing value stays at the end in both orders.
      const bool xMissing = column == colOld ? x.Change.OldValue.Null : !x.Percent;
      const bool yMissing = column == colOld ? y.Change.OldValue.Null : !y.Percent;
      if (xMissing != yMissing) return yMissing;
    }
    const int c = CompareRows(x, y, column);
    return descending ? c > 0 : c < 0;
  });
}

}  // namespace imp
