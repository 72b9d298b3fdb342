// The list rules ride on the comparison of the history (items matched by their keys); the drive and
// address rules read the two inventories themselves.
#include "history/watch_findings.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "history/inventory_diff.h"
#include "platform/text.h"

namespace tavrix::history {
namespace {

bool named(const std::vector<std::string>& texts, std::string_view name) {
  const std::string folded = text::toLowerAscii(name);
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& t) { return t == "*" || folded.find(text::toLowerAscii(t)) != std::string::npos; });
}

bool isUpdateSection(std::string_view section) {
  return section == "Windows Update" || section == "Windows HotFix" || section == "Internet Explolor他";
}

// Free space in percent of each fixed drive whose sizes read, by drive letter.
std::map<std::string, double> fixedDrivesFree(const Inventory& inventory) {
  const DetailRows& drives = inventory.rows(DetailKind::Drive);
  const std::size_t letter = drives.index("DriveLetter"), type = drives.index("DriveType");
  const std::size_t all = drives.index("AllSpace"), free = drives.index("FreeSpace");
  std::map<std::string, double> percent;
  for (const std::vector<std::string>& row : drives.rows) {
    if (row[type] != "ローカル ディスク") continue;
    const std::optional<double> total = text::sizeInMegabytes(row[all]), left = text::sizeInMegabytes(row[free]);
    if (total && left && *total > 0 && *left <= *total) percent[text::toUpperAscii(row[letter])] = *left * 100 / *total;
  }
  return percent;
}

std::string percentText(double percent) { return std::to_string(static_cast<int>(std::floor(percent))) + "%"; }

}  // namespace

std::vector<Finding> watchFindings(const WatchRules& rules, std::string_view pcId, const Inventory& older,
                                   const Inventory& newer) {
  std::vector<Finding> found;
  const auto add = [&](const char* rule, std::string item, std::string oldValue, std::string newValue) {
    found.push_back({std::string(pcId), rule, std::move(item), std::move(oldValue), std::move(newValue)});
  };
  for (const Change& change : compareInventories(older, newer)) {
    if (change.section == "現在インストールされているプログラム") {
      if (change.sign == '+' && named(rules.programAdded, change.item)) add("PROGRAM_ADDED", change.item, "", change.newValue);
      if (change.sign == '-' && named(rules.programRemoved, change.item)) add("PROGRAM_REMOVED", change.item, change.oldValue, "");
    } else if (change.section == "グループ（ユーザー）") {
      if (rules.adminAdded && change.sign == '+' && text::equalsNoCase(change.item, "Administrators"))
        add("ADMIN_ADDED", change.item, "", change.newValue);
    } else if (isUpdateSection(change.section)) {
      if (rules.updateRemoved && change.sign == '-') add("UPDATE_REMOVED", change.item, change.oldValue, "");
    }
  }
  if (rules.diskFreeBelow) {
    const double below = *rules.diskFreeBelow;
    const std::map<std::string, double> before = fixedDrivesFree(older);
    for (const auto& [letter, percent] : fixedDrivesFree(newer)) {
      const auto was = before.find(letter);
      if (percent < below && (was == before.end() || was->second >= below))
        add("DISK_FREE_BELOW", letter + ":", was == before.end() ? "" : percentText(was->second), percentText(percent));
    }
  }
  if (rules.ipChanged)
    for (std::size_t n = 0; n < newer.adapters.size() && n < older.adapters.size(); ++n) {
      const NicAdapter &o = older.adapters[n], &a = newer.adapters[n];
      if (!o.NameT.empty() && !a.NameT.empty() && o.IPAddress != a.IPAddress)
        add("IP_CHANGED", a.Name.empty() ? std::to_string(n + 1) : a.Name, o.IPAddress, a.IPAddress);
    }
  return found;
}

}  // namespace tavrix::history
