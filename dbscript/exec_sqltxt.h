// F_EXEC_SQLTXT: the body of a script file run statement by statement against the work database.
#pragma once

#include <string_view>

#include "batch/run_state.h"
#include "platform/line_reader.h"
#include "platform/paths.h"

namespace tavrix {

enum class StatementKind { None, Drop, TableDefinition, Execute };

// The kind of a complete statement by its first word (compared without case, with its blank).
StatementKind classifyStatement(std::string_view statement, bool* dropsTable = nullptr);

// Reads file to its end and runs its statements. Throws db::DbError when the work database cannot
// be opened at all (the caller's failure); any later failure is shown and returns true.
bool F_EXEC_SQLTXT(RunState& s, paths::LineReader& file);

}  // namespace tavrix
