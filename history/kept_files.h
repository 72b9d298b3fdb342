// Finding the kept inventories in the save folder: CSV_SAVE_DIR/yyyymmdd/NAME and, for a second
// delivery of a name on one day, CSV_SAVE_DIR/yyyymmdd/hhmmss[-n]/NAME. Nothing is written.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"

namespace tavrix::history {

struct KeptFile {
  std::string path;         // relative to the save folder: "20261205/PC01.csv", "20261206/101500/PC01.csv"
  std::string location;     // the path to open: the save folder's path and the name's own bytes
  std::string pcId;         // the name before its first ".", decoded as the import decodes it
  DateTime createDate;      // the header line's date
  long long modified = 0;   // the file's time, nanoseconds since the epoch
};

struct KeptFiles {
  std::vector<KeptFile> files;        // oldest first: by header date, then file time, then path
  std::vector<std::string> problems;  // "PATH: why" for each file that cannot be read or has no header
  std::string error;                  // the save folder itself cannot be listed
};

// The kept inventories of one computer; pcId is compared without regard to ASCII case. Only the
// header of each file is read.
KeptFiles findKeptInventories(const std::string& saveFolder, std::string_view pcId);

// The kept inventories of several computers at once, each folder listed once: by their PCid
// upper-cased in ASCII (as PCids are compared), each computer's oldest first.
std::map<std::string, std::vector<KeptFile>> findKeptInventoriesOf(const std::string& saveFolder, const std::set<std::string>& pcIds,
                                                                   std::vector<std::string>& problems, std::string& error);

// For every computer with a kept inventory whose header date is at or after since: those
// inventories, oldest first, after the one in force before since (its newest dated before since,
// whatever day it was kept) when there is one; computers ordered by PCid. Earlier day folders are
// read newest first, each only for the computers whose inventory before since is not found yet: a
// file kept on a day was collected on that day or before.
std::vector<KeptFiles> findKeptInventoriesSince(const std::string& saveFolder, const DateTime& since,
                                                std::vector<std::string>& problems, std::string& error);

// "yyyymmdd"; "hhmmss" and "hhmmss-n": the names of the save folder's day and time folders. Only a
// day folder named by a real date holds kept inventories.
bool isDayFolderName(std::string_view name);
bool isRealDay(std::string_view name);
bool isTimeFolderName(std::string_view name);

}  // namespace tavrix::history
