// The batch table: one row a batch, the newest read by the overview.
#include "batch/batch_record.h"

namespace tavrix {

namespace {

constexpr const char* kBatchTable = "TavrixBatch";

}  // namespace

void recordBatch(db::Connection& connection, const BatchRecord& record) {
  connection.begin();
  try {
    if (!connection.hasTable(kBatchTable))
      connection.execute(std::string("CREATE TABLE ") + kBatchTable +
                         " (Finished TEXT NOT NULL, Imported INTEGER NOT NULL, Kept INTEGER NOT NULL, Rejected INTEGER NOT NULL)");
    db::Statement insert(connection, std::string("INSERT INTO ") + kBatchTable +
                                         " (Finished, Imported, Kept, Rejected) VALUES (?1, ?2, ?3, ?4)");
    insert.bind(1, db::Value(record.finished)).bind(2, db::Value(record.imported)).bind(3, db::Value(record.kept));
    insert.bind(4, db::Value(record.rejected)).run();
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

std::optional<BatchRecord> lastBatch(db::Connection& connection) {
  if (!connection.hasTable(kBatchTable)) return std::nullopt;
  db::Statement newest(connection, std::string("SELECT Finished, Imported, Kept, Rejected FROM ") + kBatchTable +
                                       " ORDER BY Finished DESC LIMIT 1");
  std::optional<BatchRecord> record;
  newest.forEach([&](const db::RowView& row) {
    record = BatchRecord{std::string(row.text(0)), row.integer(1), row.integer(2), row.integer(3)};
  });
  return record;
}

}  // namespace tavrix
