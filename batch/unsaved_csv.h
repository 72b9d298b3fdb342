// Inventories committed but left in the CSV folder because the save folder refused them: remembered
// beside the database (name, size, modification time, a hash of the bytes), so that the next run
// moves them without importing the same bytes again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db_location.h"
#include "platform/paths.h"

namespace tavrix {

struct UnsavedCsv {
  std::string name;          // as the file system has it
  long long size = -1;
  long long modifiedNs = 0;  // nanoseconds since the epoch
  std::uint64_t hash = 0;
  bool operator==(const UnsavedCsv&) const = default;
};

// "<database>.unsaved": one line per file, fields separated by TAB, the name last; none for a server.
std::optional<std::string> unsavedListPath(const db::Location& database);
std::vector<UnsavedCsv> readUnsavedList(const std::string& path);
// Replaces the list (written under a temporary name, then renamed); no file for an empty list.
// False when it cannot be written.
bool writeUnsavedList(const std::string& path, const std::vector<UnsavedCsv>& files);

// The record of the file at path as it is now; size -1 when it cannot be read.
UnsavedCsv unsavedRecordOf(const std::string& folder, const std::string& name);

}  // namespace tavrix
