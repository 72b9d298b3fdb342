// The delivered dstrb/ scripts build the inventory database from nothing, with every field the import writes.
#include <filesystem>
#include <map>

#include "batch/database.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

using Fields = std::vector<std::string>;

const Fields kKeys = {"RNO", "PCid", "CreateDate"};

Fields withKeys(const Fields& rest) {
  Fields all = kKeys;
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

// The fields the import and the detail view use, per table.
const std::map<std::string, Fields>& inventoryTables() {
  static const std::map<std::string, Fields> tables = {
      {"T_BasicInf",
       withKeys({"QuilloVer", "ComputerNameT", "ComputerName", "UserNameT", "UserName", "OSVersionT", "OSVersion",
                 "OSVersionID", "CPUT", "CPUMHz", "CPUName", "CPUExtClockT", "CPUExtClock", "CPUL2CacheSizeT",
                 "CPUL2CacheSize", "MemoryT", "MemorySize", "VrsT", "VrsName", "VrsSoftName", "VrsVersion", "VrsDefT",
                 "VrsDef", "WinDirT", "WinDir", "SystemDirT", "SystemDir", "NIC_HostNameT", "NIC_HostName",
                 "NIC_DomainNameT", "NIC_DomainName", "NIC_DnsServerT", "NIC_DnsServer", "NIC_NodeTypeT",
                 "NIC_NodeType", "NIC_RoutingSTST", "NIC_RoutingSTS", "NIC_ProxySTST", "NIC_ProxySTS",
                 "NIC_DnsSTST", "NIC_DnsSTS"})},
      {"T_Device", withKeys({"DeviceT", "DeviceName", "DeviceType", "DriverName", "DeviceOption", "DeviceSpaceT",
                             "DeviceSpace", "deviceNo"})},
      {"T_Drive", withKeys({"DriveT", "DriveLetter", "DriveType", "FileSystem", "AllSpaceT", "AllSpace", "FreeSpaceT",
                            "FreeSpace"})},
      {"T_Video", withKeys({"VideoT", "VideoNo", "VideoResolution", "VideoColor", "VideoRefreshRate", "MonitorT",
                            "MonitorName", "AdapterT", "AdapterName"})},
      {"T_Printer", withKeys({"PrinterT", "PrinterName"})},
      {"T_NIC", withKeys({"NICno", "NameT", "Name", "AdapterNameT", "AdapterName", "MACAddressT", "MACAddress",
                          "IPAddressT", "IPAddress", "IPMaskT", "IPMask", "GateWayT", "GateWay", "DHCPServerT",
                          "DHCPServer", "DHCPT", "DHCP", "PriWinsServerT", "PriWinsServer", "SecWinsServerT",
                          "SecWinsServer"})},
      {"T_Users", withKeys({"UserT", "Group", "Users", "User"})},
      {"T_ApplInst", withKeys({"ApplT", "Appl", "Version"})},
      {"T_StartUp", withKeys({"StartT", "StartType", "StartName", "StartCmd"})},
      {"T_Service", withKeys({"ServiceT", "ServiceStart", "ServiceSTS", "ServiceName", "ServiceExplanation"})},
      {"T_WinUpdate", withKeys({"TypeNo", "WinUpdT", "WinUpdName", "WinUpdCmnt"})},
      {"T_WinUpdRegCheck", withKeys({"RegChkT", "RegChkFunc1", "RegChkFunc2", "RegChkMSG", "RegChkVer", "RegChkReg",
                                     "RegChkFile"})},
  };
  return tables;
}

class DeliveredScripts : public test::ScriptFixture {
 protected:
  void SetUp() override { state.DSTRB_DIR = test::sourceDir() + "/dstrb/"; }
  std::string inventory() const { return state.MDB_DIR + "Tavrix.mdb"; }
};

TEST_F(DeliveredScripts, BuildTheInventoryDatabaseFromNothing) {
  std::vector<bool> results = runScripts();
  ASSERT_EQ(results.size(), 13u);
  EXPECT_EQ(std::count(results.begin(), results.end(), true), 0);
  EXPECT_EQ(state.ScriptFileList.front(), "01_T_BasicInf.sql");
  EXPECT_EQ(state.ScriptFileList.back(), "99_T_Version.squ");
  EXPECT_EQ(state.ScriptMdbName, "@Tavrix.mdb");
  ASSERT_FALSE(F_COMPACT_MDB(state));
  paths::removeFile(state.MDB_DIR + state.ScriptMdbName);
  EXPECT_EQ(entries(state.MDB_DIR), std::vector<std::string>{"Tavrix.mdb"});
  EXPECT_EQ(log(), std::vector<std::string>{});
  EXPECT_EQ(messages.texts(), std::vector<std::string>{});

  for (const auto& [table, fields] : inventoryTables()) {
    Fields names;
    for (const auto& row : schema(inventory(), table)) names.push_back(text::split(row, '|')[0]);
    EXPECT_EQ(names, fields) << table;
    std::string indexes = table == "T_BasicInf" ? "PCid" : "PCid,RNO";
    EXPECT_EQ(rows(inventory(), "SELECT group_concat(c.name) FROM (SELECT il.name AS n FROM pragma_index_list('" +
                                    table + "') il ORDER BY 1) i, pragma_index_info(i.n) c"),
              Fields{indexes})
        << table;
  }
  EXPECT_EQ(schema(inventory(), "T_BasicInf")[0], "RNO|INTEGER|0|1");
  EXPECT_EQ(schema(inventory(), "T_Device")[10], "deviceNo|VARCHAR(50)|0|0");
  EXPECT_EQ(schema(inventory(), "T_StartUp")[6], "StartCmd|TEXT|0|0");
  EXPECT_EQ(rows(inventory(), "SELECT * FROM T_Version"), Fields{"1|0|Tavrix 1.0|2026-12-01 00:00:00"});
}

TEST_F(DeliveredScripts, InventoryAcceptsTheImportsRows) {
  runScripts();
  ASSERT_FALSE(F_COMPACT_MDB(state));
  state.MDB_NAME = "Tavrix.mdb";
  ASSERT_FALSE(F_OPEN_DB(state));
  db::UpdatableRecordSet basic(state.DbConnection, "Select * from T_BasicInf");
  basic.addNew();
  basic.setField("PCid", db::Value("PC01"));
  basic.setField("CreateDate", db::Value(DateTime{2026, 1, 2, 3, 4, 0}));
  basic.update();
  db::ReadOnlyRecordSet found(state.DbConnection,
                              "Select * from T_BasicInf Where PCid = 'PC01' and CreateDate = #2026/01/02 03:04#");
  ASSERT_FALSE(found.eof());
  EXPECT_EQ(found.field("RNO").toInt(), 1);
  db::UpdatableRecordSet device(state.DbConnection, "Select * from T_Device");
  device.addNew(inventoryTables().at("T_Device"), {1, "PC01", DateTime{2026, 1, 2, 3, 4, 0}, "デバイス", "①㈱～髙",
                                                   "", "drv", std::string(5000, 'x'), "", "", "01"});
  closeDbConnection(state);
  EXPECT_EQ(rows(inventory(), "SELECT DeviceName, length(DeviceOption) FROM T_Device WHERE deviceNo = 1"), Fields{});
  EXPECT_EQ(rows(inventory(), "SELECT DeviceName, length(DeviceOption) FROM T_Device WHERE DeviceNo = '01'"),
            Fields{"①㈱～髙|5000"});
}

TEST_F(DeliveredScripts, AreTheirSourcesInCp932WithCrLf) {
  std::string sources = test::sourceDir() + "/dstrb/source/";
  auto names = paths::listFiles(sources, "*.sq?");
  ASSERT_TRUE(names);
  EXPECT_EQ(names->size(), 13u);
  for (const auto& name : *names) {
    std::string expected = test::cp932(text::replaceAll(test::readFile(sources + name), "\n", "\r\n"));
    EXPECT_EQ(test::readFile(state.DSTRB_DIR + name), expected) << name << ": run dstrb/source/convert.sh";
  }
}

}  // namespace
}  // namespace tavrix
