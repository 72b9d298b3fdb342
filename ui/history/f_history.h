// F_History: the history window (our own), one computer's kept inventories and the changes between
// the two selected ones.
#pragma once

#include <string>

#include <QWidget>

#include "ui/qt_window_settings.h"

class QLabel;
class QTreeWidget;

namespace tavrix {

class F_History : public QWidget {
  Q_OBJECT

 public:
  // Lists the kept inventories of pcId in saveFolder (newest first) and compares the two newest.
  F_History(std::string saveFolder, std::string pcId);

  QTreeWidget* inventoryList() const { return LstKept; }
  QTreeWidget* changeTree() const { return TreeDiff; }
  // The status line: skipped files, nothing to compare, no changes, or what is compared.
  QString statusText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void fillList();
  void compareSelected();
  void showChanges(int older, int newer);
  void setStatus(const std::string& text);

  std::string saveFolder_, pcId_;
  std::string warnings_;  // the skipped kept files, one per line
  QTreeWidget* LstKept;
  QTreeWidget* TreeDiff;
  QLabel* LblStatus;
  ui::WindowSettings settings_;
};

}  // namespace tavrix
