// The fleet window's list model: rows appended page by page, sorted by ranks of their values.
#include "ui/fleet/qt_result_list_model.h"

#include <algorithm>
#include <numeric>

#include "queries/row_output.h"
#include "queries/text_match.h"

namespace tavrix::ui {

void ResultListModel::setRows(queries::ResultRows rows, MoreRows more) {
  beginResetModel();
  rows_ = std::move(rows);
  more_ = std::move(more);
  cut_ = false;
  ranks_.assign(rows_.columns().size(), {});
  shown_.resize(rows_.size());
  std::iota(shown_.begin(), shown_.end(), 0U);
  endResetModel();
  emit countChanged();
}

bool ResultListModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && more_ != nullptr; }

void ResultListModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  const std::size_t before = rows_.size();
  const bool again = more_(rows_);
  cut_ = rows_.size() >= mostRows_ && again;
  if (!again || cut_) more_ = nullptr;
  if (rows_.size() == before) return;
  beginInsertRows({}, static_cast<int>(before), static_cast<int>(rows_.size() - 1));
  for (std::size_t r = before; r < rows_.size(); ++r) shown_.push_back(static_cast<std::uint32_t>(r));
  endInsertRows();
  emit countChanged();
}

void ResultListModel::readAll() {
  while (canFetchMore({})) fetchMore({});
}

void ResultListModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  readAll();
  const std::vector<std::uint32_t>& ranks = ranksOf(column);
  const auto c = static_cast<std::size_t>(column);
  changeShownRows(rows_.size(), [&] {
    sortByRank(shown_, ranks, [&](std::uint32_t row) { return rows_.valueId(row, c); }, order == Qt::AscendingOrder);
  });
}

// A column of whole numbers (and NULLs, first) orders by value; any other by text as the database
// orders it (ASCII case ignored, then bytes). Values that order alike share a rank.
const std::vector<std::uint32_t>& ResultListModel::ranksOf(int column) {
  const auto c = static_cast<std::size_t>(column);
  std::vector<std::uint32_t>& ranks = ranks_[c];
  const std::size_t count = rows_.distinctCount(c);
  if (ranks.size() == count) return ranks;
  using queries::ValueKind;
  bool numbers = true;
  std::vector<std::int64_t> values(count, 0);
  for (std::uint32_t id = 0; id < count && numbers; ++id) {
    const ValueKind kind = rows_.kindOf(c, id);
    numbers = kind == ValueKind::Null || kind == ValueKind::Integer;
    if (kind == ValueKind::Integer) values[id] = rows_.valueOf(c, id).toInt();
  }
  const auto compare = [&](std::uint32_t a, std::uint32_t b) {
    if (!numbers) return queries::compareText(rows_.textOf(c, a), rows_.textOf(c, b));
    const bool nullA = rows_.kindOf(c, a) == ValueKind::Null, nullB = rows_.kindOf(c, b) == ValueKind::Null;
    if (nullA || nullB) return static_cast<int>(nullB) - static_cast<int>(nullA);
    return values[a] < values[b] ? -1 : (values[a] > values[b] ? 1 : 0);
  };
  std::vector<std::uint32_t> ids(count);
  std::iota(ids.begin(), ids.end(), 0U);
  std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
  ranks.assign(count, 0);
  std::uint32_t rank = 0;
  for (std::size_t k = 1; k < ids.size(); ++k) {
    if (compare(ids[k - 1], ids[k]) != 0) ++rank;
    ranks[ids[k]] = rank;
  }
  return ranks;
}

std::size_t ResultListModel::memoryBytes() const {
  std::size_t bytes = rows_.memoryBytes() + shown_.capacity() * sizeof(std::uint32_t);
  for (const std::vector<std::uint32_t>& ranks : ranks_) bytes += ranks.capacity() * sizeof(std::uint32_t);
  return bytes;
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || static_cast<std::size_t>(index.column()) >= rows_.columns().size()) return {};
  const std::string shown = queries::oneLine(rows_.text(storedRow(index.row()), static_cast<std::size_t>(index.column())));
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  return headers_[section];
}

}  // namespace tavrix::ui
