// A table scanned in parts at once, one connection and thread per part, so that a question over
// millions of rows uses every core. Parts end where a snapshot (one RNO) ends, so a computer's rows
// normally fall in one part.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"

namespace tavrix::queries {

struct RowidRange {
  std::int64_t first = std::numeric_limits<std::int64_t>::min();
  std::int64_t last = std::numeric_limits<std::int64_t>::max();
};

// The condition that keeps one part's rows of table (its name or alias): the file's row number
// between the parameters ?firstParameter and the one after it. A database that is not a shared
// file is read in one part: every row is kept (the two parameters still bound).
std::string inPart(const db::Connection& connection, std::string_view table, int firstParameter);

// How many parts a scan is split into: the machine's cores, at most four.
std::size_t scanPartCount();

// The table's rowids split into at most parts ranges of about equal span, each starting at a row
// whose RNO differs from the row before it; one whole range for an empty table, for one part, or
// when the connection cannot share its view (no file, or a write of its own is pending).
std::vector<RowidRange> snapshotParts(db::Connection& connection, const std::string& table, std::size_t parts);

using PartScan = std::function<void(db::Connection& connection, const RowidRange& range, std::size_t part)>;
// Calls scan for every range, all of them reading one state of the database: the first on
// connection in this thread, each other on a read-only connection to the same file in a thread of
// its own, once every part's read transaction is seen to read the state connection reads (in its
// open transaction, or in one begun here). Should a commit fall between, the parts are begun again
// (not when the caller's transaction holds the state) and at last every range is scanned in turn
// on connection. Waits for all; rethrows the first failure.
void scanParts(db::Connection& connection, const std::vector<RowidRange>& ranges, const PartScan& scan);

// Called between the state read on connection and the other parts' reads; tests commit there.
void setBeforePartsRead(std::function<void()> hook);

}  // namespace tavrix::queries
