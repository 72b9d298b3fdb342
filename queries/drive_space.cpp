// Reading the collector's drive sizes, and the fixed drives nearly full.
#include "queries/drive_space.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/text.h"
#include "queries/statement_rows.h"

namespace tavrix::queries {

namespace {

constexpr const char* kFixedDrive = "ローカル ディスク";

}  // namespace

std::int64_t memoryClassOf(std::optional<std::string_view> size) {
  const std::optional<double> megabytes = size ? text::sizeInMegabytes(*size) : std::nullopt;
  if (!megabytes || *megabytes < 1) return -1;
  return std::int64_t{1} << static_cast<int>(std::floor(std::log2(*megabytes) + 1e-9));
}

NearlyFullDrives nearlyFullDrives(db::Connection& connection, int percent) {
  NearlyFullDrives full;
  forEachStep(connection, "SELECT RNO, AllSpace, FreeSpace FROM T_Drive WHERE DriveType = ?1", {db::Value(kFixedDrive)},
              [&](const db::RowView& row) {
                const std::optional<double> all = text::sizeInMegabytes(row.text(1)), free = text::sizeInMegabytes(row.text(2));
                if (!all || !free || *all <= 0 || *free > *all) {
                  ++full.unread;
                  full.unreadComputers.insert(row.integer(0));
                } else if (*free * 100 < *all * percent) {
                  ++full.drives;
                  full.computers.insert(row.integer(0));
                }
              });
  return full;
}

}  // namespace tavrix::queries
