// Dispatching a command to its question and writing the answer in the chosen format.
#include "app/report_commands.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "app/digest_mail.h"
#include "history/history_commands.h"
#include "run/watch_digest.h"
#include "queries/fleet_queries.h"
#include "queries/fleet_overview.h"
#include "queries/fleet_search.h"
#include "queries/row_output.h"
#include "queries/search_sections.h"
#include "queries/statement_rows.h"
#include "views/detail/detail_load.h"

namespace tavrix::report {

namespace {

constexpr int kFailed = 1;

// One node is one line: a TAB, CR or LF inside a node's text becomes a blank.
std::string treeText(const DetailTree& tree) {
  std::string out;
  for (const DetailLine& line : tree.displayOrder()) {
    out.append(static_cast<std::size_t>(line.depth) * 2, ' ');
    out += queries::oneLine(tree.nodes()[static_cast<std::size_t>(line.node)].text);
    out += '\n';
  }
  return out;
}

int printTree(RunState& s, int rno, const std::string& path, std::string& out) {
  if (queries::readRows(s.DbConnection, "SELECT RNO FROM T_BasicInf WHERE RNO = ?1", {rno}).empty())
    return failure("no computer with RNO " + std::to_string(rno) + " in " + path);
  s.CurrentRno = rno;
  // Lines left out by a key clash have already gone to standard error through the sink.
  out = treeText(loadDetailTree(s));
  return 0;
}

queries::ResultRows computers(db::Connection& c, const Options& o) {
  switch (o.computersBy) {
    case ComputersBy::Update: return queries::computersByUpdate(c, *o.text, true);
    case ComputersBy::MissingUpdate: return queries::computersByUpdate(c, *o.text, false);
    case ComputersBy::WithoutSoftware: return queries::computersWithSoftware(c, *o.text, o.version, false);
    case ComputersBy::Software: break;
  }
  return queries::computersWithSoftware(c, *o.text, o.version);
}

queries::ResultRows answer(RunState& s, const Options& o) {
  db::Connection& c = s.DbConnection;
  switch (o.command) {
    case Command::List: {
      queries::ListFilter filter{o.text, std::nullopt, o.lowDiskPercent};
      if (o.olderThanDays) filter.createdBefore = queries::daysBefore(s.TheClock.now(), *o.olderThanDays);
      return queries::computerList(c, filter);
    }
    case Command::Software: return queries::ResultRows(queries::softwareSummary(c, o.text));
    case Command::Updates: return queries::ResultRows(queries::updateSummary(c, o.text));
    case Command::Computers: return computers(c, o);
    case Command::Overview: {
      queries::OverviewSettings settings;
      settings.lowDiskPercent = o.lowDiskPercent.value_or(settings.lowDiskPercent);
      settings.notSeenDays = o.olderThanDays.value_or(settings.notSeenDays);
      return queries::ResultRows(queries::fleetOverview(c, s.TheClock.now(), settings));
    }
    case Command::Tree:
    case Command::Search:
    case Command::History:
    case Command::Diff:
    case Command::Changes:
    case Command::Digest: break;  // not answered from the database
  }
  return queries::ResultRows();
}

history::CommandResult historyAnswer(const Options& o, const std::string& saveFolder) {
  switch (o.command) {
    case Command::History: return history::historyCommand(saveFolder, o.pcId);
    case Command::Diff: return history::diffCommand(saveFolder, o.pcId, o.from, o.to);
    default: break;
  }
  return history::changesCommand(saveFolder, o.since);
}

// The history's rows as a result table: history's number is a number, everything else text.
queries::ResultTable resultTable(const history::ReportRows& rows) {
  queries::ResultTable table{rows.columns, {}};
  table.rows.reserve(rows.rows.size());
  const bool numbered = !rows.columns.empty() && rows.columns.front() == "No";
  for (const std::vector<std::string>& row : rows.rows) {
    queries::ResultRow& out = table.rows.emplace_back(row.begin(), row.end());
    if (numbered) out.front() = db::Value(out.front().toInt());
  }
  return table;
}

}  // namespace

int runHistoryCommand(const Options& o, const std::string& saveFolder, std::string& out) {
  const history::CommandResult result = historyAnswer(o, saveFolder);
  for (const std::string& warning : result.warnings) std::fprintf(stderr, "tavrix-report: %s\n", warning.c_str());
  if (result.failed()) return failure(result.error);
  out = queries::formatRows(resultTable(result.table), o.format);
  return 0;
}

int runDigestCommand(const Options& o, const std::string& logFolder, const std::string& mailTo, std::string& out) {
  if (o.mail && mailTo.empty()) return failure("digest --mail: Tavrix.ini has no MAIL_TO in its [Watch] section");
  std::string sinceDay;
  if (!o.since.empty()) {
    const std::optional<DateTime> since = DateTime::parse(o.since + " 00:00:00");
    if (!since || since->dayText() != o.since) return failure("digest: --since needs a date as yyyy/mm/dd: " + o.since);
    sinceDay = since->compactDay();
  }
  std::string error;
  const std::vector<DigestLine> lines = readDigest(logFolder, sinceDay, error);
  if (!error.empty()) return failure(error);
  queries::ResultTable table{{"PCid", "Rule", "Item", "Old", "New"}, {}};
  for (const DigestLine& line : lines) {
    const history::Finding& f = line.finding;
    table.rows.push_back({db::Value(f.pcId), db::Value(f.rule), db::Value(f.item), db::Value(f.oldValue), db::Value(f.newValue)});
  }
  out = queries::formatRows(table, o.format);
  if (!o.mail) return 0;
  const std::string body = std::exchange(out, {});
  // The last batch's findings once: a daily mail after a batch that found nothing sends nothing.
  if (table.rows.empty() || (o.since.empty() && lastMailedBatch(logFolder) == lines.back().batch)) return 0;
  const std::optional<DateTime> batch = DateTime::parse(lines.back().batch);
  const std::string subject = "TAVRIX 監視: " + std::to_string(table.rows.size()) + " 件の変化" +
                              (!o.since.empty() ? "（" + o.since + " から）" : batch ? "（" + batch->minuteText() + "）" : "");
  if (const std::string problem = sendMail(digestMail(mailTo, subject, body)); !problem.empty())
    return failure("digest --mail: " + problem);
  if (o.since.empty() && !rememberMailedBatch(logFolder, lines.back().batch))
    return failure("digest --mail: sent, but " + logFolder + "digest/mailed cannot be written: the next run sends it again");
  return 0;
}

int failure(const std::string& text) {
  std::fprintf(stderr, "tavrix-report: %s\n", text.c_str());
  return kFailed;
}

namespace {

// The search as asked; a --section that names no searched table fails, naming the sections there are.
int search(db::Connection& c, const Options& o, std::string& out) {
  queries::SearchText what(*o.text, o.exact, "");
  if (!o.section.empty()) {
    const std::vector<searchindex::SearchedTable> tables = searchindex::searchedTables(c);
    const std::optional<std::string> table = queries::tableOfSection(tables, o.section);
    if (!table) {
      std::string sections;
      for (const queries::TableSection& known : queries::sectionsIn(tables)) sections += (sections.empty() ? "" : ", ") + known.section;
      return failure("search --section: no section \"" + o.section + "\" (the sections: " + sections + ")");
    }
    what.table = *table;
  }
  out = queries::formatRows(queries::ResultRows(queries::searchInventory(c, what)), o.format);
  return 0;
}

}  // namespace

int runCommand(RunState& s, const Options& o, const std::string& databasePath, std::string& out) {
  if (o.command == Command::Tree) return printTree(s, o.rno, databasePath, out);
  if (o.command == Command::Search) return search(s.DbConnection, o, out);
  out = queries::formatRows(answer(s, o), o.format);
  return 0;
}

}  // namespace tavrix::report
