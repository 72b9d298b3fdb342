// Splitting a table's rowids at snapshot boundaries, and scanning the parts on threads of their own.
#include "queries/table_parts.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <thread>

namespace tavrix::queries {

namespace {

// Rows stepped past a split point looking for the next snapshot before giving up on that split.
constexpr int kBoundarySearchRows = 100000;

bool canShareView(db::Connection& connection) {
  return !connection.path().empty() && connection.path() != ":memory:" && !connection.inTransaction();
}

// The first rowid at or after from whose RNO differs from the RNO of the first row there; 0 if none
// is found within the search limit.
std::int64_t nextSnapshotStart(db::Connection& connection, const std::string& table, std::int64_t from) {
  sqlite3_stmt* stmt =
      connection.prepareCached("SELECT rowid, RNO FROM " + db::quoteIdentifier(table) + " WHERE rowid >= ?1 ORDER BY rowid");
  sqlite3_bind_int64(stmt, 1, from);
  std::int64_t start = 0;
  db::Value firstRno;
  for (int row = 0; row < kBoundarySearchRows && sqlite3_step(stmt) == SQLITE_ROW; ++row) {
    db::Value rno = db::columnValue(stmt, 1);
    if (row == 0) {
      firstRno = std::move(rno);
    } else if (rno.isNull() != firstRno.isNull() || (!rno.isNull() && rno.toInt() != firstRno.toInt())) {
      start = sqlite3_column_int64(stmt, 0);
      break;
    }
  }
  sqlite3_reset(stmt);
  return start;
}

}  // namespace

std::size_t scanPartCount() { return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4); }

std::vector<RowidRange> snapshotParts(db::Connection& connection, const std::string& table, std::size_t parts) {
  if (parts <= 1 || !canShareView(connection)) return {RowidRange{}};
  sqlite3_stmt* bounds = connection.prepareCached("SELECT min(rowid), max(rowid) FROM " + db::quoteIdentifier(table));
  std::int64_t low = 0, high = 0;
  const bool rows = sqlite3_step(bounds) == SQLITE_ROW && sqlite3_column_type(bounds, 0) != SQLITE_NULL;
  if (rows) {
    low = sqlite3_column_int64(bounds, 0);
    high = sqlite3_column_int64(bounds, 1);
  }
  sqlite3_reset(bounds);
  if (!rows) return {RowidRange{}};

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

void scanParts(db::Connection& connection, const std::vector<RowidRange>& ranges, const PartScan& scan) {
  std::vector<std::exception_ptr> failures(ranges.size());
  std::vector<std::thread> threads;
  for (std::size_t part = 1; part < ranges.size(); ++part) {
    threads.emplace_back([&, part] {
      try {
        db::Connection own;
        own.openReadOnly(connection.path());
        scan(own, ranges[part], part);
      } catch (...) {
        failures[part] = std::current_exception();
      }
    });
  }
  if (!ranges.empty()) {
    try {
      scan(connection, ranges[0], 0);
    } catch (...) {
      failures[0] = std::current_exception();
    }
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tavrix::queries
