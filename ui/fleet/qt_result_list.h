// A list of result rows for the fleet window: header click sorts, Ctrl+C copies the selected rows as
// TSV, and its "CSV出力…" button writes the shown rows as CSV through a file dialog.
#pragma once

#include <functional>
#include <vector>

#include <QTreeWidget>
#include <QWidget>

#include "platform/message_sink.h"
#include "queries/result_table.h"

class QPushButton;

namespace tavrix::ui {

class ResultTree : public QTreeWidget {
  Q_OBJECT
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void()> onCopy;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class ResultList : public QWidget {
  Q_OBJECT

 public:
  // headers: the shown column titles, one per column of the tables shown later.
  ResultList(const char* objectName, const QStringList& headers, MessageSink& messages, QWidget* parent);

  void show(queries::ResultTable table);
  void clear() { show({table_.columns, {}}); }
  QTreeWidget* tree() const { return tree_; }
  QPushButton* csvButton() const { return csvButton_; }
  // The stored row of an item of the list.
  const queries::ResultRow& rowOf(const QTreeWidgetItem* item) const;
  // The shown rows (in the shown order); only the selected ones with selectedOnly.
  queries::ResultTable shownRows(bool selectedOnly) const;
  void copySelection() const;
  // Writes the shown rows as CSV to path; false (with a message shown) when it cannot be written.
  bool writeCsv(const QString& path) const;
  // Where "CSV出力…" writes: a save dialog unless replaced (tests answer it ahead).
  std::function<QString(QWidget*)> chooseCsvFile;

 private:
  ResultTree* tree_;
  QPushButton* csvButton_;
  MessageSink& messages_;
  queries::ResultTable table_;
  int sortColumn_ = -1;  // the column of the last header click, -1 for the question's order
  bool sortAscending_ = true;
};

}  // namespace tavrix::ui
