// The overview's figures: the computer list's columns counted in memory, drives read once, programs
// and updates from the summaries (kept counts where current), all in one read transaction.
#include "queries/fleet_overview.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "batch/batch_record.h"
#include "queries/drive_space.h"
#include "queries/fleet_queries.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

struct TextOrder {
  bool operator()(const std::string& a, const std::string& b) const { return compareText(a, b) < 0; }
};

void addRow(ResultTable& table, const char* card, std::string item, std::int64_t value, std::int64_t computers) {
  table.rows.push_back({db::Value(card), db::Value(std::move(item)), db::Value(value), db::Value(computers)});
}

// Most first, then by item.
std::vector<std::pair<std::string, std::int64_t>> byCountDown(const std::map<std::string, std::int64_t, TextOrder>& counts) {
  std::vector<std::pair<std::string, std::int64_t>> rows(counts.begin(), counts.end());
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  return rows;
}

void computersByOsAndMemory(db::Connection& connection, ResultTable& table) {
  std::map<std::string, std::int64_t, TextOrder> systems;
  std::map<std::int64_t, std::int64_t> memory;  // class in megabytes, -1 unknown
  std::int64_t computers = 0;
  forEachStep(connection, "SELECT OSVersion, MemorySize FROM T_BasicInf", {}, [&](const db::RowView& row) {
    ++computers;
    ++systems[std::string(row.text(0))];
    const std::optional<double> size = row.isNull(1) ? std::nullopt : sizeInMegabytes(row.text(1));
    std::int64_t shown = -1;
    if (size && *size >= 1) shown = std::int64_t{1} << static_cast<int>(std::floor(std::log2(*size) + 1e-9));
    ++memory[shown];
  });
  addRow(table, "computers", "", computers, computers);
  for (const auto& [os, count] : byCountDown(systems)) addRow(table, "os", os, count, count);
  for (const auto& [megabytes, count] : memory)
    if (megabytes > 0) addRow(table, "memory", std::to_string(megabytes) + "MB", count, count);
  if (memory.contains(-1)) addRow(table, "memory", "unknown", memory[-1], memory[-1]);
}

void nearlyFullCard(db::Connection& connection, int percent, ResultTable& table) {
  const NearlyFullDrives full = nearlyFullDrives(connection, percent);
  addRow(table, "low_disk", std::to_string(percent) + "%", full.drives, static_cast<std::int64_t>(full.computers.size()));
  if (full.unread > 0) addRow(table, "low_disk", "unknown", full.unread, static_cast<std::int64_t>(full.unreadComputers.size()));
}

void updatesMostHave(db::Connection& connection, std::int64_t computers, int percent, ResultTable& table) {
  std::vector<std::pair<std::string, std::int64_t>> lacking;
  for (const ResultRow& row : updateSummary(connection, std::nullopt).rows) {
    const std::int64_t having = row[1].toInt();
    if (having * 100 >= computers * percent && having < computers) lacking.emplace_back(row[0].text(), computers - having);
  }
  std::stable_sort(lacking.begin(), lacking.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (const auto& [name, count] : lacking) addRow(table, "missing_update", name, count, count);
}

void rarestPrograms(db::Connection& connection, int shown, ResultTable& table) {
  std::vector<ResultRow> programs = softwareSummary(connection, std::nullopt).rows;
  std::stable_sort(programs.begin(), programs.end(), [](const ResultRow& a, const ResultRow& b) { return a[2].toInt() < b[2].toInt(); });
  for (std::size_t p = 0; p < programs.size() && p < static_cast<std::size_t>(std::max(shown, 0)); ++p) {
    const ResultRow& program = programs[p];
    const std::string item = program[0].text() + (program[1].isNull() ? "" : " " + program[1].text());
    addRow(table, "rare_program", item, program[2].toInt(), program[2].toInt());
  }
}

}  // namespace

ResultTable fleetOverview(db::Connection& connection, const DateTime& now, const OverviewSettings& settings) {
  db::ReadTransaction oneState(connection);
  db::FewPagesCached readOnce(connection);  // the basic and drive tables are read whole, once
  ResultTable table{{"Card", "Item", "Value", "Computers"}, {}};
  computersByOsAndMemory(connection, table);
  const std::int64_t computers = table.rows.front()[2].toInt();
  nearlyFullCard(connection, settings.lowDiskPercent, table);
  const std::int64_t notSeen = readNumber(connection, "SELECT count(*) FROM T_BasicInf WHERE CreateDate < ?1",
                                          {db::Value(daysBefore(now, settings.notSeenDays))});
  addRow(table, "not_seen", std::to_string(settings.notSeenDays), notSeen, notSeen);
  updatesMostHave(connection, computers, settings.commonUpdatePercent, table);
  rarestPrograms(connection, settings.rarestPrograms, table);
  if (const std::optional<BatchRecord> batch = lastBatch(connection)) {
    const std::optional<DateTime> finished = DateTime::parse(batch->finished);
    table.rows.push_back({db::Value("last_batch"), db::Value("finished"),
                          db::Value(finished ? finished->minuteText() : batch->finished), db::Value()});
    for (const auto& [item, files] : {std::pair{"imported", batch->imported}, {"kept", batch->kept}, {"rejected", batch->rejected}})
      table.rows.push_back({db::Value("last_batch"), db::Value(item), db::Value(files), db::Value()});
  }
  return table;
}

}  // namespace tavrix::queries
