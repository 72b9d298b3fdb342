// The import's texts gathered into chunks as its files commit, so that the index need not read
// the new snapshots back: a chunk is written when the rows in its range are exactly those the
// import told of; otherwise the feed stops and the batch reads the rest back.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "batch/import_texts.h"
#include "platform/db.h"
#include "searchindex/chunk_texts.h"
#include "searchindex/searched_fields.h"
#include "searchindex/text_gatherer.h"
#include "searchindex/texts_beside_import.h"

namespace tavrix::searchindex {

class SearchFeed : public ImportTexts {
 public:
  // Keeps the seen rows of the index of connection, made for tables, whose mark is mark; and when
  // every snapshot the database holds is at or below it, gathers the import's texts.
  SearchFeed(db::Connection& connection, std::vector<SearchedTable> tables, std::int64_t mark, bool gatherTexts);
  void startFile() override;
  void earlierSnapshotDeleted() override;
  void rowAdded(std::string_view table, std::span<const std::string> names, std::span<const db::FieldRef> values,
                std::int64_t rno) override;
  void fieldSet(std::string_view table, std::string_view name, const db::Value& value, std::int64_t rno) override;
  void fileKept() override;
  void transactionCommitted() override;
  void transactionLost() override;
  // Writes what is gathered since the last chunk.
  void finish();

 private:
  // A chunk whose texts a server is taking in beside the import; recorded, with the new mark, by a
  // transaction of the import's connection once they are in.
  struct PendingChunk {
    std::int64_t after, through, snapshots;
    std::vector<std::int64_t> rows;
  };
  void writeGathered();
  void handOver(std::size_t basic);
  void recordPending();
  bool rangeHoldsJustTheFedRows(std::int64_t after, std::int64_t through, const std::vector<std::int64_t>& rows);
  std::optional<std::size_t> tableIndex(std::string_view table);
  // Per searched table, the text field index of each of names (-1 for a field not searched).
  const std::vector<int>& fieldsOf(std::size_t table, std::span<const std::string> names);

  db::Connection& connection_;
  std::vector<SearchedTable> tables_;
  std::map<std::string, std::size_t> tableIndexes_;  // lower-case name -> index
  std::vector<std::map<std::string, int>> fieldIndexes_;  // per table: lower-case field name -> text field index
  std::unordered_map<const std::string*, std::vector<int>> namesFields_;  // keyed by the names array the importer keeps
  std::int64_t mark_;
  TextGatherer gatherer_;
  std::string lastTable_;  // the table of the last row told, and its index: rows come table by table
  std::optional<std::size_t> lastTableIndex_;
  // Rows added per searched table: this file's, those kept in the open transaction, the committed ones.
  std::vector<std::int64_t> fileRows_, keptRows_, chunkRows_;
  std::int64_t fileThrough_, keptThrough_, through_;  // the highest snapshot of each
  bool stopped_;                                     // no texts gathered: the rest is read back by the batch
  bool seenRowsKept_ = true;                         // every deletion of the import kept the seen rows
  std::unique_ptr<TextsBesideImport> beside_;        // a server's
  std::optional<PendingChunk> pending_;
};

// The snapshots of a chunk the feed gathers: kChunkSnapshots, fewer in tests.
void setFeedChunkSnapshots(std::int64_t snapshots);

}  // namespace tavrix::searchindex
