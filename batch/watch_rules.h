// The watch rules of Tavrix.ini's optional [Watch] section: what a batch reports about the computers
// it imported, compared with their previous kept inventories.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrix {

struct WatchRules {
  std::vector<std::string> programAdded;    // PROGRAM_ADDED: texts the name contains ("*": any)
  std::vector<std::string> programRemoved;  // PROGRAM_REMOVED
  bool adminAdded = false;                  // ADMIN_ADDED: a new member of the local Administrators
  bool updateRemoved = false;               // UPDATE_REMOVED
  std::optional<int> diskFreeBelow;         // DISK_FREE_BELOW: percent free on a fixed drive
  std::optional<int> notSeenDays;           // NOT_SEEN_DAYS
  bool ipChanged = false;                   // IP_CHANGED
  std::string mailTo;                       // MAIL_TO
  bool any() const;
};

// The rules of [Watch] in the ini at path (none set when the section is missing). A value that does
// not read sets problem to the key and why, as a settings error says it, and the rules are empty.
WatchRules readWatchRules(const std::string& path, std::string& problem);

}  // namespace tavrix
