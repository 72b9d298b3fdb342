// F_DetailList: the detail window, the tree of one computer snapshot (CurrentRno).
#pragma once

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tavrix {

class F_DetailList : public QWidget {
  Q_OBJECT

 public:
  // Loads the tree of s.CurrentRno at once (the window is complete when first shown). mainWindow is
  // shown again when the window is closed by BtnEND or by its close box.
  F_DetailList(RunState& s, QWidget* mainWindow);

  QTreeWidget* treeView() const { return TreeView1; }
  // Closes the window and deletes it.
  void unload();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load(RunState& s);
  void BtnEND_Click();
  void showMainWindow();

  QPointer<QWidget> mainWindow_;
  QLabel* LblTitl;
  QLineEdit* TxtRNO;
  QPushButton* BtnEND;
  QTreeWidget* TreeView1;
};

}  // namespace tavrix
