// The filter field and count label under the computer list: rows hide as the user types.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tavrix {

class ComputerListModel;

class ListFilterBar : public QWidget {
  Q_OBJECT

 public:
  // Filters list's rows as the user types; the count follows the list's rows.
  ListFilterBar(QWidget* parent, ComputerListModel* list);

  QLineEdit* field() const { return TxtFilter; }
  QLabel* countLabel() const { return LblCount; }

 private:
  void showCount();

  QLineEdit* TxtFilter;
  QLabel* LblCount;
  ComputerListModel* list_;
};

}  // namespace tavrix
