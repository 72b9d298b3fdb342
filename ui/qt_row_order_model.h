// Table models that show numbers of stored rows, no object per row: what they share in filtering
// and sorting long lists.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

#include <QAbstractTableModel>

namespace tavrix::ui {

// A stable counting sort of rows by ranks[idOf(row)]: rows of equal rank keep their order. With
// ascending false the ranks count down, and equal rows still keep their order.
template <typename IdOf>
void sortByRank(std::vector<std::uint32_t>& rows, const std::vector<std::uint32_t>& ranks, IdOf idOf, bool ascending = true) {
  const auto top = static_cast<std::uint32_t>(ranks.size());
  const auto place = [&](std::uint32_t row) { return ascending ? ranks[idOf(row)] : top - 1 - ranks[idOf(row)]; };
  std::vector<std::uint32_t> starts(ranks.size() + 1, 0);
  for (const std::uint32_t row : rows) ++starts[place(row) + 1];
  std::partial_sum(starts.begin(), starts.end(), starts.begin());
  std::vector<std::uint32_t> sorted(rows.size());
  for (const std::uint32_t row : rows) sorted[starts[place(row)]++] = row;
  rows.swap(sorted);
}

// The shown rows as numbers of stored rows. Changing which rows show, or their order, keeps the
// current row and the selection on the rows they were on (they drop when it is hidden).
class RowOrderModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
  }

 protected:
  // change() sets shown_ anew; storedRows: how many rows are stored.
  template <typename Change>
  void changeShownRows(std::size_t storedRows, Change change) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> kept;
    kept.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) kept.push_back(shown_[static_cast<std::size_t>(index.row())]);
    change();
    if (!before.isEmpty()) {
      std::vector<int> placeOf(storedRows, -1);
      for (std::size_t i = 0; i < shown_.size(); ++i) placeOf[shown_[i]] = static_cast<int>(i);
      QModelIndexList after;
      after.reserve(before.size());
      for (qsizetype k = 0; k < before.size(); ++k) {
        const int place = placeOf[kept[static_cast<std::size_t>(k)]];
        after.append(place < 0 ? QModelIndex() : index(place, before[k].column()));
      }
      changePersistentIndexList(before, after);
    }
    emit layoutChanged();
  }

  std::vector<std::uint32_t> shown_;  // the stored row of each shown row
};

}  // namespace tavrix::ui
