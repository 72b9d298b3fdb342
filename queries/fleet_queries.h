// The fleet questions: which computers, which programs and updates, and where a text appears.
// Each returns whole rows in a fixed order (the computer lists compactly: they run to a fleet's
// length); text matches ignore ASCII letter case. Throw db::DbError.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/datetime.h"
#include "platform/db.h"
#include "queries/result_rows.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// ComputerName, UserName, OSVersion, CreateDate, PCid, RNO: the computer list's six columns.
const std::vector<std::string>& computerColumns();

struct ListFilter {
  std::optional<std::string> contains;       // any of the first five shown texts contains it
  std::optional<std::string> createdBefore;  // stored date-time: CreateDate earlier than this
  std::optional<int> lowDiskPercent;         // a fixed drive with less free space than this percent
  bool unreadableDrives = false;             // with lowDiskPercent: a fixed drive whose sizes do not read instead
  std::optional<std::string> osVersion;      // OSVersion exactly this text (NULL as "")
  std::optional<std::int64_t> memoryClass;   // MemorySize in this class (memoryClassOf)
};
// The computer list in database order, as the main window shows it.
ResultRows computerList(db::Connection& connection, const ListFilter& filter);
// The stored date-time days days before now, for ListFilter::createdBefore.
std::string daysBefore(const DateTime& now, int days);

// Appl, Version, Computers: distinct computers per (Appl, Version); names containing nameContains.
ResultTable softwareSummary(db::Connection& connection, const std::optional<std::string>& nameContains);
// WinUpdName, Computers: distinct computers per update name.
ResultTable updateSummary(db::Connection& connection, const std::optional<std::string>& nameContains);

// Computers with a program whose name contains nameContains (and whose Version equals version);
// with having false, every other computer.
ResultRows computersWithSoftware(db::Connection& connection, std::string_view nameContains,
                                  const std::optional<std::string>& version, bool having = true);
// Computers with exactly this program and version (a NULL version matches only NULL): one summary row.
ResultRows computersWithProgram(db::Connection& connection, const db::Value& appl, const db::Value& version);
// Those computers, and every other computer (those lacking that program and version).
std::pair<ResultRows, ResultRows> computersWithAndWithoutProgram(db::Connection& connection, const db::Value& appl,
                                                                 const db::Value& version);
// Computers that have, and those that lack, an update named exactly name (ASCII case ignored).
std::pair<ResultRows, ResultRows> computersWithAndWithoutUpdate(db::Connection& connection, std::string_view name);
// Computers that have (or, with having false, lack) an update named exactly name.
ResultRows computersByUpdate(db::Connection& connection, std::string_view name, bool having);

}  // namespace tavrix::queries
