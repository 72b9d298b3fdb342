// tavrix-report's command line: the common options, the command and its own options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "queries/row_output.h"

namespace tavrix::report {

enum class Command { List, Tree, Software, Updates, Computers, Search, Overview, History, Diff, Changes, Digest };
enum class ComputersBy { Software, WithoutSoftware, Update, MissingUpdate };

struct Options {
  std::string database;  // "" = from Tavrix.ini
  std::string saveFolder;  // --save; "" = CSV_SAVE_DIR of Tavrix.ini
  queries::OutputFormat format = queries::OutputFormat::Tsv;
  bool formatGiven = false;
  bool help = false;
  Command command = Command::List;
  int rno = 0;                        // tree
  std::optional<std::string> text;    // list --filter, software/updates TEXT, search TEXT, computers TEXT/NAME
  std::optional<int> olderThanDays;   // list --older-than
  std::optional<int> lowDiskPercent;  // list --low-disk
  ComputersBy computersBy = ComputersBy::Software;
  std::optional<std::string> version; // computers --software --version
  bool exact = false;                 // search --exact: a whole value
  std::string section;                // search --section: a section or table name; "" = all
  std::string pcId;                   // history, diff
  std::string from, to;               // diff: "" = the two newest
  std::string since;                  // changes and digest --since
  bool mail = false;                  // digest --mail
};

// History, diff and changes read the kept inventories in the save folder, not the database.
bool readsSaveFolder(Command command);

// Returns "" when the arguments are usable, else what is wrong with them.
std::string parseOptions(const std::vector<std::string>& args, Options& o);

// The usage lines, each ended by "\n".
const char* usageText();

}  // namespace tavrix::report
