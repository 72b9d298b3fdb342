// F_DetailList: the detail window, the tree of one computer snapshot (CurrentRno).
#pragma once

#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"
#include "views/detail/detail_tree.h"
#include "ui/history/f_history.h"
#include "ui/qt_window_settings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrix {

class F_DetailList : public QWidget {
  Q_OBJECT

 public:
  // Loads the tree of s.CurrentRno at once (the window is complete when first shown). mainWindow is
  // shown again when the window is closed by BtnEND or by its close box.
  F_DetailList(RunState& s, QWidget* mainWindow);

  QTreeWidget* treeView() const { return TreeView1; }
  QLineEdit* findField() const { return TxtFind; }
  // The whole tree as text, two blanks of indent per level: what tavrix-report tree prints.
  std::string treeText() const { return tree_.displayText(); }
  // Selects the next line holding the find field's words after the current one (from the current
  // one itself when includeCurrent), expanding its parents. False when no line holds them.
  bool findNext(bool includeCurrent = false);
  // The history window opened by the context menu's 変更履歴(&H)…, while it is open.
  F_History* historyWindow() const { return history_.data(); }
  // Closes the window and deletes it.
  void unload();
  // The window opened where it was last left (not at its designed place).
  bool placeRemembered() const { return placeRemembered_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load(RunState& s);
  void BtnEND_Click();
  void showMainWindow();
  void addKeysAndMenu();
  void showTreeMenu(const QPoint& at);
  void openHistory();

  QPointer<QWidget> mainWindow_;
  QLabel* LblTitl;
  QLineEdit* TxtRNO;
  QPushButton* BtnEND;
  QTreeWidget* TreeView1;
  QLineEdit* TxtFind;
  QLabel* LblFound;
  QPointer<F_History> history_;
  std::string saveFolder_, pcId_;  // where the kept inventories of this computer are
  DetailTree tree_;
  std::vector<QTreeWidgetItem*> lineItems_;  // the tree's items in display order
  std::vector<std::string> foldedLines_;     // their texts folded for searching
  ui::WindowSettings settings_;
  bool placeRemembered_ = false;
};

}  // namespace tavrix
