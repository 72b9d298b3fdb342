// A chunk's texts gathered on a thread of their own: the import hands over each committed file's
// texts (copied, a few tens of kilobytes) and goes on, and the hashing runs beside it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "searchindex/chunk_texts.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

class TextGatherer {
 public:
  explicit TextGatherer(std::vector<SearchedTable> tables);
  ~TextGatherer();
  TextGatherer(const TextGatherer&) = delete;
  TextGatherer& operator=(const TextGatherer&) = delete;

  // A text of the file being imported; kept with its transaction's other files, dropped when the
  // next begins.
  void note(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno);
  void dropFile();
  void keepFile();
  // Hands the kept files' texts over (their transaction committed); waits while many files are
  // still to be gathered. Or drops them (it rolled back).
  void commitKept();
  void dropKept();
  // Waits until every handed-over text is gathered and returns them all, starting afresh; none
  // when gathering failed (out of memory).
  std::optional<ChunkTexts> take();

 private:
  struct Item {
    std::uint32_t table, field, offset, length;
    std::int64_t rno;
  };
  struct Batch {
    std::string bytes;
    std::vector<Item> items;
  };
  void gather();
  void forgetLastItems();

  const std::vector<SearchedTable> tables_;
  Batch file_;                // the file being imported, on the import's thread
  std::vector<Batch> kept_;   // the files of the open transaction
  // Per table and field, the file's item last noted there: a label repeats row after row.
  std::vector<std::vector<std::optional<std::size_t>>> lastItem_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch> queue_;
  bool busy_ = false, stopping_ = false, failed_ = false;
  ChunkTexts texts_;  // the gathering thread's while busy_
  std::thread thread_;
};

}  // namespace tavrix::searchindex
