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

std::optional<double> sizeInMegabytes(std::string_view text) {
  text = text::trim(text);
  std::size_t digits = 0;
  bool point = false;
  while (digits < text.size() && (std::isdigit(static_cast<unsigned char>(text[digits])) || (text[digits] == '.' && !point))) {
    point = point || text[digits] == '.';
    ++digits;
  }
  if (digits == 0 || text.substr(0, digits) == ".") return std::nullopt;
  const double number = std::strtod(std::string(text.substr(0, digits)).c_str(), nullptr);
  const std::string unit = text::toUpperAscii(std::string(text::trim(text.substr(digits))));
  static const std::map<std::string, double> kUnits = {{"", 1.0 / (1 << 20)}, {"B", 1.0 / (1 << 20)}, {"BYTES", 1.0 / (1 << 20)},
                                                        {"KB", 1.0 / 1024}, {"MB", 1}, {"GB", 1024}, {"TB", 1024.0 * 1024}};
  const auto found = kUnits.find(unit);
  if (found == kUnits.end()) return std::nullopt;
  return number * found->second;
}

std::int64_t memoryClassOf(std::optional<std::string_view> size) {
  const std::optional<double> megabytes = size ? sizeInMegabytes(*size) : std::nullopt;
  if (!megabytes || *megabytes < 1) return -1;
  return std::int64_t{1} << static_cast<int>(std::floor(std::log2(*megabytes) + 1e-9));
}

NearlyFullDrives nearlyFullDrives(db::Connection& connection, int percent) {
  NearlyFullDrives full;
  forEachStep(connection, "SELECT RNO, AllSpace, FreeSpace FROM T_Drive WHERE DriveType = ?1", {db::Value(kFixedDrive)},
              [&](const db::RowView& row) {
                const std::optional<double> all = sizeInMegabytes(row.text(1)), free = sizeInMegabytes(row.text(2));
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
