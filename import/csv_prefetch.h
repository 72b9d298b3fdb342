// The CSV files of a run read on a thread of their own, a bounded number ahead of their import.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "import/inventory_lines.h"
#include "platform/line_reader.h"

namespace tavrix {

// A file's bytes, and its lines decoded for the full pass.
struct PrefetchedCsv : paths::FileBytes {
  DecodedLines lines;
};

class CsvPrefetcher {
 public:
  struct Limits {
    std::size_t filesAhead = 2;               // files held at most, read but not yet taken
    std::size_t maxBytes = 16 * 1024 * 1024;  // a larger file is read from its path at its turn
    // Called on the reading thread, under the lock, each time it stops for room, with the files held.
    std::function<void(std::size_t held)> waitingForRoom;
  };

  // Starts reading (and decoding) folder + names[0], names[1], ... in order, holding at most
  // limits.filesAhead.
  CsvPrefetcher(std::string folder, std::vector<std::string> names, Limits limits);
  CsvPrefetcher(std::string folder, std::vector<std::string> names)
      : CsvPrefetcher(std::move(folder), std::move(names), Limits{}) {}
  ~CsvPrefetcher();  // stops the thread; files not taken are dropped
  CsvPrefetcher(const CsvPrefetcher&) = delete;
  CsvPrefetcher& operator=(const CsvPrefetcher&) = delete;

  // The file names[index], waiting until it is read. Indexes must rise from one call to the next;
  // files skipped over are dropped unread or unused.
  PrefetchedCsv take(std::size_t index);

 private:
  struct Read {
    std::size_t index;
    PrefetchedCsv file;
  };
  void run();

  const std::string folder_;
  const std::vector<std::string> names_;
  const Limits limits_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Read> ready_;
  std::size_t wanted_ = 0;  // the lowest index take() may still ask for
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tavrix
