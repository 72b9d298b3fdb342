// The section of the detail tree each inventory table shows in, named in the tree's own words, so
// a search's answer says "ＮＩＣカード" where the table is T_NIC.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "searchindex/searched_fields.h"

namespace tavrix::queries {

struct TableSection {
  std::string table;
  std::string section;
};

// The inventory's twelve tables in the tree's order. The tree's fixed labels without their colon;
// names of our own where the tree has no fixed label (T_BasicInf's lines, the devices' label from
// the inventory itself, T_WinUpdRegCheck that the tree does not show).
const std::vector<TableSection>& tableSections();

// The section of a table; another table (only another program adds one) is its own section.
std::string sectionOf(std::string_view table);

// The sections of the searched tables: those of the tree in its order, then any other table.
std::vector<TableSection> sectionsIn(const std::vector<searchindex::SearchedTable>& tables);

// The searched table a section is: given by its section name or by its table name (letter case
// ignored). None when no searched table is that section.
std::optional<std::string> tableOfSection(const std::vector<searchindex::SearchedTable>& tables, std::string_view name);

}  // namespace tavrix::queries
