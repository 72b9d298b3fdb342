// The software, update and computer questions: scans of the detail tables, counted and matched in memory.
#include "queries/fleet_queries.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <unordered_set>
#include <variant>

#include "platform/text.h"
#include "counts/fleet_counts.h"
#include "counts/group_count.h"
#include "counts/server_summaries.h"
#include "queries/drive_space.h"
#include "queries/statement_rows.h"
#include "queries/table_parts.h"
#include "queries/text_match.h"
#include "views/computer_list.h"

namespace tavrix::queries {

namespace {

constexpr const char* kComputerSelect =
    "SELECT ComputerName, UserName, OSVersion, CreateDate, PCid, RNO FROM T_BasicInf ";
// The same with MemorySize after them, for the list's memory filter.
constexpr const char* kComputerSelectWithMemory =
    "SELECT ComputerName, UserName, OSVersion, CreateDate, PCid, RNO, MemorySize FROM T_BasicInf ";

// A computer's shown row (as the list shows it) into row, from its stored values.
void shownRow(const db::RowView& stored, ResultRow& row) {
  const ComputerListRow texts = computerListRow(stored.value(0), stored.value(1), stored.value(2), stored.value(3),
                                                stored.value(4), stored.value(5));
  row.resize(6);
  for (std::size_t c = 0; c < 5; ++c) row[c] = texts[c];
  row[5] = stored.value(5);
}

// The place of a stored value in the database's ORDER BY: NULL, then numbers, then texts.
std::uint8_t orderRank(const db::RowView& row, int column) {
  if (row.isNull(column)) return 0;
  return std::holds_alternative<std::string>(row.value(column).raw()) ? 2 : 1;
}

// A computer of an answer: its row there, and how its stored name and file name order.
struct ListedComputer {
  std::uint32_t row;
  std::uint8_t nameRank, fileRank;
  std::int64_t rno;
};

// Shown texts in the order of their stored values: a text shows as stored, a number as its digits.
int compareShown(std::string_view a, std::string_view b, int rank) {
  if (rank == 0) return 0;
  if (rank == 2) return compareText(a, b);
  const double x = std::strtod(std::string(a).c_str(), nullptr), y = std::strtod(std::string(b).c_str(), nullptr);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// The place of each distinct text of a column in text order.
std::vector<std::uint32_t> textRanks(const ResultRows& rows, std::size_t column) {
  std::vector<std::uint32_t> ids(rows.distinctCount(column));
  std::iota(ids.begin(), ids.end(), 0U);
  std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
    return compareText(rows.textOf(column, a), rows.textOf(column, b)) < 0;
  });
  std::vector<std::uint32_t> ranks(ids.size());
  for (std::uint32_t place = 0; place < ids.size(); ++place) ranks[ids[place]] = place;  // distinct texts never tie
  return ranks;
}

// The questions' computer order, as the database orders it (by computer name and then file name,
// each ignoring ASCII case and then by bytes, NULL first; then RNO). Sorted here: the database's
// sorter spilled a fleet's list to a temporary file. Texts are compared once per distinct name and
// file name, not once per comparison of two computers.
void sortComputers(ResultRows& rows, std::vector<ListedComputer>& computers) {
  const std::vector<std::uint32_t> names = textRanks(rows, 0), files = textRanks(rows, 4);
  const auto compare = [&](const ListedComputer& a, const ListedComputer& b, std::size_t column, int rank,
                           const std::vector<std::uint32_t>& ranks) {
    const std::uint32_t x = rows.valueId(a.row, column), y = rows.valueId(b.row, column);
    if (rank == 2) return ranks[x] < ranks[y] ? -1 : (ranks[x] > ranks[y] ? 1 : 0);
    return compareShown(rows.textOf(column, x), rows.textOf(column, y), rank);
  };
  std::sort(computers.begin(), computers.end(), [&](const ListedComputer& a, const ListedComputer& b) {
    if (a.nameRank != b.nameRank) return a.nameRank < b.nameRank;
    if (const int order = compare(a, b, 0, a.nameRank, names); order != 0) return order < 0;
    if (a.fileRank != b.fileRank) return a.fileRank < b.fileRank;
    if (const int order = compare(a, b, 4, a.fileRank, files); order != 0) return order < 0;
    return a.rno < b.rno;
  });
  std::vector<std::uint32_t> order;
  order.reserve(computers.size());
  for (const ListedComputer& computer : computers) order.push_back(computer.row);
  rows.reorder(order);
}

bool anyShownTextContains(const ResultRow& row, std::string_view part) {
  for (std::size_t c = 0; c < 5; ++c)
    if (containsNoCase(std::get<std::string>(row[c].raw()), part)) return true;
  return false;
}

db::Value optionalPattern(const std::optional<std::string>& part) {
  return part ? db::Value(containsPattern(*part)) : db::Value();
}

// Distinct computers per group, counted by a server where the rows are: one row per group comes
// back, not every row.
std::vector<ResultRow> countGroupsOnServer(db::Connection& connection, const std::string& table,
                                           const std::vector<std::string>& keys, const std::string& nameColumn,
                                           const std::optional<std::string>& nameContains) {
  std::vector<ResultRow> rows = readRows(connection, serverGroupsSql(table, keys, nameColumn), {optionalPattern(nameContains)});
  sortGroupRows(rows, keys.size());
  return rows;
}

// Distinct computers per group, counted in memory over the table's parts at once: an index on the
// names would make the import write a page per row at every file's commit. Should a computer's rows
// lie apart (rows not written by the import), the parts cannot be added up and one exact pass counts.
std::vector<ResultRow> countGroups(db::Connection& connection, const std::string& table, const std::string& columns,
                                   const std::string& nameColumn, const std::optional<std::string>& nameContains) {
  if (connection.location().isServer()) {
    std::vector<std::string> keys = text::split(columns, ',');
    keys.pop_back();  // PCid
    for (std::string& key : keys) key = std::string(text::trim(key));
    return countGroupsOnServer(connection, table, keys, nameColumn, nameContains);
  }
  const int keyColumns = static_cast<int>(std::count(columns.begin(), columns.end(), ','));
  // A parameter's use that tells its type comes before "IS NULL": a server types it from the first.
  const std::string sql = "SELECT " + columns + " FROM " + table + " WHERE " + inPart(connection, table, 2) + " AND (" +
                          containsSql(nameColumn, 1) + " OR ?1 IS NULL)";
  const auto scan = [&](db::Connection& c, const RowidRange& range, GroupCounter& counter) {
    forEachStep(c, sql, {optionalPattern(nameContains), db::Value(range.first), db::Value(range.last)},
                [&](const db::RowView& row) { counter.add(row); });
  };
  const std::vector<RowidRange> ranges = snapshotParts(connection, table, scanPartCount());
  std::vector<GroupCounter> counters(ranges.size(), GroupCounter(keyColumns));
  scanParts(connection, ranges, [&](db::Connection& c, const RowidRange& range, std::size_t part) {
    scan(c, range, counters[part]);
  });
  bool exact = true;
  for (std::size_t part = 0; part < counters.size(); ++part)
    exact = (part == 0 ? counters[0].exact() : counters[0].merge(counters[part])) && exact;
  if (exact) return counters[0].rows();
  GroupCounter pairs(keyColumns, GroupCounter::Mode::Pairs);
  scan(connection, RowidRange{}, pairs);
  return pairs.rows();
}

// The RNOs of the rows of table that meet condition (?1, ?2 its parameters), over the parts at once.
std::unordered_set<std::int64_t> rnosWhere(db::Connection& connection, const std::string& table,
                                          const std::string& condition, const db::Value& first, const db::Value& second) {
  const std::string sql = "SELECT RNO FROM " + table + " WHERE " + inPart(connection, table, 3) + " AND " + condition;
  const std::vector<RowidRange> ranges = snapshotParts(connection, table, scanPartCount());
  std::vector<std::vector<std::int64_t>> found(ranges.size());
  scanParts(connection, ranges, [&](db::Connection& c, const RowidRange& range, std::size_t part) {
    forEachStep(c, sql, {first, second, db::Value(range.first), db::Value(range.last)}, [&](const db::RowView& row) {
      if (!row.isNull(0)) found[part].push_back(row.integer(0));
    });
  });
  std::unordered_set<std::int64_t> rnos;
  for (const auto& part : found) rnos.insert(part.begin(), part.end());
  return rnos;
}

// Which of the two sides of a split a question wants.
enum class Sides { Both, Having, Lacking };

// Every computer in list order, split by whether its RNO is among rnos; a side not wanted stays empty.
std::pair<ResultRows, ResultRows> computersSplitBy(db::Connection& connection, const std::unordered_set<std::int64_t>& rnos,
                                                   Sides wanted = Sides::Both) {
  std::pair<ResultRows, ResultRows> split{ResultRows(computerColumns()), ResultRows(computerColumns())};
  std::vector<ListedComputer> having, lacking;
  {
    db::FewPagesCached readOnce(connection);
    ResultRow shown;
    forEachStep(connection, kComputerSelect, {}, [&](const db::RowView& row) {
      const bool in = !row.isNull(5) && rnos.contains(row.integer(5));
      if (wanted == (in ? Sides::Lacking : Sides::Having)) return;
      ResultRows& rows = in ? split.first : split.second;
      shownRow(row, shown);
      (in ? having : lacking).push_back({static_cast<std::uint32_t>(rows.size()), orderRank(row, 0), orderRank(row, 4), row.integer(5)});
      rows.append(shown);
    });
  }
  sortComputers(split.first, having);
  sortComputers(split.second, lacking);
  return split;
}

}  // namespace

const std::vector<std::string>& computerColumns() {
  static const std::vector<std::string> columns = {"ComputerName", "UserName", "OSVersion",
                                                   "CreateDate",   "PCid",     "RNO"};
  return columns;
}

ResultRows computerList(db::Connection& connection, const ListFilter& filter) {
  ResultRows rows(computerColumns());
  const db::Value before = filter.createdBefore ? db::Value(*filter.createdBefore) : db::Value();
  db::ReadTransaction oneState(connection);
  db::FewPagesCached readOnce(connection);
  const std::optional<NearlyFullDrives> full =
      filter.lowDiskPercent ? std::optional(nearlyFullDrives(connection, *filter.lowDiskPercent)) : std::nullopt;
  ResultRow shown;
  const auto drivesOf = [&](std::int64_t rno) {
    return (filter.unreadableDrives ? full->unreadComputers : full->computers).contains(rno);
  };
  forEachStep(connection, std::string(kComputerSelectWithMemory) + "WHERE CreateDate < ?1 OR ?1 IS NULL ORDER BY RNO", {before},
              [&](const db::RowView& row) {
                if (full && (row.isNull(5) || !drivesOf(row.integer(5)))) return;
                if (filter.osVersion && (row.isNull(2) ? std::string_view() : row.text(2)) != *filter.osVersion) return;
                if (filter.memoryClass && memoryClassOf(row.isNull(6) ? std::nullopt : std::optional(row.text(6))) != *filter.memoryClass)
                  return;
                shownRow(row, shown);
                if (!filter.contains || anyShownTextContains(shown, *filter.contains)) rows.append(shown);
              });
  return rows;
}

std::string daysBefore(const DateTime& now, int days) {
  using namespace std::chrono;
  const sys_days then = sys_days(year_month_day(year(now.year), month(static_cast<unsigned>(now.month)),
                                               day(static_cast<unsigned>(now.day)))) -
                       std::chrono::days(days);
  const year_month_day ymd(then);
  DateTime t = now;
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  return t.storageText();
}

// The counts the batch kept when they belong to the inventory as it is, else a scan. Each question
// reads one state of the database, however many statements it runs.
ResultTable softwareSummary(db::Connection& connection, const std::optional<std::string>& nameContains) {
  db::ReadTransaction oneState(connection);
  if (auto counts = currentFleetCounts(connection)) return {{"Appl", "Version", "Computers"}, summaryRows(*counts, TallyKind::Software, nameContains)};
  if (auto kept = keptServerGroups(connection, TallyKind::Software, nameContains)) {
    sortGroupRows(*kept, 2);
    return {{"Appl", "Version", "Computers"}, std::move(*kept)};
  }
  return {{"Appl", "Version", "Computers"}, countGroups(connection, "T_ApplInst", "Appl, Version, PCid", "Appl", nameContains)};
}

ResultTable updateSummary(db::Connection& connection, const std::optional<std::string>& nameContains) {
  db::ReadTransaction oneState(connection);
  if (auto counts = currentFleetCounts(connection)) return {{"WinUpdName", "Computers"}, summaryRows(*counts, TallyKind::Updates, nameContains)};
  if (auto kept = keptServerGroups(connection, TallyKind::Updates, nameContains)) {
    sortGroupRows(*kept, 1);
    return {{"WinUpdName", "Computers"}, std::move(*kept)};
  }
  return {{"WinUpdName", "Computers"}, countGroups(connection, "T_WinUpdate", "WinUpdName, PCid", "WinUpdName", nameContains)};
}

// The snapshots that have a program or update passing has, from the counts the batch kept (when
// they are current).
std::optional<std::unordered_set<std::int64_t>> keptSnapshots(db::Connection& connection, TallyKind kind,
                                                             const std::function<bool(const ResultRow&)>& has) {
  const std::optional<FleetCounts> counts = currentFleetCounts(connection, kind, has);
  if (!counts) return std::nullopt;
  std::unordered_set<std::int64_t> rnos;
  for (const auto& [key, group] : counts->exact[static_cast<std::size_t>(kind)])
    if (has(group.values)) rnos.insert(group.rnos.begin(), group.rnos.end());
  return rnos;
}

// Equal as the NOCASE columns compare with IS: NULL only to NULL.
bool sameNoCase(const db::Value& a, const db::Value& b) {
  return a.isNull() ? b.isNull() : !b.isNull() && text::equalsNoCase(a.text(), b.text());
}

ResultRows computersWithSoftware(db::Connection& connection, std::string_view nameContains,
                                  const std::optional<std::string>& version, bool having) {
  db::ReadTransaction oneState(connection);
  const auto has = [&](const ResultRow& program) {
    return !program[0].isNull() && containsNoCase(program[0].text(), nameContains) &&
           (!version || (!program[1].isNull() && text::equalsNoCase(program[1].text(), *version)));
  };
  const Sides side = having ? Sides::Having : Sides::Lacking;
  const auto wantedSide = [having](std::pair<ResultRows, ResultRows> split) { return std::move(having ? split.first : split.second); };
  if (auto rnos = keptSnapshots(connection, TallyKind::Software, has)) return wantedSide(computersSplitBy(connection, *rnos, side));
  return wantedSide(computersSplitBy(connection,
                                     rnosWhere(connection, "T_ApplInst", containsSql("Appl", 1) + " AND (Version = ?2 OR ?2 IS NULL)",
                                               containsPattern(nameContains), version ? db::Value(*version) : db::Value()),
                                     side));
}

namespace {

std::pair<ResultRows, ResultRows> computersSplitByProgram(db::Connection& connection, const db::Value& appl,
                                                          const db::Value& version, Sides wanted) {
  db::ReadTransaction oneState(connection);
  const auto has = [&](const ResultRow& program) { return sameNoCase(program[0], appl) && sameNoCase(program[1], version); };
  if (auto rnos = keptSnapshots(connection, TallyKind::Software, has)) return computersSplitBy(connection, *rnos, wanted);
  return computersSplitBy(connection, rnosWhere(connection, "T_ApplInst", "Appl IS ?1 AND Version IS ?2", appl, version), wanted);
}

std::pair<ResultRows, ResultRows> computersSplitByUpdate(db::Connection& connection, std::string_view name, Sides wanted) {
  db::ReadTransaction oneState(connection);
  const auto has = [&](const ResultRow& update) { return !update[0].isNull() && text::equalsNoCase(update[0].text(), name); };
  if (auto rnos = keptSnapshots(connection, TallyKind::Updates, has)) return computersSplitBy(connection, *rnos, wanted);
  return computersSplitBy(connection, rnosWhere(connection, "T_WinUpdate", "WinUpdName = ?1 AND CAST(?2 AS text) IS NULL",
                                                std::string(name), db::Value()),
                          wanted);
}

}  // namespace

ResultRows computersWithProgram(db::Connection& connection, const db::Value& appl, const db::Value& version) {
  return computersSplitByProgram(connection, appl, version, Sides::Having).first;
}

std::pair<ResultRows, ResultRows> computersWithAndWithoutProgram(db::Connection& connection, const db::Value& appl,
                                                                 const db::Value& version) {
  return computersSplitByProgram(connection, appl, version, Sides::Both);
}

std::pair<ResultRows, ResultRows> computersWithAndWithoutUpdate(db::Connection& connection, std::string_view name) {
  return computersSplitByUpdate(connection, name, Sides::Both);
}

ResultRows computersByUpdate(db::Connection& connection, std::string_view name, bool having) {
  auto split = computersSplitByUpdate(connection, name, having ? Sides::Having : Sides::Lacking);
  return having ? std::move(split.first) : std::move(split.second);
}

}  // namespace tavrix::queries
