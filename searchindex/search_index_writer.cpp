// A chunk: the text fields of every row with an RNO in its range, each distinct text once with the
// snapshots holding it and the tables it is in.
#include "searchindex/search_index_writer.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

#include "queries/statement_rows.h"
#include "searchindex/snapshot_numbers.h"

namespace tavrix::searchindex {

namespace {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct Holders {
  std::uint64_t tables = 0;  // bit i: the i-th searched table (the last bit stands for the 64th on)
  std::vector<std::int64_t> rnos;
};

using TextHolders = std::unordered_map<std::string, Holders, TextHash, std::equal_to<>>;

std::uint64_t tableBit(std::size_t index) { return std::uint64_t{1} << std::min<std::size_t>(index, 63); }

std::string rowsSql(const SearchedTable& table) {
  std::string sql = "SELECT RNO";
  for (const std::string& field : table.textFields) sql += ", " + db::quoteIdentifier(field);
  return sql + " FROM " + db::quoteIdentifier(table.name) + " WHERE RNO > ?1 AND RNO <= ?2";
}

// The texts of the rows with RNOs in (after, through]. A row whose RNO is no whole number cannot be
// kept by number: throws, and the index is made again by the next batch.
TextHolders readTexts(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t after,
                      std::int64_t through) {
  TextHolders holders;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const std::uint64_t bit = tableBit(t);
    const std::size_t fields = tables[t].textFields.size();
    // A field repeats its text row after row (the labels): that text is looked up once a snapshot.
    std::vector<std::pair<std::string_view, Holders*>> last(fields, {std::string_view(), nullptr});
    std::int64_t lastRno = -1;
    db::Statement rows(connection, rowsSql(tables[t]));
    rows.bind(1, db::Value(after)).bind(2, db::Value(through));
    while (rows.next()) {
      const db::RowView& row = rows.row();
      const db::Value rnoValue = row.value(0);
      if (!std::holds_alternative<std::int64_t>(rnoValue.raw()))
        throw db::DbError(tables[t].name + " has a row whose RNO is not a whole number", db::DbError::kError);
      const std::int64_t rno = row.integer(0);
      for (std::size_t f = 0; f < fields; ++f) {
        const int column = static_cast<int>(f) + 1;
        if (row.isNull(column)) continue;
        const std::string_view text = row.text(column);
        auto& [lastText, lastHolders] = last[f];
        if (lastHolders && rno == lastRno && text == lastText) continue;
        auto found = holders.find(text);
        if (found == holders.end()) found = holders.emplace(std::string(text), Holders{}).first;
        Holders& h = found->second;
        h.tables |= bit;
        if (h.rnos.empty() || h.rnos.back() != rno) h.rnos.push_back(rno);
        last[f] = {found->first, &h};
      }
      lastRno = rno;
    }
  }
  return holders;
}

std::int64_t scalar(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params) {
  return queries::readRows(connection, sql, params)[0][0].toInt();
}

void change(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params) {
  db::Statement statement(connection, sql);
  for (std::size_t i = 0; i < params.size(); ++i) statement.bind(static_cast<int>(i) + 1, params[i]);
  statement.run();
}

// Writes the texts of the rows in (after, through] as a new chunk of snapshots snapshots.
void writeChunk(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t after,
                std::int64_t through, std::int64_t snapshots) {
  TextHolders holders = readTexts(connection, tables, after, through);
  if (holders.empty()) return;  // no text in the range: nothing to find there
  const std::int64_t chunk = scalar(connection, "SELECT coalesce(max(Chunk), 0) + 1 FROM TavrixSearchChunk", {});
  db::Statement addChunk(connection, "INSERT INTO TavrixSearchChunk VALUES (?1, ?2, ?3, ?4)");
  addChunk.bind(1, db::Value(chunk)).bind(2, db::Value(after + 1)).bind(3, db::Value(through)).bind(4, db::Value(snapshots));
  addChunk.run();
  // Texts new to the index take the numbers after the highest; the trigram index reads them at once.
  const std::int64_t highestBefore = scalar(connection, "SELECT coalesce(max(Id), 0) FROM TavrixSearchValue", {});
  db::Statement find(connection, "SELECT Id, Tables FROM TavrixSearchValue WHERE Value = ?1");
  db::Statement add(connection, "INSERT INTO TavrixSearchValue (Value, Tables) VALUES (?1, ?2) RETURNING Id");
  db::Statement widen(connection, "UPDATE TavrixSearchValue SET Tables = ?2 WHERE Id = ?1");
  db::Statement post(connection, "INSERT INTO TavrixSearchPosting VALUES (?1, ?2, ?3)");
  for (auto& [text, h] : holders) {
    std::sort(h.rnos.begin(), h.rnos.end());
    h.rnos.erase(std::unique(h.rnos.begin(), h.rnos.end()), h.rnos.end());
    const db::FieldRef value{std::string_view(text)};
    std::int64_t id = 0;
    find.bind(1, value);
    if (find.next()) {
      id = find.row().integer(0);
      const auto tablesHad = static_cast<std::uint64_t>(find.row().integer(1));
      while (find.next()) {}
      if ((tablesHad | h.tables) != tablesHad) {
        widen.bind(1, db::Value(id)).bind(2, db::Value(static_cast<std::int64_t>(tablesHad | h.tables)));
        widen.run();
      }
    } else {
      add.bind(1, value).bind(2, db::Value(static_cast<std::int64_t>(h.tables)));
      add.next();
      id = add.row().integer(0);
      while (add.next()) {}
    }
    const std::string blob = encodeSnapshots(h.rnos);
    post.bind(1, db::Value(id)).bind(2, db::Value(chunk)).bindBytes(3, blob);
    post.run();
  }
  change(connection, "INSERT INTO TavrixSearchText (rowid, Value) SELECT Id, Value FROM TavrixSearchValue WHERE Id > ?1",
         {db::Value(highestBefore)});
}

// Drops a chunk's postings, then the texts no chunk holds any more (from the trigram index too).
void dropChunk(db::Connection& connection, std::int64_t chunk) {
  std::vector<std::int64_t> ids;
  queries::forEachStep(connection, "SELECT ValueId FROM TavrixSearchPosting WHERE Chunk = ?1", {db::Value(chunk)},
                       [&](const db::RowView& row) { ids.push_back(row.integer(0)); });
  change(connection, "DELETE FROM TavrixSearchPosting WHERE Chunk = ?1", {db::Value(chunk)});
  change(connection, "DELETE FROM TavrixSearchChunk WHERE Chunk = ?1", {db::Value(chunk)});
  db::Statement held(connection, "SELECT EXISTS (SELECT 1 FROM TavrixSearchPosting WHERE ValueId = ?1)");
  db::Statement text(connection, "SELECT Value FROM TavrixSearchValue WHERE Id = ?1");
  db::Statement unindex(connection, "INSERT INTO TavrixSearchText (TavrixSearchText, rowid, Value) VALUES ('delete', ?1, ?2)");
  db::Statement drop(connection, "DELETE FROM TavrixSearchValue WHERE Id = ?1");
  for (std::int64_t id : ids) {
    held.bind(1, db::Value(id));
    const bool stillHeld = held.next() && held.row().integer(0) == 1;
    while (held.next()) {}
    if (stillHeld) continue;
    text.bind(1, db::Value(id));
    if (!text.next()) continue;
    const std::string value(text.row().text(0));
    while (text.next()) {}
    unindex.bind(1, db::Value(id)).bind(2, db::Value(value));
    unindex.run();
    drop.bind(1, db::Value(id));
    drop.run();
  }
}

// Runs work in a transaction of its own: committed whole, or rolled back and rethrown.
template <typename Work>
void inTransaction(db::Connection& connection, Work&& work) {
  connection.begin();
  try {
    work();
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

}  // namespace

void indexNewSnapshots(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t chunkSnapshots,
                       const IndexProgress& progress) {
  std::int64_t mark = scalar(connection, "SELECT IndexedThrough FROM TavrixSearchState", {});
  const std::int64_t total = scalar(connection, "SELECT count(*) FROM T_BasicInf WHERE RNO > ?1", {db::Value(mark)});
  std::int64_t indexed = 0;
  while (true) {
    const auto rnos = queries::readRows(connection, "SELECT RNO FROM T_BasicInf WHERE RNO > ?1 ORDER BY RNO LIMIT ?2",
                                        {db::Value(mark), db::Value(chunkSnapshots)});
    if (rnos.empty()) return;
    const std::int64_t through = rnos.back()[0].toInt();
    inTransaction(connection, [&] {
      writeChunk(connection, tables, mark, through, static_cast<std::int64_t>(rnos.size()));
      change(connection, "UPDATE TavrixSearchState SET IndexedThrough = ?1", {db::Value(through)});
    });
    mark = through;
    indexed += static_cast<std::int64_t>(rnos.size());
    if (progress) progress(indexed, total);
  }
}

void dropDeadChunks(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  const auto chunks = queries::readRows(connection, "SELECT Chunk, FirstRno, LastRno, Snapshots FROM TavrixSearchChunk", {});
  for (const auto& chunk : chunks) {
    const std::int64_t first = chunk[1].toInt(), last = chunk[2].toInt();
    const std::int64_t live =
        scalar(connection, "SELECT count(*) FROM T_BasicInf WHERE RNO BETWEEN ?1 AND ?2", {db::Value(first), db::Value(last)});
    if (live * 2 >= chunk[3].toInt()) continue;
    inTransaction(connection, [&] {
      writeChunk(connection, tables, first - 1, last, live);
      dropChunk(connection, chunk[0].toInt());
    });
  }
}

}  // namespace tavrix::searchindex
