// ListView1's rows as a model over the list's text columns: no object per row, so a list of a
// million computers fills, filters and sorts in a fraction of a second.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/qt_row_order_model.h"

#include "views/computer_list.h"
#include "views/list_filter.h"

namespace tavrix {

// A text's key for ordering as QString::compare(a, b, Qt::CaseInsensitive) orders texts.
std::u16string caseFoldedKey(std::string_view utf8);

class ComputerListModel : public ui::RowOrderModel {
  Q_OBJECT

 public:
  explicit ComputerListModel(QObject* parent) : RowOrderModel(parent) {}

  // New rows in database order; the typed filter applies to them. An empty table clears the list.
  void setRows(ComputerListTable rows);
  // Shows only the rows holding every word of typed (every row for blank text).
  void setFilter(std::string_view typed);
  // Ascending by column, every time; rows with equal texts keep their order, hidden rows included.
  void sortAscending(int column);

  std::size_t totalCount() const { return rows_.size(); }
  std::size_t shownCount() const { return shown_.size(); }
  // The text of a shown row's column.
  std::string_view text(int row, int column) const {
    return rows_.text(shown_[static_cast<std::size_t>(row)], static_cast<std::size_t>(column));
  }
  std::size_t memoryBytes() const;

  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  // The shown rows changed in number: new rows or another filter.
  void countChanged();

 private:
  void showMatching();
  const std::vector<std::uint32_t>& ranksOf(int column);

  ComputerListTable rows_{kComputerListColumns.size()};
  ListFilter filter_;
  std::string typed_;
  std::vector<std::uint32_t> order_;    // every row, in the order shown (database order until sorted)
  std::vector<char> matching_;          // per row: holds every typed word
  std::vector<std::vector<std::uint32_t>> ranks_;  // per column, per distinct text: its place in the sort
};

}  // namespace tavrix
