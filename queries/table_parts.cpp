// Splitting a table's rowids at snapshot boundaries, and scanning the parts on threads of their own.
#include "queries/table_parts.h"

#include <algorithm>
#include <exception>
#include <future>
#include <latch>
#include <optional>
#include <thread>

#include "queries/statement_rows.h"

namespace tavrix::queries {

namespace {

// Rows stepped past a split point looking for the next snapshot before giving up on that split.
constexpr int kBoundarySearchRows = 100000;

// Other connections can read what connection reads: a file, and no write of its own pending.
bool canShareView(db::Connection& connection) {
  return connection.location().isSharedFile() && !connection.isWriting();
}

// The first rowid at or after from whose RNO differs from the RNO of the first row there; 0 if none
// is found within the search limit.
std::int64_t nextSnapshotStart(db::Connection& connection, const std::string& table, std::int64_t from) {
  const std::string rowNumber = db::Connection::kRowNumber;
  db::Statement rows(connection, "SELECT " + rowNumber + ", RNO FROM " + db::quoteIdentifier(table) + " WHERE " + rowNumber +
                                     " >= ?1 ORDER BY " + rowNumber);
  rows.bind(1, db::Value(from));
  std::int64_t start = 0;
  db::Value firstRno;
  for (int row = 0; row < kBoundarySearchRows && rows.next(); ++row) {
    db::Value rno = rows.row().value(1);
    if (row == 0) {
      firstRno = std::move(rno);
    } else if (rno.isNull() != firstRno.isNull() || (!rno.isNull() && rno.toInt() != firstRno.toInt())) {
      start = rows.row().integer(0);
      break;
    }
  }
  return start;
}

}  // namespace

std::string inPart(const db::Connection& connection, std::string_view table, int firstParameter) {
  const std::string first = "?" + std::to_string(firstParameter), last = "?" + std::to_string(firstParameter + 1);
  if (!connection.location().isSharedFile()) return "CAST(" + first + " AS bigint) <= CAST(" + last + " AS bigint)";
  return std::string(table) + "." + db::Connection::kRowNumber + " BETWEEN ?" + std::to_string(firstParameter) + " AND ?" +
         std::to_string(firstParameter + 1);
}

std::size_t scanPartCount() { return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4); }

std::vector<RowidRange> snapshotParts(db::Connection& connection, const std::string& table, std::size_t parts) {
  if (parts <= 1 || !canShareView(connection)) return {RowidRange{}};
  std::int64_t low = 0, high = 0;
  {
    const std::string rowNumber = db::Connection::kRowNumber;
    db::Statement bounds(connection, "SELECT min(" + rowNumber + "), max(" + rowNumber + ") FROM " + db::quoteIdentifier(table));
    if (!bounds.next() || bounds.row().isNull(0)) return {RowidRange{}};
    low = bounds.row().integer(0);
    high = bounds.row().integer(1);
  }

  std::vector<std::int64_t> starts;
  const double span = static_cast<double>(high) - static_cast<double>(low);
  for (std::size_t p = 1; p < parts; ++p) {
    const auto at = low + static_cast<std::int64_t>(span * static_cast<double>(p) / static_cast<double>(parts));
    const std::int64_t start = nextSnapshotStart(connection, table, at);
    if (start > low && (starts.empty() || start > starts.back())) starts.push_back(start);
  }
  std::vector<RowidRange> ranges;
  RowidRange current;
  for (std::int64_t start : starts) {
    current.last = start - 1;
    ranges.push_back(current);
    current = RowidRange{start, std::numeric_limits<std::int64_t>::max()};
  }
  ranges.push_back(current);
  return ranges;
}

namespace {

std::function<void()> beforePartsRead;  // a test's hook

// What every committed import file (a new RNO) and every update of the counted rows moves: parts
// whose stamps agree read one state.
std::string stateStamp(db::Connection& connection) {
  std::string stamp;
  if (const auto lastRno = connection.lastNumberGiven("T_BasicInf")) stamp += std::to_string(*lastRno);
  stamp += '/';
  try {
    for (const ResultRow& row : readRows(connection, "SELECT OutsideChanges FROM TavrixStamp", {})) stamp += row[0].text();
  } catch (const db::DbError&) {
    stamp += '-';  // no such table: the same for every part
  }
  return stamp + '/';
}

// Scans ranges[1..] on connections of their own, each in a read transaction begun after the one
// of connection (already open): only when every part reads the state connection reads. False
// (nothing scanned) when some part read another.
bool scanFromOneState(db::Connection& connection, const std::vector<RowidRange>& ranges, const PartScan& scan) {
  const std::string state = stateStamp(connection);
  if (beforePartsRead) beforePartsRead();
  const std::size_t others = ranges.size() - 1;
  std::vector<std::exception_ptr> failures(ranges.size());
  std::vector<std::string> stamps(ranges.size());
  std::latch stamped(static_cast<std::ptrdiff_t>(others));
  std::promise<bool> decided;
  std::shared_future<bool> go = decided.get_future().share();
  std::vector<std::thread> threads;
  for (std::size_t part = 1; part < ranges.size(); ++part) {
    threads.emplace_back([&, part] {
      std::optional<db::Connection> own;
      try {
        own.emplace();
        own->openReadOnly(connection.location());
        own->executeNative("BEGIN");
        stamps[part] = stateStamp(*own);
      } catch (...) {
        failures[part] = std::current_exception();
      }
      stamped.count_down();
      if (!go.get() || failures[part]) return;
      try {
        scan(*own, ranges[part], part);
        own->executeNative("COMMIT");
      } catch (...) {
        failures[part] = std::current_exception();
      }
    });
  }
  stamped.wait();
  bool same = true;
  for (std::size_t part = 1; part < ranges.size(); ++part) same = same && (failures[part] || stamps[part] == state);
  decided.set_value(same);
  if (same) {
    try {
      scan(connection, ranges[0], 0);
    } catch (...) {
      failures[0] = std::current_exception();
    }
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
  return same;
}

constexpr int kStateTries = 3;

}  // namespace

void setBeforePartsRead(std::function<void()> hook) { beforePartsRead = std::move(hook); }

void scanParts(db::Connection& connection, const std::vector<RowidRange>& ranges, const PartScan& scan) {
  // A state already held by the caller cannot be moved on: one try, then one connection.
  const int tries = connection.inTransaction() ? 1 : kStateTries;
  for (int attempt = 0; ranges.size() > 1 && attempt < tries; ++attempt) {
    db::ReadTransaction state(connection);
    if (scanFromOneState(connection, ranges, scan)) return;
  }
  // Writers kept committing between the parts' starts: every part in turn on one connection.
  db::ReadTransaction state(connection);
  for (std::size_t part = 0; part < ranges.size(); ++part) scan(connection, ranges[part], part);
}

}  // namespace tavrix::queries
