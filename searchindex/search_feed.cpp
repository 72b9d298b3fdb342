// The stored text of a bound value is what a text column keeps: the text itself, or a whole
// number's digits. Anything else (a real number) stops the feed: its text is SQLite's to make.
#include "searchindex/search_feed.h"

#include <algorithm>
#include <utility>
#include <exception>

#include "platform/text.h"
#include "queries/statement_rows.h"
#include "searchindex/search_index_tables.h"
#include "searchindex/search_index_writer.h"
#include "searchindex/server_index_tables.h"

namespace tavrix::searchindex {

namespace {

std::int64_t feedChunkSnapshots = kChunkSnapshots;

}  // namespace

void setFeedChunkSnapshots(std::int64_t snapshots) { feedChunkSnapshots = snapshots; }

SearchFeed::SearchFeed(db::Connection& connection, std::vector<SearchedTable> tables, std::int64_t mark, bool gatherTexts)
    : connection_(connection), tables_(std::move(tables)), mark_(mark), gatherer_(tables_), fileRows_(tables_.size()),
      keptRows_(tables_.size()), chunkRows_(tables_.size()), fileThrough_(mark), keptThrough_(mark), through_(mark),
      stopped_(!gatherTexts) {
  if (connection.location().isServer()) beside_ = std::make_unique<TextsBesideImport>(connection.location());
  for (std::size_t t = 0; t < tables_.size(); ++t) {
    tableIndexes_[text::toLowerAscii(tables_[t].name)] = t;
    auto& fields = fieldIndexes_.emplace_back();
    for (std::size_t f = 0; f < tables_[t].textFields.size(); ++f) fields[text::toLowerAscii(tables_[t].textFields[f])] = static_cast<int>(f);
  }
}

std::optional<std::size_t> SearchFeed::tableIndex(std::string_view table) {
  if (table == lastTable_) return lastTableIndex_;
  const auto found = tableIndexes_.find(text::toLowerAscii(table));
  lastTable_ = table;
  lastTableIndex_ = found == tableIndexes_.end() ? std::nullopt : std::optional(found->second);
  return lastTableIndex_;
}

const std::vector<int>& SearchFeed::fieldsOf(std::size_t table, std::span<const std::string> names) {
  auto [entry, added] = namesFields_.try_emplace(names.data());
  if (added)
    for (const std::string& name : names) {
      const auto found = fieldIndexes_[table].find(text::toLowerAscii(name));
      entry->second.push_back(found == fieldIndexes_[table].end() ? -1 : found->second);
    }
  return entry->second;
}

void SearchFeed::startFile() {
  std::fill(fileRows_.begin(), fileRows_.end(), 0);
  fileThrough_ = mark_;
  gatherer_.dropFile();
}

void SearchFeed::earlierSnapshotDeleted() {
  if (!seenRowsKept_) return;
  try {
    keepSeenRows(connection_, tables_);
  } catch (const std::exception&) {
    seenRowsKept_ = false;  // the index no longer answers after this batch; the next one makes it again
    stopped_ = true;
  }
}

void SearchFeed::rowAdded(std::string_view table, std::span<const std::string> names, std::span<const db::FieldRef> values,
                          std::int64_t rno) {
  if (stopped_) return;
  const std::optional<std::size_t> t = tableIndex(table);
  if (!t) return;
  ++fileRows_[*t];
  fileThrough_ = std::max(fileThrough_, rno);
  const std::vector<int>& fields = fieldsOf(*t, names);
  for (std::size_t i = 0; i < values.size() && i < fields.size(); ++i) {
    if (fields[i] < 0) continue;
    if (const auto* text = std::get_if<std::string_view>(&values[i]))
      gatherer_.note(*t, static_cast<std::size_t>(fields[i]), *text, rno);
    else if (const auto* number = std::get_if<std::int64_t>(&values[i]))
      gatherer_.note(*t, static_cast<std::size_t>(fields[i]), std::to_string(*number), rno);
  }
}

void SearchFeed::fieldSet(std::string_view table, std::string_view name, const db::Value& value, std::int64_t rno) {
  if (stopped_ || value.isNull()) return;
  const std::optional<std::size_t> t = tableIndex(table);
  if (!t) return;
  const auto field = fieldIndexes_[*t].find(text::toLowerAscii(name));
  if (field == fieldIndexes_[*t].end()) return;
  if (std::holds_alternative<double>(value.raw())) {
    stopped_ = true;
    return;
  }
  gatherer_.note(*t, static_cast<std::size_t>(field->second), value.text(), rno);
}

void SearchFeed::fileKept() {
  if (stopped_) return;
  for (std::size_t t = 0; t < tables_.size(); ++t) keptRows_[t] += fileRows_[t];
  keptThrough_ = std::max(keptThrough_, fileThrough_);
  gatherer_.keepFile();
}

void SearchFeed::transactionLost() {
  std::fill(keptRows_.begin(), keptRows_.end(), 0);
  keptThrough_ = mark_;
  gatherer_.dropKept();
}

void SearchFeed::transactionCommitted() {
  if (stopped_) return;
  for (std::size_t t = 0; t < tables_.size(); ++t) chunkRows_[t] += keptRows_[t];
  through_ = std::max(through_, keptThrough_);
  std::fill(keptRows_.begin(), keptRows_.end(), 0);
  keptThrough_ = mark_;
  gatherer_.commitKept();
  if (pending_ && beside_->done()) recordPending();
  const std::optional<std::size_t> basic = tableIndex(kBasicTable);
  if (basic && chunkRows_[*basic] >= feedChunkSnapshots) writeGathered();
}

void SearchFeed::finish() {
  writeGathered();
  recordPending();
}

bool SearchFeed::rangeHoldsJustTheFedRows(std::int64_t after, std::int64_t through, const std::vector<std::int64_t>& rows) {
  const std::optional<IndexCoverage> coverage = usableIndex(connection_, tables_);
  if (!coverage || coverage->mark != after) return false;
  for (std::size_t t = 0; t < tables_.size(); ++t) {
    const std::string sql = "SELECT count(*) FROM " + db::quoteIdentifier(tables_[t].name) + " WHERE RNO > ?1 AND RNO <= ?2";
    if (queries::readNumber(connection_, sql, {db::Value(after), db::Value(through)}) != rows[t]) return false;
  }
  return true;
}

void SearchFeed::handOver(std::size_t basic) {
  recordPending();  // one chunk at a time: its mark is where the next one starts
  std::optional<ChunkTexts> texts = gatherer_.take();
  if (stopped_ || !texts) {
    stopped_ = true;
    return;
  }
  pending_ = PendingChunk{mark_, through_, chunkRows_[basic], chunkRows_};
  beside_->start(std::move(*texts));
}

void SearchFeed::recordPending() {
  if (!pending_) return;
  const PendingChunk chunk = *std::exchange(pending_, std::nullopt);
  try {
    const TextIds ids = beside_->wait();
    connection_.begin();
    holdIndexState(connection_, tables_);
    if (rangeHoldsJustTheFedRows(chunk.after, chunk.through, chunk.rows)) {
      recordChunk(connection_, chunk.after, chunk.through, chunk.snapshots, ids);
      setIndexMark(connection_, tables_, chunk.through);
      mark_ = chunk.through;
    } else {
      stopped_ = true;  // its texts, in no chunk, go with the batch's end
    }
    connection_.commit();
  } catch (const std::exception&) {
    connection_.rollback();
    stopped_ = true;
  }
}

void SearchFeed::writeGathered() {
  const std::optional<std::size_t> basic = tableIndex(kBasicTable);
  if (stopped_ || !basic || chunkRows_[*basic] == 0) return;
  if (beside_) {
    handOver(*basic);
    std::fill(chunkRows_.begin(), chunkRows_.end(), 0);
    return;
  }
  std::optional<ChunkTexts> texts = gatherer_.take();
  try {
    connection_.begin();
    holdIndexState(connection_, tables_);
    if (texts && rangeHoldsJustTheFedRows(mark_, through_, chunkRows_)) {
      writeChunk(connection_, *texts, mark_, through_, chunkRows_[*basic]);
      setIndexMark(connection_, tables_, through_);
      moveSeenRows(connection_, tables_, mark_);
      mark_ = through_;
    } else {
      stopped_ = true;
    }
    connection_.commit();
  } catch (const std::exception&) {
    connection_.rollback();
    stopped_ = true;
  }
  std::fill(chunkRows_.begin(), chunkRows_.end(), 0);
}

}  // namespace tavrix::searchindex
