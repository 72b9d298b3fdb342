// The searched tables and fields, read from the catalogue.
#include "searchindex/searched_fields.h"

#include <algorithm>
#include <map>

#include "platform/text.h"
#include "queries/text_match.h"

namespace tavrix::searchindex {

std::vector<SearchedTable> searchedTables(db::Connection& connection) {
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> columns;
  for (const std::string& table : connection.tableNames()) columns[table] = connection.columnsWithTypes(table);
  std::vector<SearchedTable> tables;
  for (const auto& entry : columns) {
    const std::string& table = entry.first;
    const auto& fields = entry.second;  // a lambda cannot capture a structured binding in clang 14
    auto has = [&](const char* name) {
      return std::ranges::any_of(fields, [&](const auto& f) { return text::equalsNoCase(f.first, name); });
    };
    if (!has("RNO") || !has("PCid")) continue;
    SearchedTable searched{table, {}};
    for (const auto& [name, type] : fields) {
      const bool repeatedId = table != kBasicTable && text::equalsNoCase(name, "PCid");
      if (queries::isTextType(type) && !repeatedId) searched.textFields.push_back(name);
    }
    if (!searched.textFields.empty()) tables.push_back(std::move(searched));
  }
  return tables;
}

std::string shapeOf(const std::vector<SearchedTable>& tables) {
  std::string shape;
  for (const SearchedTable& table : tables) {
    shape += table.name + ":";
    for (const std::string& field : table.textFields) shape += field + ",";
    shape += ";";
  }
  return shape;
}

}  // namespace tavrix::searchindex
