// Counting the fleet, keeping the counts in a file beside the database, and the summaries made of them.
#include "counts/fleet_counts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include "platform/paths.h"
#include "counts/group_count.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

struct KindSource {
  const char* select;  // group columns, then PCid
  int keyColumns;
  const char* table;
  const char* keyText;  // the counted columns of a row as one text, for the stamp
};
constexpr KindSource kSources[kTallyKinds] = {
    {"SELECT Appl, Version, PCid, RNO FROM T_ApplInst", 2, "T_ApplInst",
     "quote(Appl) || ',' || quote(Version) || ',' || quote(PCid) || ',' || quote(RNO)"},
    {"SELECT WinUpdName, PCid, RNO FROM T_WinUpdate", 1, "T_WinUpdate",
     "quote(WinUpdName) || ',' || quote(PCid) || ',' || quote(RNO)"}};

// The triggers that count the updates and deletions of programs and updates made outside the import.
constexpr const char* kStampTriggers[] = {"TavrixStamp_T_ApplInst", "TavrixStamp_T_WinUpdate",
                                          "TavrixStamp_T_ApplInst_Delete", "TavrixStamp_T_WinUpdate_Delete"};

bool stampTriggersKept(db::Connection& connection) {
  return std::ranges::all_of(kStampTriggers, [&](const char* name) { return connection.hasTrigger(name); }) &&
         connection.columnType("TavrixStamp", "Importing").has_value();
}

// A deletion counts unless the import marked it as its own, which only its transaction sees. OR
// IGNORE: a trigger that cannot fail spares every deleting statement a journal of the pages it
// touches (that cost a replacing batch 15 %).
std::string deletionTrigger(const std::string& table) {
  return "CREATE TRIGGER IF NOT EXISTS TavrixStamp_" + table + "_Delete AFTER DELETE ON " + table +
         " WHEN coalesce((SELECT Importing FROM TavrixStamp), 0) = 0"
         " BEGIN UPDATE OR IGNORE TavrixStamp SET OutsideChanges = OutsideChanges + 1; END;";
}

// The stamp as the counts file keeps it: one row of these columns.
constexpr const char* kStampColumns = "DatabaseId, OutsideChanges, LastRno, Computers, Programs, LastProgramRow, "
                                      "LastProgram, Updates, LastUpdateRow, LastUpdate";

// The counts file's layout; 2: every kind keeps its groups' snapshot lists; 3: in a table of their
// own, so that reading the counts reads no list (a list fills its row's page: at 100,000 computers
// the counts alone touched 200 MB of the file).
constexpr std::int64_t kFormat = 3;

// A snapshot list as the counts file keeps it: the RNOs' bytes in the machine's order.
std::string_view rnoBytes(const std::vector<std::int64_t>& rnos) {
  return {reinterpret_cast<const char*>(rnos.data()), rnos.size() * sizeof(std::int64_t)};
}

void readRnoList(std::string_view bytes, std::vector<std::int64_t>& rnos) {
  rnos.resize(bytes.size() / sizeof(std::int64_t));
  if (!rnos.empty()) std::memcpy(rnos.data(), bytes.data(), rnos.size() * sizeof(std::int64_t));
}

// One group's list from an open counts file (kept once by the index of the file); false without one.
bool readKeptList(db::Connection& file, TallyKind kind, std::string_view key, std::vector<std::int64_t>& rnos) {
  db::Statement list(file, "SELECT Rnos FROM Lists WHERE Kind = ?1 AND Key = ?2");
  list.bind(1, db::Value(static_cast<std::int64_t>(kind))).bindBytes(2, key);
  bool found = false;
  while (list.next()) {
    readRnoList(list.row().bytes(0), rnos);
    found = true;
  }
  return found;
}

ResultRow stampRow(const InventoryStamp& stamp) {
  ResultRow row{db::Value(stamp.databaseId), db::Value(stamp.outsideChanges), db::Value(stamp.lastRno),
                db::Value(stamp.computers)};
  for (const TableStamp& table : stamp.tables) {
    row.emplace_back(table.rows);
    row.emplace_back(table.lastRow);
    row.emplace_back(table.last);
  }
  return row;
}

InventoryStamp stampOf(const ResultRow& row) {
  InventoryStamp stamp{row[0].text(), row[1].toInt(), row[2].toInt(), row[3].toInt(), {}};
  for (std::size_t k = 0; k < kTallyKinds; ++k)
    stamp.tables[k] = {row[4 + 3 * k].toInt(), row[5 + 3 * k].toInt(), row[6 + 3 * k].text()};
  return stamp;
}

// One kind's snapshots from scans of its table, one scan per chunk of groups whose computers reach
// the budget, so that a recount never holds every list at once.
class ScannedSnapshots final : public SnapshotLists {
 public:
  ScannedSnapshots(db::Connection& connection, const KindSource& source, std::unordered_map<std::string, std::int64_t> computers,
                   std::size_t budget)
      : connection_(connection), source_(source), computers_(std::move(computers)), budget_(budget) {}

  std::size_t fill(std::span<const std::string> keys, std::vector<std::vector<std::int64_t>>& lists) override {
    const std::size_t n = snapshotChunk(keys, budget_, [this](const std::string& key) -> std::size_t {
      const auto found = computers_.find(key);
      return found == computers_.end() ? 0 : static_cast<std::size_t>(std::max<std::int64_t>(0, found->second));
    });
    std::unordered_map<std::string_view, std::size_t> position;  // key -> its place in keys
    for (std::size_t i = 0; i < n; ++i) position.emplace(keys[i], i);
    lists.assign(n, {});
    std::string key;
    const int columns = source_.keyColumns;  // then PCid and RNO
    forEachStep(connection_, source_.select, {}, [&](const db::RowView& row) {
      if (row.isNull(columns) || row.isNull(columns + 1)) return;
      key.clear();
      for (int c = 0; c < columns; ++c) appendGroupKey(key, row.isNull(c) ? std::nullopt : std::optional(row.text(c)), false);
      if (const auto at = position.find(key); at != position.end()) lists[at->second].push_back(row.integer(columns + 1));
    });
    for (auto& list : lists) {  // ascending and once each
      std::sort(list.begin(), list.end());
      list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return n;
  }

 private:
  db::Connection& connection_;
  const KindSource& source_;
  std::unordered_map<std::string, std::int64_t> computers_;  // per group key
  std::size_t budget_;
};

// One scan counting both ways; rows of a computer lying apart need the exact, slower counting.
void countKind(db::Connection& connection, TallyKind kind, FleetCounts& counts, GroupCounter::Mode mode) {
  const KindSource& source = kSources[static_cast<std::size_t>(kind)];
  GroupCounter exact(source.keyColumns, mode, GroupCounter::Keys::Exact);
  GroupCounter folded(source.keyColumns, mode, GroupCounter::Keys::Folded);
  forEachStep(connection, source.select, {}, [&](const db::RowView& row) {
    exact.add(row);
    folded.add(row);
  });
  if (!exact.exact() || !folded.exact()) return countKind(connection, kind, counts, GroupCounter::Mode::Pairs);
  const auto k = static_cast<std::size_t>(kind);
  for (auto& group : exact.groups()) counts.exact[k][group.key] = {std::move(group.values), group.computers, {}};
  for (const auto& group : folded.groups()) counts.folded[k][group.key] = group.computers;
}

}  // namespace

std::optional<std::string> fleetCountsPath(const db::Location& database) { return database.besideFile(".counts"); }

void keepInventoryStamp(db::Connection& connection) {
  const bool kept = connection.hasTable("TavrixStamp") && stampTriggersKept(connection);
  if (kept && readNumber(connection, "SELECT count(*) FROM TavrixStamp") == 1) return;
  connection.begin();
  try {
    // A stamp missing a trigger (or made before deletions were counted) did not count every change:
    // it is bumped once its triggers are back, so the counts kept so far belong to another state.
    const bool incomplete = connection.hasTable("TavrixStamp") && !stampTriggersKept(connection);
    if (incomplete && !connection.columnType("TavrixStamp", "Importing"))
      connection.executeNative("ALTER TABLE TavrixStamp ADD COLUMN Importing INTEGER NOT NULL DEFAULT 0");
    connection.executeNative(
        "CREATE TABLE IF NOT EXISTS TavrixStamp (DatabaseId TEXT NOT NULL, OutsideChanges INTEGER NOT NULL,"
        " Importing INTEGER NOT NULL DEFAULT 0);"
        "DELETE FROM TavrixStamp WHERE rowid <> (SELECT min(rowid) FROM TavrixStamp);"
        "INSERT INTO TavrixStamp SELECT lower(hex(randomblob(16))), 0, 0 WHERE NOT EXISTS (SELECT 1 FROM TavrixStamp);"
        "CREATE TRIGGER IF NOT EXISTS TavrixStamp_T_ApplInst AFTER UPDATE ON T_ApplInst "
        "BEGIN UPDATE TavrixStamp SET OutsideChanges = OutsideChanges + 1; END;"
        "CREATE TRIGGER IF NOT EXISTS TavrixStamp_T_WinUpdate AFTER UPDATE ON T_WinUpdate "
        "BEGIN UPDATE TavrixStamp SET OutsideChanges = OutsideChanges + 1; END;" +
        deletionTrigger("T_ApplInst") + deletionTrigger("T_WinUpdate"));
    if (incomplete) connection.executeNative("UPDATE TavrixStamp SET OutsideChanges = OutsideChanges + 1");
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

void markOwnDeletions(db::Connection& connection, bool on) {
  db::Statement mark(connection, "UPDATE TavrixStamp SET Importing = ?1");
  mark.bind(1, db::Value(std::int64_t{on ? 1 : 0}));
  mark.run();
}

std::optional<InventoryStamp> inventoryStamp(db::Connection& connection, RowCounts rows) {
  try {
    InventoryStamp stamp;
    if (!stampTriggersKept(connection)) return std::nullopt;  // changes not counted
    const std::vector<ResultRow> own = readRows(connection, "SELECT DatabaseId, OutsideChanges, Importing FROM TavrixStamp", {});
    // A mark left up would hide outside deletions: nothing the stamp vouches for is trusted.
    if (own.size() != 1 || own[0][0].isNull() || own[0][2].isNull() || own[0][2].toInt() != 0) return std::nullopt;
    stamp.databaseId = own[0][0].text();
    stamp.outsideChanges = own[0][1].toInt();
    const std::optional<std::int64_t> lastRno = connection.lastNumberGiven("T_BasicInf");
    stamp.lastRno = lastRno.value_or(0);
    stamp.computers = readNumber(connection, "SELECT count(*) FROM T_BasicInf");
    if (!lastRno && stamp.computers > 0) return std::nullopt;  // RNOs that may be given again
    const std::string rowNumber = db::Connection::kRowNumber;
    for (std::size_t k = 0; k < kTallyKinds; ++k) {
      const std::string table = kSources[k].table;
      const std::string counted = rows == RowCounts::Read ? "(SELECT count(*) FROM " + table + ")" : "NULL";
      const std::vector<ResultRow> last = readRows(connection,
          "SELECT " + counted + ", " + rowNumber + ", " + kSources[k].keyText + " FROM " + table +
          " WHERE " + rowNumber + " = (SELECT max(" + rowNumber + ") FROM " + table + ")", {});
      if (!last.empty()) stamp.tables[k] = {last[0][0].toInt(), last[0][1].toInt(), last[0][2].text()};
    }
    return stamp;
  } catch (const db::DbError&) {
    return std::nullopt;  // no stamp of our own: no counts can be trusted
  }
}

FleetCounts countFleet(db::Connection& connection) {
  FleetCounts counts;
  counts.stamp = inventoryStamp(connection).value_or(InventoryStamp{});
  for (std::size_t k = 0; k < kTallyKinds; ++k) {
    countKind(connection, static_cast<TallyKind>(k), counts, GroupCounter::Mode::Contiguous);
    std::unordered_map<std::string, std::int64_t> computers;
    for (const auto& [key, group] : counts.exact[k]) computers.emplace(key, group.computers);
    counts.snapshotLists[k] = std::make_shared<ScannedSnapshots>(connection, kSources[k], std::move(computers), FleetTally::kSnapshotBudget);
  }
  return counts;
}

std::optional<FleetCounts> currentFleetCounts(db::Connection& connection, std::optional<TallyKind> listsOf,
                                              const std::function<bool(const std::vector<db::Value>&)>& wanted) {
  // No counts kept (nor any beside a server): the stamp is not read at all.
  const std::optional<std::string> kept = fleetCountsPath(connection.location());
  if (!kept || !paths::fileExists(*kept)) return std::nullopt;
  std::optional<InventoryStamp> stamp = inventoryStamp(connection, RowCounts::Skip);
  if (!stamp) return std::nullopt;
  const std::string& path = *kept;
  try {
    db::Connection file;
    file.openReadOnly(path);
    FleetCounts counts;
    // Counts of a file without every kind's lists were kept by an earlier version: not used.
    if (readRows(file, "SELECT Version FROM Format", {}) != std::vector<ResultRow>{{db::Value(kFormat)}}) return std::nullopt;
    const std::vector<ResultRow> stamps = readRows(file, std::string("SELECT ") + kStampColumns + " FROM Stamp", {});
    if (stamps.size() != 1) return std::nullopt;
    counts.stamp = stampOf(stamps[0]);
    // Rows added show in the last row, rows deleted or changed in the outside changes; the kept row
    // counts stand for what was not counted again.
    for (std::size_t k = 0; k < kTallyKinds; ++k) stamp->tables[k].rows = counts.stamp.tables[k].rows;
    if (!(counts.stamp == *stamp)) return std::nullopt;
    std::vector<std::pair<const std::string*, FleetCounts::Group*>> listed;  // the groups whose lists are read
    forEachStep(file, "SELECT Kind, Column1, Column2, Computers FROM Exact", {}, [&](const db::RowView& row) {
      const auto k = static_cast<std::size_t>(row.integer(0));
      if (k >= kTallyKinds) throw db::DbError("unknown kind in " + path, 0);
      std::vector<db::Value> values{row.value(1)};
      if (kSources[k].keyColumns == 2) values.push_back(row.value(2));
      auto& [key, group] = *counts.exact[k].try_emplace(groupKey(values, false)).first;
      group.values = std::move(values);
      group.computers = row.integer(3);
      if (listsOf && k == static_cast<std::size_t>(*listsOf) && (!wanted || wanted(group.values))) listed.emplace_back(&key, &group);
    });
    // From the same open file, which a newer one renamed over it does not change.
    for (const auto& [key, group] : listed) readKeptList(file, *listsOf, *key, group->rnos);
    forEachStep(file, "SELECT Kind, Key, Computers FROM Folded", {}, [&](const db::RowView& row) {
      const auto k = static_cast<std::size_t>(row.integer(0));
      if (k >= kTallyKinds) throw db::DbError("unknown kind in " + path, 0);
      counts.folded[k][std::string(row.bytes(1))] = row.integer(2);
    });
    return counts;
  } catch (const db::DbError&) {
    return std::nullopt;  // unreadable counts are no counts: the summaries scan
  }
}

void forEachKeptSnapshotList(const std::string& countsPath, TallyKind kind, std::span<const std::string> keys,
                             const std::function<void(std::string_view key, std::span<const std::int64_t> rnos)>& each) {
  db::Connection file;
  file.openReadOnly(countsPath);
  std::vector<std::int64_t> rnos;
  for (const std::string& key : keys)
    if (readKeptList(file, kind, key, rnos)) each(key, rnos);
}

void saveFleetCounts(const std::string& path, const FleetCounts& counts) {
  const std::string draft = path + ".new";
  paths::removeFile(draft);
  {
    db::Connection file;
    db::createDatabase(draft);
    file.openPlain(draft);
    file.executeNative(
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL; BEGIN;"
        "CREATE TABLE Stamp (DatabaseId TEXT, OutsideChanges INTEGER, LastRno INTEGER, Computers INTEGER, Programs INTEGER,"
        " LastProgramRow INTEGER, LastProgram TEXT, Updates INTEGER, LastUpdateRow INTEGER, LastUpdate TEXT);"
        "CREATE TABLE Exact (Kind INTEGER, Key BLOB, Column1, Column2, Computers INTEGER);"
        "CREATE TABLE Lists (Kind INTEGER, Key BLOB, Rnos BLOB);"
        "CREATE TABLE Folded (Kind INTEGER, Key BLOB, Computers INTEGER);"
        "CREATE TABLE Format (Version INTEGER);"
        "INSERT INTO Format VALUES (" + std::to_string(kFormat) + ");");
    db::Statement stamp(file, std::string("INSERT INTO Stamp (") + kStampColumns +
                                  ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    const ResultRow values = stampRow(counts.stamp);
    for (std::size_t i = 0; i < values.size(); ++i) stamp.bind(static_cast<int>(i + 1), values[i]);
    stamp.run();
    db::Statement exact(file, "INSERT INTO Exact VALUES (?1, ?2, ?3, ?4, ?5)");
    db::Statement list(file, "INSERT INTO Lists VALUES (?1, ?2, ?3)");
    db::Statement folded(file, "INSERT INTO Folded VALUES (?1, ?2, ?3)");
    for (std::size_t k = 0; k < kTallyKinds; ++k) {
      auto writeGroup = [&](const std::string& key, const FleetCounts::Group& group, const std::vector<std::int64_t>& rnos) {
        exact.bind(1, db::Value(static_cast<std::int64_t>(k))).bindBytes(2, key);
        for (std::size_t c = 0; c < 2; ++c) exact.bind(static_cast<int>(3 + c), c < group.values.size() ? group.values[c] : db::Value());
        exact.bind(5, db::Value(group.computers));
        exact.run();
        list.bind(1, db::Value(static_cast<std::int64_t>(k))).bindBytes(2, key).bindBytes(3, rnoBytes(rnos));
        list.run();
      };
      if (counts.snapshotLists[k]) {
        // The lists a bounded number at a time.
        std::vector<std::string> keys;
        std::vector<const FleetCounts::Group*> groups;
        for (const auto& [key, group] : counts.exact[k]) {
          keys.push_back(key);
          groups.push_back(&group);
        }
        std::vector<std::vector<std::int64_t>> lists;
        for (std::size_t at = 0; at < keys.size();) {
          const std::size_t filled = counts.snapshotLists[k]->fill(std::span(keys).subspan(at), lists);
          if (filled == 0) throw std::runtime_error("no snapshot list for " + std::to_string(at));
          for (std::size_t i = 0; i < filled; ++i) writeGroup(keys[at + i], *groups[at + i], lists[i]);
          at += filled;
        }
      } else {
        for (const auto& [key, group] : counts.exact[k]) writeGroup(key, group, group.rnos);
      }
      for (const auto& [key, computers] : counts.folded[k]) {
        folded.bind(1, db::Value(static_cast<std::int64_t>(k))).bindBytes(2, key).bind(3, db::Value(computers));
        folded.run();
      }
    }
    // The next batch reads the lists it keeps a chunk of groups at a time.
    file.executeNative("CREATE INDEX ListKey ON Lists (Kind, Key); COMMIT;");
    file.close();
  }
  if (std::rename(draft.c_str(), path.c_str()) != 0) {
    paths::removeFile(draft);
    throw std::runtime_error("cannot replace " + path);
  }
}

std::vector<ResultRow> summaryRows(const FleetCounts& counts, TallyKind kind, const std::optional<std::string>& nameContains) {
  const auto k = static_cast<std::size_t>(kind);
  std::map<std::string, ResultRow> groups;  // folded key -> smallest spelling, column by column
  for (const auto& [key, group] : counts.exact[k]) {
    if (nameContains && (group.values[0].isNull() || !containsNoCase(group.values[0].text(), *nameContains))) continue;
    auto [found, added] = groups.try_emplace(groupKey(group.values, true), group.values);
    if (added) continue;
    for (std::size_t c = 0; c < group.values.size(); ++c)
      if (!found->second[c].isNull() && group.values[c].text() < found->second[c].text()) found->second[c] = group.values[c];
  }
  std::vector<ResultRow> rows;
  for (auto& [key, shown] : groups) {
    const auto computers = counts.folded[k].find(key);
    if (computers == counts.folded[k].end()) continue;
    rows.push_back(std::move(shown));
    rows.back().emplace_back(computers->second);
  }
  sortGroupRows(rows, static_cast<std::size_t>(kSources[k].keyColumns));
  return rows;
}

}  // namespace tavrix::queries
