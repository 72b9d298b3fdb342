// What the watch rules find between a computer's previous kept inventory and its newest one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "batch/watch_rules.h"
#include "history/kept_inventory.h"

namespace tavrix::history {

// One finding: the computer, the rule's key (PROGRAM_ADDED, ...), the item and its two values.
struct Finding {
  std::string pcId, rule, item, oldValue, newValue;
  bool operator==(const Finding&) const = default;
};

// PROGRAM_ADDED / PROGRAM_REMOVED (a program by name, its version as the value), ADMIN_ADDED (a member
// of the local Administrators group), UPDATE_REMOVED, DISK_FREE_BELOW (a fixed drive that fell under
// the percent, "9%"), IP_CHANGED (an adapter's address); the list rules in the detail tree's order
// of sections, then the drives, then the addresses.
std::vector<Finding> watchFindings(const WatchRules& rules, std::string_view pcId, const Inventory& older,
                                   const Inventory& newer);

}  // namespace tavrix::history
