// A server's chunk texts written beside the import, on a connection of their own: the import's
// connection spends most of its time waiting on round trips, the server's cores are half idle, and
// taking a chunk's tens of thousands of texts into the trigram index costs it about a second.
#pragma once

#include <future>
#include <memory>

#include "platform/db.h"
#include "searchindex/chunk_texts.h"
#include "searchindex/search_index_writer.h"

namespace tavrix::searchindex {

class TextsBesideImport {
 public:
  explicit TextsBesideImport(db::Location location) : location_(std::move(location)) {}
  ~TextsBesideImport();
  TextsBesideImport(const TextsBesideImport&) = delete;
  TextsBesideImport& operator=(const TextsBesideImport&) = delete;

  // Starts adding texts in a transaction of their own; one chunk at a time (wait first).
  void start(ChunkTexts texts);
  bool busy() const { return written_.valid(); }
  bool done() const { return busy() && written_.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }
  // Waits for the texts started last: their Ids once committed. Throws what adding them threw.
  TextIds wait();

 private:
  db::Location location_;
  std::unique_ptr<db::Connection> connection_;  // opened by the first chunk, used by one chunk at a time
  std::future<TextIds> written_;
};

}  // namespace tavrix::searchindex
