// The comparison's building blocks and its section steps, shared by the files of the comparison.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "history/inventory_diff.h"

namespace tavrix::history::diff {

// One item of a list section: matched by key, shown as label, compared by value.
struct Item {
  std::string key, label, value;
};

// The changes of one comparison, in the order they are added.
class Changes {
 public:
  // A '~' change when the two values differ.
  void value(const std::string& section, const std::string& item, const std::string& older, const std::string& newer);
  // Items of equal key and value cancel out; what is left of one key pairs up as '~' changes, the
  // rest are '-' and '+'. The rows come in the order of the keys (ASCII case ignored).
  void list(const std::string& section, std::vector<Item> older, std::vector<Item> newer);
  void add(Change change) { rows_.push_back(std::move(change)); }
  std::vector<Change> take() { return std::move(rows_); }

 private:
  std::vector<Change> rows_;
};

// The texts that are not empty, joined by one blank.
std::string joinNonEmpty(std::initializer_list<std::string_view> texts);
// The first text that is not empty, or the last one.
std::string firstNonEmpty(std::initializer_list<std::string_view> texts);
// Keys in the order the tree sorts its rows: ASCII case ignored, then byte order.
bool keyLess(std::string_view a, std::string_view b);

// Section steps, in the order of the detail tree.
void compareBasicLines(const Inventory& o, const Inventory& n, Changes& out);
void compareDevices(const Inventory& o, const Inventory& n, Changes& out);
void compareAntiVirus(const Inventory& o, const Inventory& n, Changes& out);
void compareDirectories(const Inventory& o, const Inventory& n, Changes& out);
void compareUpdates(const Inventory& o, const Inventory& n, Changes& out);
void compareDrives(const Inventory& o, const Inventory& n, Changes& out);
void compareDisplays(const Inventory& o, const Inventory& n, Changes& out);
void comparePrinters(const Inventory& o, const Inventory& n, Changes& out);
void compareNetwork(const Inventory& o, const Inventory& n, Changes& out);
void compareAdapters(const Inventory& o, const Inventory& n, Changes& out);
void compareGroups(const Inventory& o, const Inventory& n, Changes& out);
void comparePrograms(const Inventory& o, const Inventory& n, Changes& out);
void compareStartUp(const Inventory& o, const Inventory& n, Changes& out);
void compareServices(const Inventory& o, const Inventory& n, Changes& out);

}  // namespace tavrix::history::diff
