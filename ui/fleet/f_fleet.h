// F_Fleet: the fleet window (our own), three tabs of fleet questions on the inventory database.
#pragma once

#include <memory>

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"
#include "platform/db.h"
#include "queries/search_pages.h"
#include "ui/qt_window_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QModelIndex;

namespace tavrix {

class F_DetailList;

namespace ui {
class ResultList;
class SearchRun;
}

class F_Fleet : public QWidget {
  Q_OBJECT

 public:
  // Opens MDB_DIR + MDB_NAME read-only and fills the software list (the updates follow when their
  // tab is first shown); throws db::DbError when the database cannot be read.
  explicit F_Fleet(RunState& s);
  ~F_Fleet() override;  // keeps the window's place, size and lists as they are

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 public:

  QTabWidget* tabs() const { return tabs_; }
  F_DetailList* detailWindow() const;
  ui::SearchRun* searchRun() const { return search_; }

 private:
  QWidget* softwareTab();
  QWidget* updatesTab();
  QWidget* searchTab();
  void fillSoftware();
  void fillUpdates();
  void softwareSelected();
  void updateSelected();
  void runSearch();
  void searchStarted(std::shared_ptr<queries::SearchPages> pages, queries::SearchPage first);
  void showSearching(bool running);
  void saveWindowState();
  void openDetail(const ui::ResultList* list, const QModelIndex& index, std::size_t rnoColumn);
  // Runs a question; a database failure is shown as a message and leaves the list empty.
  template <typename Question>
  auto ask(Question question);
  template <typename Question>
  void fill(ui::ResultList* list, Question question);
  // The two sides of a question: the computers that have something, and those that lack it.
  template <typename Question>
  void showSides(ui::ResultList* having, ui::ResultList* lacking, Question question);

  RunState& s_;
  const db::Location database_;  // the inventory database
  db::Connection connection_;  // kept open between questions, its cache warm
  QTabWidget* tabs_;
  QLineEdit* softwareFilter_;
  QLineEdit* updateFilter_;
  QLineEdit* searchText_;
  QComboBox* searchSection_;  // its data: the table searched; "" for every one
  QCheckBox* searchExact_;
  ui::ResultList* software_;
  ui::ResultList* softwareComputers_;
  ui::ResultList* softwareLacking_;
  ui::ResultList* updates_;
  ui::ResultList* updateHaving_;
  ui::ResultList* updateMissing_;
  ui::ResultList* found_;
  QPushButton* searchButton_;
  QPushButton* stopButton_;
  ui::SearchRun* search_;
  QPointer<F_DetailList> detail_;
  bool updatesFilled_ = false;
  ui::WindowSettings settings_;
};

}  // namespace tavrix
