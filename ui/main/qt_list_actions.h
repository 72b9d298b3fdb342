// What the computer list's context menu does: rows as the user sees them, copied or written as CSV.
#pragma once

#include <string>
#include <vector>

#include "views/list_filter.h"

class QTreeView;
class QWidget;

namespace tavrix {

// The shown columns of the rows in the list's present order, hidden (filtered) rows left out;
// only the selected ones when selectedOnly.
std::vector<TextRow> rowsInView(const QTreeView* list, bool selectedOnly);

// Puts the selected rows on the clipboard as tab-separated lines, after the column titles withHeader.
void copySelectedRows(const QTreeView* list, bool withHeader);

// Asks for a file and writes the shown rows to it as CSV with the header line. Returns "" when
// written or cancelled, else what went wrong.
std::string exportShownRows(const QTreeView* list, QWidget* parent);

}  // namespace tavrix
