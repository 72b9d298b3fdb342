// A real inventory database in a temporary folder, with rows put in by prepared statements.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "batch/run_state.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/message_sink.h"
#include "tests/support/test_support.h"
#include "ui/detail/detail_tree.h"

namespace tavrix::test {

using Fields = std::vector<std::pair<std::string, db::Value>>;

// n blanks: expected lines spell out their blanks with it.
inline std::string B(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

class InventoryDb {
 public:
  InventoryDb();
  const std::string& folder() const { return dir_.path(); }
  std::string path() const { return dir_.file("inventory.db"); }

  // Adds a T_BasicInf row (PCid PC01, CreateDate 2004-10-24 09:05:30 unless given) and returns its RNO.
  int addComputer(const Fields& fields = {});
  // Adds a detail row of rno to table; RNO, PCid and CreateDate are filled in.
  void addRow(const std::string& table, int rno, const Fields& fields);
  // Runs one SQLite statement on the file.
  void execute(const std::string& sql);

 private:
  void insert(const std::string& table, const Fields& fields);
  TempDir dir_;
  db::Connection connection_;
};

// A run state whose MDB_DIR and MDB_NAME point at the database, with recorded messages.
struct ViewRun {
  explicit ViewRun(const InventoryDb& db);
  RecordingMessageSink sink;
  FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  RunState s{sink, clock};
};

// The lines of the top-level node keyed key and everything under it, indented two blanks per level
// below it; empty when the tree has no such top-level node.
std::vector<std::string> sectionLines(const DetailTree& tree, const std::string& key);
// The texts of the top-level nodes, in order.
std::vector<std::string> topLevelTexts(const DetailTree& tree);

// One computer put into the database, and the lines its tree must show.
struct TreeCase {
  const char* name;
  Fields basic;                                              // T_BasicInf fields
  std::vector<std::pair<std::string, Fields>> rows;          // detail table, row
  std::vector<std::string> sections;                         // top-level keys compared
  std::vector<std::string> lines;                            // their lines, in display order
  std::vector<std::string> messages = {};                    // message boxes of the load
};
// Adds each case as a new computer, loads its tree and compares lines and messages.
void checkTreeCases(InventoryDb& db, const std::vector<TreeCase>& cases);

}  // namespace tavrix::test
