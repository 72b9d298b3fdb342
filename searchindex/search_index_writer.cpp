// A chunk: the text fields of every row with an RNO in its range, each distinct text once with the
// snapshots holding it and the tables it is in.
#include "searchindex/search_index_writer.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "queries/statement_rows.h"
#include "searchindex/search_index_tables.h"
#include "searchindex/server_index_tables.h"
#include "searchindex/snapshot_numbers.h"

namespace tavrix::searchindex {

namespace {

std::string rowsSql(const SearchedTable& table) {
  std::string sql = "SELECT RNO";
  for (const std::string& field : table.textFields) sql += ", " + db::quoteIdentifier(field);
  return sql + " FROM " + db::quoteIdentifier(table.name) + " WHERE RNO > ?1 AND RNO <= ?2";
}

// The bounds cutting (after, through] into parts of about kPartSnapshots snapshots each, so that
// a server sends one part's rows at a time.
std::vector<std::int64_t> partBounds(db::Connection& connection, std::int64_t after, std::int64_t through) {
  constexpr std::int64_t kPartSnapshots = 250;
  std::vector<std::int64_t> bounds{after};
  const auto rnos = queries::readRows(connection, "SELECT RNO FROM T_BasicInf WHERE RNO > ?1 AND RNO < ?2 ORDER BY RNO",
                                      {db::Value(after), db::Value(through)});
  for (std::size_t i = kPartSnapshots; i < rnos.size(); i += kPartSnapshots) bounds.push_back(rnos[i][0].toInt());
  bounds.push_back(through);
  return bounds;
}

// The texts of the rows with RNOs in (after, through]. A row whose RNO is no whole number cannot be
// kept by number: throws, and the index is made again by the next batch.
ChunkTexts readTexts(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t after,
                     std::int64_t through) {
  ChunkTexts texts(tables);
  const std::vector<std::int64_t> bounds = partBounds(connection, after, through);
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const std::size_t fields = tables[t].textFields.size();
    db::Statement rows(connection, rowsSql(tables[t]));
    for (std::size_t part = 1; part < bounds.size(); ++part) {
      rows.bind(1, db::Value(bounds[part - 1])).bind(2, db::Value(bounds[part]));
      while (rows.next()) {
        const db::RowView& row = rows.row();
        if (!std::holds_alternative<std::int64_t>(row.value(0).raw()))
          throw db::DbError(tables[t].name + " has a row whose RNO is not a whole number", db::DbError::kError);
        const std::int64_t rno = row.integer(0);
        for (std::size_t f = 0; f < fields; ++f)
          if (!row.isNull(static_cast<int>(f) + 1)) texts.add(t, f, row.text(static_cast<int>(f) + 1), rno);
      }
    }
  }
  return texts;
}

// Drops a chunk with its texts and their trigram index entries.
void dropChunk(db::Connection& connection, std::int64_t chunk, std::int64_t firstText, std::int64_t lastText) {
  const std::vector<db::Value> texts = {db::Value(firstText), db::Value(lastText)};
  if (!connection.location().isServer())  // a server's trigram index follows its table itself
    queries::runStatement(connection,
                          "INSERT INTO TavrixSearchTrigrams (TavrixSearchTrigrams, rowid, Value) "
                          "SELECT 'delete', Id, Value FROM TavrixSearchText WHERE Id BETWEEN ?1 AND ?2",
                          texts);
  queries::runStatement(connection, "DELETE FROM TavrixSearchText WHERE Id BETWEEN ?1 AND ?2", texts);
  queries::runStatement(connection, "DELETE FROM TavrixSearchChunk WHERE Chunk = ?1", {db::Value(chunk)});
}

// Runs work in a transaction of its own: committed whole, or rolled back and rethrown.
template <typename Work>
void inTransaction(db::Connection& connection, const std::vector<SearchedTable>& tables, Work&& work) {
  connection.begin();
  try {
    holdIndexState(connection, tables);
    work();
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

// A server takes the texts in one COPY: the snapshot lists go as bytea's hex text.
void addServerTexts(db::Connection& connection, ChunkTexts& texts, std::int64_t& id) {
  static const std::vector<std::string> names = {"Id", "Value", "Tables", "Snapshots"};
  db::UpdatableRecordSet rows(connection, "SELECT * FROM TavrixSearchText");
  std::string hex;
  for (const ChunkTexts::Entry& entry : texts.sorted()) {
    const std::string blob = encodeSnapshots(entry.holders.rnos);
    hex.assign("\\x");
    for (const char byte : blob) {
      constexpr const char* kDigits = "0123456789abcdef";
      hex += kDigits[static_cast<unsigned char>(byte) >> 4];
      hex += kDigits[static_cast<unsigned char>(byte) & 15];
    }
    const db::FieldRef values[] = {id++, texts.text(entry), static_cast<std::int64_t>(entry.holders.tables), std::string_view(hex)};
    rows.addNew(names, values);
  }
  rows.close();
}

}  // namespace

TextIds addTexts(db::Connection& connection, ChunkTexts& texts) {
  TextIds ids;
  ids.first = queries::readNumber(connection, "SELECT coalesce(max(Id), 0) + 1 FROM TavrixSearchText", {});
  std::int64_t id = ids.first;
  if (connection.location().isServer()) {
    addServerTexts(connection, texts, id);
  } else {
    db::Statement add(connection, "INSERT INTO TavrixSearchText VALUES (?1, ?2, ?3, ?4)");
    for (const ChunkTexts::Entry& entry : texts.sorted()) {
      const std::string blob = encodeSnapshots(entry.holders.rnos);
      add.bind(1, db::Value(id++)).bind(2, db::FieldRef(texts.text(entry)));
      add.bind(3, db::Value(static_cast<std::int64_t>(entry.holders.tables))).bindBytes(4, blob);
      add.run();
    }
    queries::runStatement(connection,
                          "INSERT INTO TavrixSearchTrigrams (rowid, Value) SELECT Id, Value FROM TavrixSearchText WHERE Id >= ?1",
                          {db::Value(ids.first)});
  }
  ids.last = id - 1;
  return ids;
}

void recordChunk(db::Connection& connection, std::int64_t after, std::int64_t through, std::int64_t snapshots, TextIds ids) {
  if (ids.last < ids.first) return;
  queries::runStatement(connection,
         "INSERT INTO TavrixSearchChunk VALUES ((SELECT coalesce(max(Chunk), 0) + 1 FROM TavrixSearchChunk), ?1, ?2, ?3, ?4, ?5)",
         {db::Value(after + 1), db::Value(through), db::Value(snapshots), db::Value(ids.first), db::Value(ids.last)});
}

void writeChunk(db::Connection& connection, ChunkTexts& texts, std::int64_t after, std::int64_t through,
                std::int64_t snapshots) {
  if (texts.empty()) return;
  recordChunk(connection, after, through, snapshots, addTexts(connection, texts));
}

void indexNewSnapshots(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t chunkSnapshots,
                       const IndexProgress& progress) {
  const std::int64_t startMark = queries::readNumber(connection, "SELECT IndexedThrough FROM TavrixSearchState", {});
  std::int64_t mark = startMark;
  const std::int64_t total = queries::readNumber(connection, "SELECT count(*) FROM T_BasicInf WHERE RNO > ?1", {db::Value(mark)});
  std::int64_t indexed = 0;
  while (true) {
    const auto rnos = queries::readRows(connection, "SELECT RNO FROM T_BasicInf WHERE RNO > ?1 ORDER BY RNO LIMIT ?2",
                                        {db::Value(mark), db::Value(chunkSnapshots)});
    if (rnos.empty()) break;
    const std::int64_t through = rnos.back()[0].toInt();
    inTransaction(connection, tables, [&] {
      ChunkTexts texts = readTexts(connection, tables, mark, through);
      writeChunk(connection, texts, mark, through, static_cast<std::int64_t>(rnos.size()));
      setIndexMark(connection, tables, through);
    });
    mark = through;
    indexed += static_cast<std::int64_t>(rnos.size());
    if (progress) progress(indexed, total);
  }
  // Once, at the end: each look over a table reads the rows added since its seen row. A server
  // keeps no seen rows, and its transaction would only lock the tables for nothing.
  if (!connection.location().isServer())
    inTransaction(connection, tables, [&] { moveSeenRows(connection, tables, startMark); });
}

void dropDeadChunks(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  if (connection.location().isServer())
    queries::runStatement(connection,
                          "DELETE FROM TavrixSearchText WHERE Id > (SELECT coalesce(max(LastText), 0) FROM TavrixSearchChunk)", {});
  const auto chunks =
      queries::readRows(connection, "SELECT Chunk, FirstRno, LastRno, Snapshots, FirstText, LastText FROM TavrixSearchChunk", {});
  for (const auto& chunk : chunks) {
    const std::int64_t first = chunk[1].toInt(), last = chunk[2].toInt();
    const std::int64_t live =
        queries::readNumber(connection, "SELECT count(*) FROM T_BasicInf WHERE RNO BETWEEN ?1 AND ?2", {db::Value(first), db::Value(last)});
    if (live * 2 >= chunk[3].toInt()) continue;
    inTransaction(connection, tables, [&] {
      ChunkTexts texts = readTexts(connection, tables, first - 1, last);
      writeChunk(connection, texts, first - 1, last, live);
      dropChunk(connection, chunk[0].toInt(), chunk[4].toInt(), chunk[5].toInt());
    });
  }
}

}  // namespace tavrix::searchindex
