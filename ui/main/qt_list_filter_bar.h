// The filter field and count label under the computer list: rows hide as the user types.
#pragma once

#include <vector>

#include <QWidget>

#include "views/list_filter.h"

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrix {

class ListFilterBar : public QWidget {
  Q_OBJECT

 public:
  explicit ListFilterBar(QWidget* parent);

  // The list's rows and their items, in the same order; the typed filter applies at once.
  void setRows(const std::vector<ComputerListRow>& rows, std::vector<QTreeWidgetItem*> items);
  QLineEdit* field() const { return TxtFilter; }
  QLabel* countLabel() const { return LblCount; }

 private:
  void applyFilter();

  QLineEdit* TxtFilter;
  QLabel* LblCount;
  ListFilter filter_;
  std::vector<QTreeWidgetItem*> items_;
  std::vector<char> shown_;     // what each item shows now
  std::vector<char> matching_;  // reused for each keystroke
};

}  // namespace tavrix
