// F_Main: the main window with the computer list (ListView1) and F21_List.
#pragma once

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrix {

class F_DetailList;
class F_Fleet;

class F_Main : public QWidget {
  Q_OBJECT

 public:
  explicit F_Main(RunState& s);
  ~F_Main() override;

  // Fills ListView1 from T_BasicInf on the open DbConnection. On failure sets FailureMessage,
  // runs F_CLOSE_ALL and returns true.
  bool F21_List(RunState& s);

  QTreeWidget* listView() const { return ListView1; }
  F_DetailList* detailWindow() const;
  F_Fleet* fleetWindow() const;
  void closeDetail();
  // While busy the window ignores its close box: the batch is running.
  void setBusy(bool busy) { busy_ = busy; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load();
  void BtnEND_Click();
  void ListView1_ColumnClick(int column);
  void ListView1_ItemClick(QTreeWidgetItem* item);
  void buildList();
  void openFleet();

  RunState& s_;
  QLabel* LblTitl;
  QLabel* LblVersion;
  QLabel* LblDate;
  QPushButton* BtnEND;
  QTreeWidget* ListView1;
  QPushButton* BtnFleet;  // our own, in the free area under the list
  QPointer<F_DetailList> detail_;
  QPointer<F_Fleet> fleet_;
  bool busy_ = false;
};

// Logs FailureMessage between two "=" lines, then closes every window.
void F_CLOSE_ALL(RunState& s);

}  // namespace tavrix
