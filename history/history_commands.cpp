// The rows of the history commands (history, diff, changes).
#include "history/history_commands.h"

#include <algorithm>

#include "history/inventory_diff.h"
#include "history/kept_inventory.h"

namespace tavrix::history {
namespace {

const std::vector<std::string> kDiffColumns = {"section", "change", "item", "old", "new"};

std::vector<std::string> rowOf(const Change& c) {
  return {c.section, std::string(1, c.sign), c.item, c.oldValue, c.newValue};
}

void warnSkipped(CommandResult& result, const std::vector<std::string>& problems) {
  for (const std::string& p : problems) result.warnings.push_back("skipped " + p);
}

// The kept inventories of pcId, newest first; an error when there are none.
std::vector<KeptFile> newestFirst(const std::string& saveFolder, std::string_view pcId, CommandResult& result) {
  KeptFiles kept = findKeptInventories(saveFolder, pcId);
  warnSkipped(result, kept.problems);
  if (!kept.error.empty()) result.error = kept.error;
  else if (kept.files.empty()) result.error = "no kept inventory of " + std::string(pcId) + " in " + saveFolder;
  std::reverse(kept.files.begin(), kept.files.end());
  return std::move(kept.files);
}

// Both inventories read and compared; false with the unreadable file named in error.
bool compareFiles(const KeptFile& from, const KeptFile& to, std::vector<Change>& changes, std::string& error) {
  std::string why;
  auto older = readInventory(from.location, why);
  if (!older) {
    error = "cannot read " + from.path + ": " + why;
    return false;
  }
  auto newer = readInventory(to.location, why);
  if (!newer) {
    error = "cannot read " + to.path + ": " + why;
    return false;
  }
  changes = compareInventories(*older, *newer);
  return true;
}

bool isNumber(std::string_view s) {
  return !s.empty() && s.size() < 9 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int pickInventory(const std::vector<KeptFile>& newestFirst, std::string_view choice, std::string& error) {
  const int count = static_cast<int>(newestFirst.size());
  if (isNumber(choice)) {
    int n = std::stoi(std::string(choice));
    if (n >= 1 && n <= count) return n - 1;
    error = "no inventory number " + std::string(choice) + ": there are " + std::to_string(count) + " (1 = newest)";
    return -1;
  }
  auto date = DateTime::parse(choice);
  if (!date) {
    error = "\"" + std::string(choice) + "\" is neither a number from history nor a date yyyy/mm/dd hh:nn";
    return -1;
  }
  std::vector<int> matches;
  for (int i = 0; i < count; ++i)
    if (newestFirst[static_cast<std::size_t>(i)].createDate.minuteText() == date->minuteText()) matches.push_back(i);
  if (matches.size() == 1) return matches.front();
  if (matches.empty()) {
    error = "no kept inventory dated " + date->minuteText();
    return -1;
  }
  error = std::to_string(matches.size()) + " kept inventories are dated " + date->minuteText() + ": give a number (";
  for (std::size_t i = 0; i < matches.size(); ++i) error += (i ? ", " : "") + std::to_string(matches[i] + 1);
  error += ")";
  return -1;
}

CommandResult historyCommand(const std::string& saveFolder, std::string_view pcId) {
  CommandResult result;
  result.table.columns = {"No", "CreateDate", "File"};
  std::vector<KeptFile> files = newestFirst(saveFolder, pcId, result);
  for (std::size_t i = 0; i < files.size(); ++i)
    result.table.rows.push_back({std::to_string(i + 1), files[i].createDate.minuteText(), files[i].path});
  return result;
}

CommandResult diffCommand(const std::string& saveFolder, std::string_view pcId, std::string_view from,
                          std::string_view to) {
  CommandResult result;
  result.table.columns = kDiffColumns;
  std::vector<KeptFile> files = newestFirst(saveFolder, pcId, result);
  if (result.failed()) return result;
  if (files.size() == 1) {
    result.error = files.front().pcId + " has one kept inventory only (" + files.front().path + "): nothing to compare";
    return result;
  }
  int older = pickInventory(files, from.empty() ? "2" : from, result.error);
  if (older < 0) return result;
  int newer = pickInventory(files, to.empty() ? "1" : to, result.error);
  if (newer < 0) return result;
  std::vector<Change> changes;
  if (!compareFiles(files[static_cast<std::size_t>(older)], files[static_cast<std::size_t>(newer)], changes,
                    result.error))
    return result;
  for (const Change& c : changes) result.table.rows.push_back(rowOf(c));
  return result;
}

CommandResult changesCommand(const std::string& saveFolder, std::string_view since) {
  CommandResult result;
  result.table.columns = {"PCid"};
  result.table.columns.insert(result.table.columns.end(), kDiffColumns.begin(), kDiffColumns.end());
  auto day = DateTime::parse(since);
  if (!day) {
    result.error = "--since needs a date yyyy/mm/dd, not \"" + std::string(since) + "\"";
    return result;
  }
  *day = DateTime{day->year, day->month, day->day};
  std::vector<std::string> problems;
  std::vector<KeptFiles> computers = findKeptInventoriesSince(saveFolder, *day, problems, result.error);
  warnSkipped(result, problems);
  for (const KeptFiles& kept : computers) {
    if (kept.files.size() < 2) continue;
    std::vector<Change> changes;
    std::string error;
    if (!compareFiles(kept.files.front(), kept.files.back(), changes, error)) {
      result.warnings.push_back("skipped " + kept.files.back().pcId + ": " + error);
      continue;
    }
    for (const Change& c : changes) {
      result.table.rows.push_back(rowOf(c));
      result.table.rows.back().insert(result.table.rows.back().begin(), kept.files.back().pcId);
    }
  }
  return result;
}

}  // namespace tavrix::history
