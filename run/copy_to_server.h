// tavrix --copy-to: the inventory database file that Tavrix.ini names, copied whole into an empty
// database on a server, so that setting DB_SERVER switches over.
#pragma once

#include <cstdio>
#include <string>

#include "batch/run_state.h"

namespace tavrix {

// Copies every table of the file (T_Version among them) with every row, each table's counter where
// the file's stood and the file's indexes, in one transaction; the import's indexes are made as for
// a batch. Progress goes to progress, one line per table. Takes the batch lock; refuses a server
// database that holds inventory tables already. Ok, or ConfigurationError with one message (which
// never quotes the connection string) and nothing written.
ExitStatus copyToServer(RunState& s, const std::string& connection, std::FILE* progress);

}  // namespace tavrix
