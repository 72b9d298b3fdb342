// The software, update and computer questions, each one SQLite statement with its parameters bound.
#include "queries/fleet_queries.h"

#include <chrono>

#include "queries/group_count.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"
#include "ui/main/computer_list.h"

namespace tavrix::queries {

namespace {

constexpr const char* kComputerSelect =
    "SELECT ComputerName, UserName, OSVersion, CreateDate, PCid, RNO FROM T_BasicInf ";
// Text order ignoring ASCII case, then byte order, by computer name and then file name.
constexpr const char* kComputerOrder =
    " ORDER BY ComputerName COLLATE NOCASE, ComputerName COLLATE BINARY, PCid COLLATE NOCASE, "
    "PCid COLLATE BINARY, RNO";

ResultRow shownRow(const ResultRow& stored) {
  const ComputerListRow texts = computerListRow(stored[0], stored[1], stored[2], stored[3], stored[4], stored[5]);
  return {texts[0], texts[1], texts[2], texts[3], texts[4], stored[5]};
}

ResultTable computers(db::Connection& connection, const std::string& where, const std::vector<db::Value>& params) {
  ResultTable table{computerColumns(), {}};
  forEachRow(connection, kComputerSelect + where + kComputerOrder, params,
             [&](const ResultRow& row) { table.rows.push_back(shownRow(row)); });
  return table;
}

bool anyShownTextContains(const ResultRow& row, std::string_view part) {
  for (std::size_t c = 0; c < 5; ++c)
    if (containsNoCase(row[c].text(), part)) return true;
  return false;
}

db::Value optionalPattern(const std::optional<std::string>& part) {
  return part ? db::Value(containsPattern(*part)) : db::Value();
}

}  // namespace

const std::vector<std::string>& computerColumns() {
  static const std::vector<std::string> columns = {"ComputerName", "UserName", "OSVersion",
                                                   "CreateDate",   "PCid",     "RNO"};
  return columns;
}

ResultTable computerList(db::Connection& connection, const ListFilter& filter) {
  ResultTable table{computerColumns(), {}};
  const db::Value before = filter.createdBefore ? db::Value(*filter.createdBefore) : db::Value();
  forEachRow(connection, std::string(kComputerSelect) + "WHERE ?1 IS NULL OR CreateDate < ?1 ORDER BY RNO", {before},
             [&](const ResultRow& stored) {
               ResultRow row = shownRow(stored);
               if (!filter.contains || anyShownTextContains(row, *filter.contains)) table.rows.push_back(std::move(row));
             });
  return table;
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

// One scan of the table counted in memory: an index on the names would make the import write a
// page per row at every file's commit. Names that differ only in ASCII case are one group, as the
// NOCASE columns compare them; the group shows its smallest spelling in byte order.
ResultTable softwareSummary(db::Connection& connection, const std::optional<std::string>& nameContains) {
  GroupCounter counter(2);
  forEachStep(connection, "SELECT Appl, Version, PCid FROM T_ApplInst WHERE ?1 IS NULL OR " + containsSql("Appl", 1),
              {optionalPattern(nameContains)}, [&](sqlite3_stmt* stmt) { counter.add(stmt); });
  return {{"Appl", "Version", "Computers"}, counter.rows()};
}

ResultTable updateSummary(db::Connection& connection, const std::optional<std::string>& nameContains) {
  GroupCounter counter(1);
  forEachStep(connection,
              "SELECT WinUpdName, PCid FROM T_WinUpdate WHERE ?1 IS NULL OR " + containsSql("WinUpdName", 1),
              {optionalPattern(nameContains)}, [&](sqlite3_stmt* stmt) { counter.add(stmt); });
  return {{"WinUpdName", "Computers"}, counter.rows()};
}

ResultTable computersWithSoftware(db::Connection& connection, std::string_view nameContains,
                                  const std::optional<std::string>& version) {
  return computers(connection,
                   "WHERE RNO IN (SELECT RNO FROM T_ApplInst WHERE " + containsSql("Appl", 1) +
                       " AND (?2 IS NULL OR Version = ?2))",
                   {containsPattern(nameContains), version ? db::Value(*version) : db::Value()});
}

ResultTable computersWithProgram(db::Connection& connection, const db::Value& appl, const db::Value& version) {
  return computers(connection, "WHERE RNO IN (SELECT RNO FROM T_ApplInst WHERE Appl IS ?1 AND Version IS ?2)",
                   {appl, version});
}

// One scan of T_WinUpdate marks each computer; the marks split the list in two.
std::pair<ResultTable, ResultTable> computersWithAndWithoutUpdate(db::Connection& connection, std::string_view name) {
  std::pair<ResultTable, ResultTable> split{{computerColumns(), {}}, {computerColumns(), {}}};
  forEachRow(connection,
             "SELECT ComputerName, UserName, OSVersion, CreateDate, PCid, RNO, "
             "RNO IN (SELECT RNO FROM T_WinUpdate WHERE WinUpdName = ?1) FROM T_BasicInf" + std::string(kComputerOrder),
             {std::string(name)},
             [&](const ResultRow& row) { (row[6].toInt() ? split.first : split.second).rows.push_back(shownRow(row)); });
  return split;
}

ResultTable computersByUpdate(db::Connection& connection, std::string_view name, bool having) {
  auto split = computersWithAndWithoutUpdate(connection, name);
  return having ? std::move(split.first) : std::move(split.second);
}

}  // namespace tavrix::queries
