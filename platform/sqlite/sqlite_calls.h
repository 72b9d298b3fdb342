// The SQLite engine's own helpers over its C API, shared by the files of this folder only.
#pragma once

#include <sqlite3.h>

#include "platform/db.h"

namespace tavrix::db {

// db.h names SQLite's handles by neutral types; these convert between the two.
inline sqlite3_stmt* sq(EngineStatement* stmt) { return reinterpret_cast<sqlite3_stmt*>(stmt); }
inline sqlite3* sq(EngineDatabase* db) { return reinterpret_cast<sqlite3*>(db); }
inline EngineStatement* engine(sqlite3_stmt* stmt) { return reinterpret_cast<EngineStatement*>(stmt); }
inline EngineDatabase* engine(sqlite3* db) { return reinterpret_cast<EngineDatabase*>(db); }

// Binds value to parameter index (1-based) of stmt. With valueOutlivesStep the text is not
// copied: the caller keeps value alive until the statement is stepped and reset.
void bindValue(sqlite3_stmt* stmt, int index, const Value& value, bool valueOutlivesStep = false);
// Binds a value that refers to its text; the text is not copied and must outlive the step.
void bindValue(sqlite3_stmt* stmt, int index, const FieldRef& value);
Value columnValue(sqlite3_stmt* stmt, int column);
// Steps a statement to its end, discarding rows, then resets and unbinds it; throws DbError.
void runToEnd(sqlite3_stmt* stmt);
// The last error of a database handle, with the missing-table mark for "no such table".
DbError errorOf(sqlite3* db, int rc);

}  // namespace tavrix::db
