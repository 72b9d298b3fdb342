// Writing the search index: the snapshots numbered above its mark read in chunks, and chunks whose
// snapshots are mostly gone (replaced by newer ones) read again or dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/db.h"
#include "searchindex/chunk_texts.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

// Snapshots read into one chunk, in one transaction.
constexpr std::int64_t kChunkSnapshots = 2000;

// Writes texts as a new chunk of snapshots snapshots covering the RNOs (after, through], in the
// connection's open transaction.
void writeChunk(db::Connection& connection, ChunkTexts& texts, std::int64_t after, std::int64_t through,
                std::int64_t snapshots);

// The Ids a chunk's texts were given; none when last < first.
struct TextIds {
  std::int64_t first = 1, last = 0;
};
// The two halves of writeChunk, for a server that adds the texts on a connection of its own: the
// texts, then the chunk naming them (both in the connection's open transaction). A chunk without
// texts is not recorded: nothing is to be found in it.
TextIds addTexts(db::Connection& connection, ChunkTexts& texts);
void recordChunk(db::Connection& connection, std::int64_t after, std::int64_t through, std::int64_t snapshots, TextIds ids);

using IndexProgress = std::function<void(std::int64_t indexed, std::int64_t total)>;

// Reads every snapshot above the index's mark into chunks of chunkSnapshots, each committed with
// the new mark, and calls progress after each. The connection must have no open transaction.
// Throws db::DbError; what was committed stays.
void indexNewSnapshots(db::Connection& connection, const std::vector<SearchedTable>& tables,
                       std::int64_t chunkSnapshots = kChunkSnapshots, const IndexProgress& progress = {});

// Chunks that have lost more than half their snapshots are read again from the snapshots left
// (or dropped with none left), with the texts no chunk holds any more; one transaction each. On a
// server, first drops the texts added by a batch that ended before it recorded their chunk.
void dropDeadChunks(db::Connection& connection, const std::vector<SearchedTable>& tables);

}  // namespace tavrix::searchindex
