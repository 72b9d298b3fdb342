// The load sequence as a whole: top-level order, failures that let the load go on, the connection left closed.
#include <gtest/gtest.h>

#include <functional>

#include "batch/database.h"
#include "tests/views/inventory_db.h"
#include "ui/detail/detail_load.h"

namespace tavrix::test {
namespace {

std::vector<std::string> basicKeysAnd(std::vector<std::string> more) {
  more.insert(more.begin(), {"PCid", "ComputerName", "UserName", "OSVersion", "CPU", "Memory"});
  return more;
}

TEST(DetailLoad, TopLevelOrderAndFailures) {
  struct Case {
    const char* name;
    Fields basic;
    Rows rows;
    std::function<void(InventoryDb&, RunState&)> before;
    std::vector<std::string> keys;
    std::vector<std::string> messages = {};
  };
  const Rows everyTable = {
      {"T_Device", {{"DeviceT", "デバイス"}, {"DeviceName", "Display"}, {"deviceNo", "1"}}},
      {"T_WinUpdate", {{"TypeNo", "1"}}}, {"T_WinUpdate", {{"TypeNo", "2"}}}, {"T_WinUpdate", {{"TypeNo", "3"}}},
      {"T_Drive", {{"DriveLetter", "C"}}}, {"T_Video", {{"VideoNo", "1"}}}, {"T_Printer", {{"PrinterName", "LP"}}},
      {"T_NIC", {{"NICno", 1}}}, {"T_Users", {{"Group", "G"}, {"Users", "PC01\\a"}, {"User", "a"}}},
      {"T_ApplInst", {{"Appl", "Word"}}}, {"T_StartUp", {{"StartType", "Run"}}}, {"T_Service", {{"ServiceName", "S"}}}};
  const auto nothing = [](InventoryDb&, RunState&) {};
  const auto bare = basicKeysAnd({"Vrus", "DirSys", "NIC"});
  const std::vector<Case> cases = {
      {"every section, connection already open", {{"OSVersionID", 500}, {"NIC_HostName", "pc01"}}, everyTable,
       [](InventoryDb&, RunState& s) { ASSERT_FALSE(F_OPEN_DB(s)); },
       basicKeysAnd({"Device", "Vrus", "DirSys", "WinUpd", "WinHot", "IE", "Drice", "Video", "Printer", "NetWork",
                     "NIC", "Groups", "Users", "ApplInst", "StartUp", "Service"})},
      {"no detail rows, OS test fails", {{"OSVersionID", 200}}, {}, nothing, bare},
      {"no detail rows, host name, OS test passes", {{"OSVersionID", 500}, {"NIC_HostName", "pc02"}}, {}, nothing,
       basicKeysAnd({"Vrus", "DirSys", "NetWork", "NIC", "Groups", "Users"})},
      {"database missing", {}, {}, [](InventoryDb&, RunState& s) { s.MDB_NAME = "missing.db"; }, bare, {"Cant DB Open "}},
      {"no such computer", {}, {}, [](InventoryDb&, RunState& s) { s.CurrentRno = 999; }, bare,
       {"No T_BasicInf row for RNO=999"}},
      {"a table is missing", {{"OSVersionID", 500}}, {}, [](InventoryDb& db, RunState&) { db.execute("DROP TABLE T_Printer"); },
       basicKeysAnd({"Vrus", "DirSys", "NIC", "Groups", "Users"}), {"no such table: T_Printer"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InventoryDb db;
    ViewRun run(db, db.addComputer(c.basic, c.rows));
    c.before(db, run.s);
    const DetailTree tree = loadDetailTree(run.s);
    std::vector<std::string> keys;
    for (const DetailNode& node : tree.nodes())
      if (node.parent < 0) keys.push_back(node.key);
    EXPECT_EQ(keys, c.keys);
    EXPECT_EQ(run.sink.texts(), c.messages);
    EXPECT_FALSE(run.s.DbOpen);
    EXPECT_FALSE(run.s.DbConnection.isOpen());
  }
}

}  // namespace
}  // namespace tavrix::test
