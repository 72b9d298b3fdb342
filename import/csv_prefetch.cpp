// The CSV files of a run read on a thread of their own, a bounded number ahead of their import.
#include "import/csv_prefetch.h"

#include <utility>

namespace tavrix {

CsvPrefetcher::CsvPrefetcher(std::string folder, std::vector<std::string> names, Limits limits)
    : folder_(std::move(folder)), names_(std::move(names)), limits_(limits) {
  thread_ = std::thread([this] { run(); });
}

CsvPrefetcher::~CsvPrefetcher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void CsvPrefetcher::run() {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    {
      std::unique_lock lock(mutex_);
      auto room = [this] { return stopping_ || ready_.size() < limits_.filesAhead; };
      if (!room() && limits_.waitingForRoom) limits_.waitingForRoom(ready_.size());
      changed_.wait(lock, room);
      if (stopping_) return;
      if (i < wanted_) continue;  // skipped over by take()
    }
    PrefetchedCsv file;
    static_cast<paths::FileBytes&>(file) =
        paths::readFileBytes(folder_ + names_[i], limits_.maxBytes, paths::Links::WithinFolder);
    file.lines = decodeInventoryLines(file);
    {
      std::lock_guard lock(mutex_);
      ready_.push_back({i, std::move(file)});
    }
    changed_.notify_all();
  }
}

PrefetchedCsv CsvPrefetcher::take(std::size_t index) {
  std::unique_lock lock(mutex_);
  wanted_ = index;
  while (!ready_.empty() && ready_.front().index < index) ready_.pop_front();
  changed_.notify_all();
  changed_.wait(lock, [&] { return !ready_.empty() && ready_.front().index <= index; });
  while (ready_.front().index < index) {
    ready_.pop_front();
    changed_.notify_all();
    changed_.wait(lock, [&] { return !ready_.empty(); });
  }
  PrefetchedCsv file = std::move(ready_.front().file);
  ready_.pop_front();
  wanted_ = index + 1;
  changed_.notify_all();
  return file;
}

}  // namespace tavrix
