// The search's thread: one search at a time, its answer handed back through the event loop.
#include "ui/fleet/qt_search_run.h"

#include <exception>
#include <utility>

#include "queries/read_one_state.h"

namespace tavrix::ui {

SearchRun::SearchRun(db::Location database, QObject* parent) : QObject(parent), database_(std::move(database)) {}

SearchRun::~SearchRun() {
  stop();
  if (worker_.joinable()) worker_.join();  // its answer, still queued, goes with this object
}

void SearchRun::start(queries::SearchText what, std::size_t pageRows, std::function<void(Start)> done) {
  stop_ = false;
  worker_ = std::thread([this, what = std::move(what), pageRows, done = std::move(done)] {
    Start start;
    const auto stopped = [this] {
      if (beforeEachComputer) beforeEachComputer();
      return stop_.load();
    };
    try {
      start.pages = std::make_shared<queries::SearchPages>(
          queries::readOneState(connection_, database_, [&](db::Connection& c) { return queries::SearchPages(c, what); }));
      start.first = queries::readOneState(connection_, database_,
                                          [&](db::Connection& c) { return start.pages->read(c, pageRows, stopped); });
    } catch (const std::exception& e) {
      start.pages.reset();
      start.error = e.what();
    }
    QMetaObject::invokeMethod(
        this,
        [this, start = std::move(start), done]() mutable {
          worker_.join();
          done(std::move(start));
        },
        Qt::QueuedConnection);
  });
}

queries::SearchPage SearchRun::readPage(const queries::SearchPages& pages, std::size_t minRows) {
  return queries::readOneState(connection_, database_, [&](db::Connection& c) { return pages.read(c, minRows); });
}

}  // namespace tavrix::ui
