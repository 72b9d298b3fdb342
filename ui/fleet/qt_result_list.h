// A list of result rows for the fleet window: header click sorts, Ctrl+C copies the selected rows as
// TSV, and its "CSV出力…" button writes the shown rows as CSV through a file dialog. A long answer
// comes in pages as the list is scrolled; the line under it counts the rows.
#pragma once

#include <functional>
#include <vector>

#include <QTreeView>
#include <QWidget>

#include "platform/message_sink.h"
#include "queries/result_rows.h"
#include "queries/result_table.h"
#include "ui/fleet/qt_result_list_model.h"
#include "ui/qt_window_settings.h"

class QLabel;
class QPushButton;

namespace tavrix::ui {

class ResultTree : public QTreeView {
  Q_OBJECT
 public:
  using QTreeView::QTreeView;
  std::function<void()> onCopy;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class ResultList : public QWidget {
  Q_OBJECT

 public:
  // headers: the shown column titles, one per column of the answers shown later.
  ResultList(const char* objectName, const QStringList& headers, MessageSink& messages, QWidget* parent);

  void show(const queries::ResultTable& table);
  void show(queries::ResultRows rows) { show(std::move(rows), nullptr); }
  // An answer's first rows; more reads the next ones (its first page at once, the others when the
  // list needs them).
  void show(queries::ResultRows rows, ResultListModel::MoreRows more);
  void clear();
  QTreeView* tree() const { return tree_; }
  ResultListModel* model() const { return model_; }
  QPushButton* csvButton() const { return csvButton_; }
  QLabel* countLine() const { return count_; }
  // A heading above the list: the caption alone, then "<caption> 1,234 台" once an answer is shown.
  void setHeading(const QString& caption);
  QLabel* heading() const { return heading_; }
  // A word after the count (why the answer ends early, or that it is being read); the next answer clears it.
  void setNote(const QString& note);
  // The stored row of a shown row of the list.
  queries::ResultRow rowOf(const QModelIndex& index) const;
  // The first selected row's index (invalid when none is selected).
  QModelIndex selectedRow() const;
  // The shown rows, in the shown order (the whole answer read first); only the selected ones with selectedOnly.
  std::vector<std::uint32_t> shownRows(bool selectedOnly) const;
  void copySelection() const;
  // Writes every row of the answer as shown as CSV to path; false (with a message shown) when it cannot be written.
  bool writeCsv(const QString& path) const;
  // The sort and column widths kept under name: the stored ones taken now (a sort holds for every
  // answer read whole), the shown ones kept by saveState.
  void remember(const WindowSettings* settings, const QString& name);
  void saveState() const;

  // Where "CSV出力…" writes: a save dialog unless replaced (tests answer it ahead).
  std::function<QString(QWidget*)> chooseCsvFile;

 private:
  void showCount();

  QLabel* heading_;
  QString caption_;
  bool answered_ = false;  // an answer is shown, not a cleared list
  QString note_;
  ResultTree* tree_;
  ResultListModel* model_;
  QPushButton* csvButton_;
  QLabel* count_;
  MessageSink& messages_;
  int sortColumn_ = -1;  // the column of the last header click, -1 for the question's order
  bool sortAscending_ = true;
  int shownSort_ = -1;  // the column the shown answer is sorted by (Qt turns the indicator before a click is told)
  const WindowSettings* settings_ = nullptr;
  QString settingsName_;
  bool keepWidths_ = false;  // widths as the user left them, not fitted to each answer
};

}  // namespace tavrix::ui
