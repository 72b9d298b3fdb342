// Rows of a query as text, for the tests that check what was written to a database.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"

namespace tavrix::test {

// Every row of a Jet query, fields joined by "|", NULL as <null>.
inline std::vector<std::string> rowsOf(db::Connection& c, std::string_view sql) {
  std::vector<std::string> out;
  for (db::ReadOnlyRecordSet rs(c, sql); !rs.eof(); rs.moveNext()) {
    const std::vector<std::string> names = rs.fieldNames();
    std::string row;
    for (std::size_t i = 0; i < names.size(); ++i) {
      db::Value v = rs.field(names[i]);
      row += (i ? "|" : "") + (v.isNull() ? std::string("<null>") : v.text());
    }
    out.push_back(row);
  }
  return out;
}

// The same on a database file, opened for the query alone.
inline std::vector<std::string> queryRows(const std::string& dbPath, std::string_view sql) {
  db::Connection c;
  c.openPlain(dbPath);
  return rowsOf(c, sql);
}

}  // namespace tavrix::test
