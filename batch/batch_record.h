// What each batch did, kept in the inventory database itself (a table of our own, on a server
// database too) so that every reader can tell when the inventory was last brought up to date.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/db.h"

namespace tavrix {

struct BatchRecord {
  std::string finished;  // the stored date-time the import ended
  std::int64_t imported = 0, kept = 0, rejected = 0;  // CSV files: committed, left for the next run, not inventories
};

// Adds the batch's row (making the table when missing) in a transaction of its own. Throws db::DbError.
void recordBatch(db::Connection& connection, const BatchRecord& record);

// The newest batch's row; none when no batch has kept one. In the caller's read transaction.
std::optional<BatchRecord> lastBatch(db::Connection& connection);

}  // namespace tavrix
