// The load sequence as a whole: tree order, failures that let the load go on, the connection left closed.
#include "ui/detail/detail_load.h"

#include <gtest/gtest.h>

#include "batch/database.h"
#include "tests/views/inventory_db.h"

namespace tavrix::test {
namespace {

std::vector<std::string> topLevelKeys(const DetailTree& tree) {
  std::vector<std::string> keys;
  for (const DetailNode& node : tree.nodes())
    if (node.parent < 0) keys.push_back(node.key);
  return keys;
}

// One row in every detail table, and a host name: every top-level node appears.
int addFullComputer(InventoryDb& db) {
  int rno = db.addComputer({{"OSVersionID", 500}, {"NIC_HostName", "pc01"}});
  db.addRow("T_Device", rno, {{"DeviceT", "デバイス"}, {"DeviceName", "Display"}, {"deviceNo", "1"}});
  db.addRow("T_WinUpdate", rno, {{"TypeNo", "1"}, {"WinUpdName", "SP2"}});
  db.addRow("T_WinUpdate", rno, {{"TypeNo", "2"}, {"WinUpdName", "KB1"}});
  db.addRow("T_WinUpdate", rno, {{"TypeNo", "3"}, {"WinUpdName", "IE6"}});
  db.addRow("T_Drive", rno, {{"DriveLetter", "C"}, {"FileSystem", ""}});
  db.addRow("T_Video", rno, {{"VideoNo", "1"}});
  db.addRow("T_Printer", rno, {{"PrinterName", "LP-1"}});
  db.addRow("T_NIC", rno, {{"NICno", 1}, {"Name", "LAN"}});
  db.addRow("T_Users", rno, {{"Group", "Users"}, {"Users", "PC01\\a"}, {"User", "a"}});
  db.addRow("T_ApplInst", rno, {{"Appl", "Word"}});
  db.addRow("T_StartUp", rno, {{"StartType", "Run"}});
  db.addRow("T_Service", rno, {{"ServiceName", "Alerter"}});
  return rno;
}

TEST(DetailLoad, TopLevelNodesInTreeOrder) {
  InventoryDb db;
  struct Case {
    const char* name;
    int rno;
    std::vector<std::string> keys;
  };
  int full = addFullComputer(db);
  int bare = db.addComputer({{"OSVersionID", 200}});
  int bareWithHost = db.addComputer({{"OSVersionID", 500}, {"NIC_HostName", "pc02"}, {"NIC_DomainName", "x"}});
  const std::vector<Case> cases = {
      {"every section", full,
       {"PCid", "ComputerName", "UserName", "OSVersion", "CPU", "Memory", "Device", "Vrus", "DirSys", "WinUpd",
        "WinHot", "IE", "Drice", "Video", "Printer", "NetWork", "NIC", "Groups", "Users", "ApplInst", "StartUp",
        "Service"}},
      {"no detail rows, test fails", bare,
       {"PCid", "ComputerName", "UserName", "OSVersion", "CPU", "Memory", "Vrus", "DirSys", "NIC"}},
      {"no detail rows, host name, test passes", bareWithHost,
       {"PCid", "ComputerName", "UserName", "OSVersion", "CPU", "Memory", "Vrus", "DirSys", "NetWork", "NIC",
        "Groups", "Users"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewRun run(db);
    run.s.CurrentRno = c.rno;
    DetailTree tree = loadDetailTree(run.s);
    EXPECT_EQ(topLevelKeys(tree), c.keys);
    EXPECT_EQ(run.sink.texts(), std::vector<std::string>{});
    EXPECT_FALSE(run.s.DbOpen);
    EXPECT_FALSE(run.s.DbConnection.isOpen());
  }
}

TEST(DetailLoad, AnOpenConnectionIsUsedAndClosed) {
  InventoryDb db;
  int rno = db.addComputer({{"ComputerNameT", "名前"}, {"ComputerName", "PC-01"}});
  ViewRun run(db);
  ASSERT_FALSE(F_OPEN_DB(run.s));
  ASSERT_TRUE(run.s.DbOpen);
  run.s.CurrentRno = rno;
  DetailTree tree = loadDetailTree(run.s);
  EXPECT_EQ(sectionLines(tree, "ComputerName"), std::vector<std::string>{"名前" + B(5) + ": PC-01"});
  EXPECT_FALSE(run.s.DbOpen);
  EXPECT_EQ(txtRnoText(run.s), std::to_string(rno));
}

TEST(DetailLoad, FailuresAreShownAndTheLoadGoesOn) {
  struct Case {
    const char* name;
    std::string mdbName;     // "" keeps the test database
    const char* dropTable;   // table removed before the load, or nullptr
    int rno;                 // 0 = the computer added
    std::vector<std::string> messages;
    std::size_t topLevel;
  };
  const std::vector<Case> cases = {
      {"database missing", "missing.db", nullptr, 0, {"Cant DB Open "}, 9},
      {"no such computer", "", nullptr, 999, {"No T_BasicInf row for RNO=999"}, 9},
      {"a table is missing", "", "T_Printer", 0, {"no such table: T_Printer"}, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InventoryDb db;
    int rno = db.addComputer({{"OSVersionID", 500}});
    if (c.dropTable) db.execute(std::string("DROP TABLE ") + c.dropTable);
    ViewRun run(db);
    if (!c.mdbName.empty()) run.s.MDB_NAME = c.mdbName;
    run.s.CurrentRno = c.rno ? c.rno : rno;
    DetailTree tree = loadDetailTree(run.s);
    EXPECT_EQ(run.sink.texts(), c.messages);
    EXPECT_EQ(topLevelTexts(tree).size(), c.topLevel);
    EXPECT_FALSE(run.s.DbOpen);
  }
}

}  // namespace
}  // namespace tavrix::test
