// Whether a database holds every table and field the import writes.
#include "import/inventory_schema.h"

#include <algorithm>
#include <vector>

#include "import/basic_import.h"
#include "import/detail_importers.h"
#include "platform/text.h"

namespace tavrix {

std::string missingInventoryFields(db::Connection& connection) {
  auto tables = detailTableFields();
  tables.insert(tables.begin(), {"T_BasicInf", basicInfoFields()});
  std::vector<std::string> missing;
  for (const auto& [table, fields] : tables) {
    std::vector<std::string> columns;
    try {
      columns = connection.tableColumns(table);
    } catch (const db::DbError& e) {
      if (!e.missingTable()) throw;
      missing.push_back(table);
      continue;
    }
    for (const auto& field : fields) {
      bool found = std::any_of(columns.begin(), columns.end(), [&](const std::string& c) { return text::equalsNoCase(c, field); });
      if (!found) missing.push_back(table + "." + field);
    }
  }
  if (missing.empty()) return {};
  std::string list;
  for (std::size_t i = 0; i < missing.size() && i < 5; ++i) list += (i ? ", " : "") + missing[i];
  if (missing.size() > 5) list += " ...";
  return list;
}

}  // namespace tavrix
