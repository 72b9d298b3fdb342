// F_OPEN_DB, closeDbConnection and F_COMPACT_MDB on real files.
#include "batch/database.h"

#include <filesystem>

#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

class DatabaseTest : public test::ScriptFixture {};

TEST_F(DatabaseTest, OpenOnlyOnceAndOnlyARealDatabase) {
  state.MDB_NAME = "Tavrix.mdb";
  EXPECT_TRUE(F_OPEN_DB(state));  // missing
  EXPECT_FALSE(state.DbOpen);
  EXPECT_FALSE(std::filesystem::exists(state.MDB_DIR + "Tavrix.mdb"));
  db::createDatabase(state.MDB_DIR + "Tavrix.mdb");
  EXPECT_FALSE(F_OPEN_DB(state));
  EXPECT_TRUE(state.DbOpen);
  state.MDB_NAME = "other.mdb";  // an open connection is not touched
  EXPECT_FALSE(F_OPEN_DB(state));
  EXPECT_EQ(state.DbConnection.path(), state.MDB_DIR + "Tavrix.mdb");
  closeDbConnection(state);
  EXPECT_FALSE(state.DbOpen);
  EXPECT_FALSE(state.DbConnection.isOpen());

  test::writeFile(state.MDB_DIR + "text.mdb", "not a database, only a little text written by the test\n");
  for (const char* name : {"", "text.mdb", "missing.mdb"}) {
    state.MDB_NAME = name;
    EXPECT_TRUE(F_OPEN_DB(state)) << name;
    EXPECT_FALSE(state.DbOpen) << name;
  }
  state.MDB_NAME = "Tavrix.mdb";  // a failed open leaves the way open for the next
  EXPECT_FALSE(F_OPEN_DB(state));
  closeDbConnection(state);
}

TEST_F(DatabaseTest, CompactionWritesTheNameWithoutItsMark) {
  state.ScriptMdbName = "@Tavrix.mdb";
  db::createDatabase(state.MDB_DIR + "@Tavrix.mdb");
  EXPECT_FALSE(F_COMPACT_MDB(state));
  EXPECT_EQ(entries(state.MDB_DIR), (std::vector<std::string>{"@Tavrix.mdb", "Tavrix.mdb"}));
  std::string before = test::readFile(state.MDB_DIR + "Tavrix.mdb");
  EXPECT_TRUE(F_COMPACT_MDB(state));  // destination exists
  EXPECT_EQ(test::readFile(state.MDB_DIR + "Tavrix.mdb"), before);

  state.ScriptMdbName = "";  // no script ran
  EXPECT_TRUE(F_COMPACT_MDB(state));
  state.ScriptMdbName = "@missing.mdb";
  EXPECT_TRUE(F_COMPACT_MDB(state));
  EXPECT_EQ(entries(state.MDB_DIR), (std::vector<std::string>{"@Tavrix.mdb", "Tavrix.mdb"}));
}

}  // namespace
}  // namespace tavrix
