// A database step of the current inventory failed: its snapshot must not commit.
#pragma once

#include <exception>

#include "batch/run_state.h"

namespace tavrix {

// Keeps the first cause of the current file's failure (FileFailure). A cause that makes the whole
// database unusable (held by another writer, read-only, full, damaged) also ends the import of
// every later file in this run (DatabaseFailure).
void noteImportFailure(RunState& s, const std::exception& e);

// A step of the current file has failed: the steps after it are pointless.
inline bool fileFailed(const RunState& s) { return !s.FileFailure.empty(); }

}  // namespace tavrix
