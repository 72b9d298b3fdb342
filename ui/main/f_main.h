// F_Main: the main window with the computer list (ListView1) and F21_List.
#pragma once

#include <optional>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"
#include "ui/qt_window_settings.h"

class QFrame;
class QLabel;
class QPushButton;
class QModelIndex;
class QTreeView;

namespace tavrix {

class ComputerListModel;
class F_DetailList;
class F_Fleet;
class F_Overview;
class ListFilterBar;

class F_Main : public QWidget {
  Q_OBJECT

 public:
  explicit F_Main(RunState& s);
  ~F_Main() override;

  // Fills ListView1 from T_BasicInf on the open DbConnection. On failure sets FailureMessage,
  // runs F_CLOSE_ALL and returns true.
  bool F21_List(RunState& s);

  QTreeView* listView() const { return ListView1; }
  ComputerListModel* listModel() const { return listModel_; }
  ListFilterBar* filterBar() const { return filterBar_; }
  // The strip under the list that holds the filter at its left; more controls go to its right.
  QWidget* freeArea() const { return freeArea_; }
  F_DetailList* detailWindow() const;
  F_Fleet* fleetWindow() const;
  F_Overview* overviewWindow() const;
  void closeDetail();
  // While busy the window ignores its close box: the batch is running.
  void setBusy(bool busy) { busy_ = busy; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load();
  void BtnEND_Click();
  void ListView1_ColumnClick(int column);
  // The columns' widths as set (designed, kept or dragged) and, when the list is wider, each a share
  // of the rest.
  void restoreColumns();
  void shareColumnWidths();
  void ListView1_ItemClick(const QModelIndex& item);
  void buildList();
  void openFleet();
  void openOverview();
  void addKeysAndMenu();
  void showListMenu(const QPoint& at);
  void openCurrentRow();
  void saveWindowState();

  RunState& s_;
  QLabel* LblTitl;
  QLabel* LblVersion;
  QLabel* LblDate;
  QPushButton* BtnEND;
  QTreeView* ListView1;
  ComputerListModel* listModel_;
  QFrame* Shape1;
  QWidget* freeArea_;
  ListFilterBar* filterBar_;
  QPushButton* BtnOverview;  // our own, at the right of the free area
  QPushButton* BtnFleet;
  QPointer<F_DetailList> detail_;
  QPointer<F_Fleet> fleet_;
  QPointer<F_Overview> overview_;
  ui::WindowSettings settings_;
  std::optional<QPoint> placeBeforeDetail_;  // where the window was when the detail window hid it
  std::vector<int> setWidths_;  // per column, its width before the list's growth is shared out
  bool sharingWidths_ = false;  // widths being set here, not dragged by the user
  int sortColumn_ = -1;         // the column last clicked, kept for the next run
  bool busy_ = false;
};

// Logs FailureMessage between two "=" lines, shows it in a box, then closes every window.
void F_CLOSE_ALL(RunState& s);

}  // namespace tavrix
