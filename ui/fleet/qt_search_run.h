// A text search read on a thread of its own, with a connection of its own, so the window stays
// responsive while a broad or rare text is looked for, and the search can be stopped between two
// computers. The answer's later pages are read on the window's thread as the list needs them.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <QObject>

#include "platform/db.h"
#include "queries/search_pages.h"

namespace tavrix::ui {

class SearchRun : public QObject {
  Q_OBJECT

 public:
  struct Start {
    std::shared_ptr<queries::SearchPages> pages;  // null after a failure
    queries::SearchPage first;                     // stopped when the search was stopped
    std::string error;                             // why the search failed
  };

  SearchRun(db::Location database, QObject* parent);
  ~SearchRun() override;  // stops a running search and waits for its thread

  // Finds the computers and reads the first page of at least pageRows rows on the thread; done is
  // then called on this object's thread. One search at a time: not called while one runs.
  void start(queries::SearchText what, std::size_t pageRows, std::function<void(Start)> done);
  // From any thread: the running search stops before its next computer.
  void stop() { stop_ = true; }
  bool running() const { return worker_.joinable(); }
  // The next page of a started answer, on this object's thread while no search runs.
  queries::SearchPage readPage(const queries::SearchPages& pages, std::size_t minRows);

  // Tests: called on the search's thread before each computer is read.
  std::function<void()> beforeEachComputer;

 private:
  const db::Location database_;
  db::Connection connection_;  // the search's own: the window's keeps answering the other tabs
  std::thread worker_;
  std::atomic<bool> stop_{false};
};

}  // namespace tavrix::ui
