// The rows of the history commands (history, diff, changes), for the report tool and the windows:
// the callers only parse arguments and print.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/kept_files.h"

namespace tavrix::history {

struct ReportRows {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

struct CommandResult {
  ReportRows table;
  std::vector<std::string> warnings;  // one line each, naming a kept file that was skipped
  std::string error;                  // not empty: the command failed, one line for standard error
  bool failed() const { return !error.empty(); }
};

// No, CreateDate ("yyyy/mm/dd hh:nn" from the header), File (relative to the save folder): one row
// per kept inventory of pcId, newest first, numbered from 1.
CommandResult historyCommand(const std::string& saveFolder, std::string_view pcId);

// section, change ("+", "-" or "~"), item, old, new: the changes from inventory from to inventory
// to, each given as "yyyy/mm/dd hh:nn" or as history's number (1 = newest). An empty from is "2",
// an empty to "1": the two newest.
CommandResult diffCommand(const std::string& saveFolder, std::string_view pcId, std::string_view from = "",
                          std::string_view to = "");

// PCid, then diff's columns: for every computer with a kept inventory dated since ("yyyy/mm/dd") or
// later, its changes from the inventory in force before that day (or, for a computer first seen
// since, its first inventory) to its newest.
CommandResult changesCommand(const std::string& saveFolder, std::string_view since);

// The position in newestFirst of the inventory that choice names; -1 with error set when it names none.
int pickInventory(const std::vector<KeptFile>& newestFirst, std::string_view choice, std::string& error);

}  // namespace tavrix::history
