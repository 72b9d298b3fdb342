// The changes between two inventories of one computer, section by section in the detail tree's order.
#pragma once

#include <string>
#include <vector>

#include "history/kept_inventory.h"

namespace tavrix::history {

// One change: an item added ('+', its value in newValue), removed ('-', in oldValue) or changed
// ('~', both). Sections are named as the detail tree's top-level lines show them.
struct Change {
  std::string section;
  char sign = '~';
  std::string item;
  std::string oldValue, newValue;
  bool operator==(const Change&) const = default;
};

// Basic values old -> new; list items matched by their natural key (program name, service name,
// update name, drive letter, adapter number, group and member, ...), never by line position;
// a drive's free space counts as changed when it moved by more than 10 % of the older value.
std::vector<Change> compareInventories(const Inventory& older, const Inventory& newer);

}  // namespace tavrix::history
