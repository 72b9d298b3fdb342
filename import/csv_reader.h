// F06_READ_CSV: reads one inventory CSV, in the header pass or in the full pass.
#pragma once

#include <string_view>

#include "batch/run_state.h"
#include "import/inventory_lines.h"
#include "platform/line_reader.h"

namespace tavrix {

// Reads CSV_DIR + CurrentCsvFile. CR LF, LF and CR end lines; a line over 1 MiB is skipped and
// logged. Mode "first" looks only for the header line (CurrentHeaderFound, QuilloVer,
// CurrentCreateDate) and for a UTF-8 file (CurrentCsvUtf8); any other mode reads every line into
// BasicInfo and NicAdapters, hands detail lines to their importers and ends with F_IMP_NIC, and
// stops at the first failed database step (FileFailure).
// A failed line step is logged as "F06_READ_CSV: " + description and reading goes on.
// True when the file could not be opened or read; that is logged once and kept in FileFailure.
bool F06_READ_CSV(RunState& s, std::string_view mode);
// The same over the file's bytes read ahead, when it holds them (FileBytes::held); else from disk.
// The full pass takes the lines decoded ahead when they were decoded as the header pass found.
bool F06_READ_CSV(RunState& s, std::string_view mode, const paths::FileBytes& ahead,
                  const DecodedLines* decoded = nullptr);

}  // namespace tavrix
