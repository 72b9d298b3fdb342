// What the import tells the search index, file by file: the rows it adds and the fields it sets,
// and whether the file committed (alone, or with others sharing its transaction).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/db.h"

namespace tavrix {

class ImportTexts {
 public:
  virtual ~ImportTexts() = default;
  virtual void startFile() = 0;
  // The computer's earlier snapshot is deleted and its new one not yet begun (in the file's transaction).
  virtual void earlierSnapshotDeleted() = 0;
  // A row added to table for snapshot rno: its fields' names and the values bound to them.
  virtual void rowAdded(std::string_view table, std::span<const std::string> names, std::span<const db::FieldRef> values,
                        std::int64_t rno) = 0;
  // One field of snapshot rno's row of table set to value (the basic row is filled after it is added).
  virtual void fieldSet(std::string_view table, std::string_view name, const db::Value& value, std::int64_t rno) = 0;
  // The file's rows stand in the open transaction (its savepoint kept, or its own commit next).
  virtual void fileKept() = 0;
  // The open transaction committed every file kept in it; or it rolled back, and none of them is in.
  virtual void transactionCommitted() = 0;
  virtual void transactionLost() = 0;
};

}  // namespace tavrix
