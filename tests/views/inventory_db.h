// The view tests' fixture: a real inventory database in a temporary folder, and blank-counting text helpers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/run_state.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/message_sink.h"
#include "tests/support/server_database.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

using Fields = std::vector<std::pair<std::string, db::Value>>;
using Rows = std::vector<std::pair<std::string, Fields>>;  // detail table, row

// Expected text in which "{n}" stands for n blanks, so each blank of a line is counted in the source.
std::string blanks(std::string_view pattern);
// Lines joined by "\n", each run of two or more blanks written "{n}": a failing comparison shows counts.
std::string shown(const std::vector<std::string>& lines);

// A copy of the database that the delivered scripts build (real types, NOCASE text, indexes), or
// the tables the scripts build on a database of the suite's server.
class InventoryDb {
 public:
  explicit InventoryDb(bool onServer = false);
  const std::string& folder() const { return dir_.path(); }
  std::string path() const { return dir_.file("inventory.db"); }
  // The server database's connection string; "" for the file.
  std::string serverConnection() const { return server_ ? server_->connectionString() : ""; }
  // Adds a T_BasicInf row (PCid PC01, CreateDate 2004-10-24 09:05:30 unless given) and the detail
  // rows of that snapshot; returns its RNO.
  int addComputer(const Fields& basic = {}, const Rows& rows = {});
  void execute(const std::string& sql) { connection_.executeNative(sql); }

 private:
  void insert(const std::string& table, const Fields& fields);
  TempDir dir_;
  std::optional<ServerDatabase> server_;
  db::Connection connection_;
};

// A run state whose MDB_DIR and MDB_NAME name the database, with recorded messages.
struct ViewRun {
  ViewRun(const InventoryDb& db, int rno);
  RecordingMessageSink sink;
  FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  RunState s{sink, clock};
};

}  // namespace tavrix::test
