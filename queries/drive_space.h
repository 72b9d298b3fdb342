// Fixed drives and their free space, read from the texts the collector writes ("38154MB",
// text::sizeInMegabytes).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "platform/db.h"

namespace tavrix::queries {

// The memory class of a size text: the power of two of megabytes at or below it ("768MB" is in
// 512); -1 for a size that does not read as one (or is under a megabyte).
std::int64_t memoryClassOf(std::optional<std::string_view> size);

struct NearlyFullDrives {
  std::int64_t drives = 0;                        // fixed drives with less free space than the percent
  std::unordered_set<std::int64_t> computers;     // the RNOs holding one
  std::int64_t unread = 0;                        // fixed drives whose sizes do not read as sizes
  std::unordered_set<std::int64_t> unreadComputers;
};

// Every fixed drive ("ローカル ディスク") read once; in the caller's read transaction.
NearlyFullDrives nearlyFullDrives(db::Connection& connection, int percent);

}  // namespace tavrix::queries
