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

// The figures and, beside each, what its computers are.
struct Figures {
  ResultTable& table;
  std::vector<OverviewItem>* items;
  void add(const char* card, std::string item, std::int64_t value, std::optional<std::int64_t> computers,
           db::Value key = {}, db::Value version = {}) {
    table.rows.push_back({db::Value(card), db::Value(std::move(item)), db::Value(value),
                          computers ? db::Value(*computers) : db::Value()});
    if (items) items->push_back({card, std::move(key), std::move(version)});
  }
};

// Most first, then by item.
std::vector<std::pair<std::string, std::int64_t>> byCountDown(const std::map<std::string, std::int64_t, TextOrder>& counts) {
  std::vector<std::pair<std::string, std::int64_t>> rows(counts.begin(), counts.end());
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  return rows;
}

void computersByOsAndMemory(db::Connection& connection, Figures& table) {
  std::map<std::string, std::int64_t, TextOrder> systems;
  std::map<std::int64_t, std::int64_t> memory;  // class in megabytes, -1 unknown
  std::int64_t computers = 0;
  forEachStep(connection, "SELECT OSVersion, MemorySize FROM T_BasicInf", {}, [&](const db::RowView& row) {
    ++computers;
    ++systems[std::string(row.text(0))];
    ++memory[memoryClassOf(row.isNull(1) ? std::nullopt : std::optional(row.text(1)))];
  });
  table.add("computers", "", computers, computers);
  for (const auto& [os, count] : byCountDown(systems)) table.add("os", os, count, count, db::Value(os));
  for (const auto& [megabytes, count] : memory)
    if (megabytes > 0) table.add("memory", std::to_string(megabytes) + "MB", count, count, db::Value(megabytes));
  if (memory.contains(-1)) table.add("memory", "unknown", memory[-1], memory[-1], db::Value(std::int64_t{-1}));
}

void nearlyFullCard(db::Connection& connection, int percent, Figures& table) {
  const NearlyFullDrives full = nearlyFullDrives(connection, percent);
  table.add("low_disk", std::to_string(percent) + "%", full.drives, static_cast<std::int64_t>(full.computers.size()),
            db::Value(std::int64_t{percent}));
  if (full.unread > 0)
    table.add("low_disk", "unknown", full.unread, static_cast<std::int64_t>(full.unreadComputers.size()),
              db::Value(std::int64_t{percent}), db::Value("unknown"));
}

void updatesMostHave(db::Connection& connection, std::int64_t computers, int percent, Figures& table) {
  std::vector<std::pair<std::string, std::int64_t>> lacking;
  for (const ResultRow& row : updateSummary(connection, std::nullopt).rows) {
    const std::int64_t having = row[1].toInt();
    if (having * 100 >= computers * percent && having < computers) lacking.emplace_back(row[0].text(), computers - having);
  }
  std::stable_sort(lacking.begin(), lacking.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (const auto& [name, count] : lacking) table.add("missing_update", name, count, count, db::Value(name));
}

void rarestPrograms(db::Connection& connection, int shown, Figures& table) {
  std::vector<ResultRow> programs = softwareSummary(connection, std::nullopt).rows;
  std::stable_sort(programs.begin(), programs.end(), [](const ResultRow& a, const ResultRow& b) { return a[2].toInt() < b[2].toInt(); });
  for (std::size_t p = 0; p < programs.size() && p < static_cast<std::size_t>(std::max(shown, 0)); ++p) {
    const ResultRow& program = programs[p];
    const std::string item = program[0].text() + (program[1].isNull() ? "" : " " + program[1].text());
    table.add("rare_program", item, program[2].toInt(), program[2].toInt(), program[0], program[1]);
  }
}

}  // namespace

ResultTable fleetOverview(db::Connection& connection, const DateTime& now, const OverviewSettings& settings,
                          std::vector<OverviewItem>* items) {
  db::ReadTransaction oneState(connection);
  db::FewPagesCached readOnce(connection);  // the basic and drive tables are read whole, once
  ResultTable table{{"Card", "Item", "Value", "Computers"}, {}};
  if (items) items->clear();
  Figures figures{table, items};
  computersByOsAndMemory(connection, figures);
  const std::int64_t computers = table.rows.front()[2].toInt();
  nearlyFullCard(connection, settings.lowDiskPercent, figures);
  const std::int64_t notSeen = readNumber(connection, "SELECT count(*) FROM T_BasicInf WHERE CreateDate < ?1",
                                          {db::Value(daysBefore(now, settings.notSeenDays))});
  figures.add("not_seen", std::to_string(settings.notSeenDays), notSeen, notSeen, db::Value(std::int64_t{settings.notSeenDays}));
  updatesMostHave(connection, computers, settings.commonUpdatePercent, figures);
  rarestPrograms(connection, settings.rarestPrograms, figures);
  if (const std::optional<BatchRecord> batch = lastBatch(connection)) {
    const std::optional<DateTime> finished = DateTime::parse(batch->finished);
    table.rows.push_back({db::Value("last_batch"), db::Value("finished"),
                          db::Value(finished ? finished->minuteText() : batch->finished), db::Value()});
    if (items) items->push_back({"last_batch", {}, {}});
    for (const auto& [item, files] : {std::pair{"imported", batch->imported}, {"kept", batch->kept}, {"rejected", batch->rejected}})
      figures.add("last_batch", item, files, std::nullopt);
  }
  return table;
}

ResultRows overviewComputers(db::Connection& connection, const DateTime& now, const OverviewItem& item) {
  ListFilter filter;
  if (item.card == "os") filter.osVersion = item.key.text();
  else if (item.card == "memory") filter.memoryClass = item.key.toInt();
  else if (item.card == "low_disk") filter.lowDiskPercent = static_cast<int>(item.key.toInt()), filter.unreadableDrives = !item.version.isNull();
  else if (item.card == "not_seen") filter.createdBefore = daysBefore(now, static_cast<int>(item.key.toInt()));
  else if (item.card == "missing_update") return computersByUpdate(connection, item.key.text(), false);
  else if (item.card == "rare_program") return computersWithProgram(connection, item.key, item.version);
  else if (item.card != "computers") return ResultRows(computerColumns());
  return computerList(connection, filter);
}

}  // namespace tavrix::queries
