// The test inventory database: the twelve tables defined column by column, rows bound as parameters.
#include "tests/views/inventory_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

#include "ui/detail/detail_load.h"

namespace tavrix::test {
namespace {

struct TableColumns {
  const char* table;
  std::vector<const char*> fields;  // after RNO, PCid, CreateDate
};

const std::vector<TableColumns>& inventoryTables() {
  static const std::vector<TableColumns> tables = {
      {"T_BasicInf",
       {"QuilloVer", "ComputerNameT", "ComputerName", "UserNameT", "UserName", "OSVersionT", "OSVersion",
        "OSVersionID", "CPUT", "CPUMHz", "CPUName", "CPUExtClockT", "CPUExtClock", "CPUL2CacheSizeT",
        "CPUL2CacheSize", "MemoryT", "MemorySize", "VrsT", "VrsName", "VrsSoftName", "VrsVersion", "VrsDefT",
        "VrsDef", "WinDirT", "WinDir", "SystemDirT", "SystemDir", "NIC_HostNameT", "NIC_HostName",
        "NIC_DomainNameT", "NIC_DomainName", "NIC_DnsServerT", "NIC_DnsServer", "NIC_NodeTypeT", "NIC_NodeType",
        "NIC_RoutingSTST", "NIC_RoutingSTS", "NIC_ProxySTST", "NIC_ProxySTS", "NIC_DnsSTST", "NIC_DnsSTS"}},
      {"T_Device",
       {"DeviceT", "DeviceName", "DeviceType", "DriverName", "DeviceOption", "DeviceSpaceT", "DeviceSpace",
        "deviceNo"}},
      {"T_Drive",
       {"DriveT", "DriveLetter", "DriveType", "FileSystem", "AllSpaceT", "AllSpace", "FreeSpaceT", "FreeSpace"}},
      {"T_Video",
       {"VideoT", "VideoNo", "VideoResolution", "VideoColor", "VideoRefreshRate", "MonitorT", "MonitorName",
        "AdapterT", "AdapterName"}},
      {"T_Printer", {"PrinterT", "PrinterName"}},
      {"T_NIC",
       {"NICno", "NameT", "Name", "AdapterNameT", "AdapterName", "MACAddressT", "MACAddress", "IPAddressT",
        "IPAddress", "IPMaskT", "IPMask", "GateWayT", "GateWay", "DHCPServerT", "DHCPServer", "DHCPT", "DHCP",
        "PriWinsServerT", "PriWinsServer", "SecWinsServerT", "SecWinsServer"}},
      {"T_Users", {"UserT", "Group", "Users", "User"}},
      {"T_ApplInst", {"ApplT", "Appl", "Version"}},
      {"T_StartUp", {"StartT", "StartType", "StartName", "StartCmd"}},
      {"T_Service", {"ServiceT", "ServiceStart", "ServiceSTS", "ServiceName", "ServiceExplanation"}},
      {"T_WinUpdate", {"TypeNo", "WinUpdT", "WinUpdName", "WinUpdCmnt"}},
      {"T_WinUpdRegCheck",
       {"RegChkT", "RegChkFunc1", "RegChkFunc2", "RegChkMSG", "RegChkVer", "RegChkReg", "RegChkFile"}},
  };
  return tables;
}

db::TableDefinition definition(const TableColumns& t) {
  db::TableDefinition def;
  def.name = t.table;
  bool basic = def.name == "T_BasicInf";
  def.appendColumn("RNO", db::ColumnType::Integer, 0);
  def.column("RNO").autoIncrement = basic;
  def.column("RNO").nullable = !basic;
  def.appendColumn("PCid", db::ColumnType::VarWChar, 50);
  def.appendColumn("CreateDate", db::ColumnType::Date, 0);
  for (const char* f : t.fields) {
    std::string name = f;
    bool integer = name == "NICno" || name == "OSVersionID";
    def.appendColumn(name, integer ? db::ColumnType::Integer : db::ColumnType::VarWChar, integer ? 0 : 255);
  }
  for (const auto& c : t.fields) def.column(c).nullable = true;
  def.column("PCid").nullable = true;
  def.column("CreateDate").nullable = true;
  return def;
}

}  // namespace

InventoryDb::InventoryDb() {
  db::createDatabase(path());
  for (const TableColumns& t : inventoryTables()) db::appendTable(path(), definition(t));
  connection_.open(path());
}

void InventoryDb::insert(const std::string& table, const Fields& fields) {
  std::string names, marks;
  for (const auto& [name, value] : fields) {
    names += (names.empty() ? "\"" : ",\"") + name + "\"";
    marks += marks.empty() ? "?" : ",?";
  }
  sqlite3_stmt* stmt = connection_.prepareCached("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
  for (std::size_t i = 0; i < fields.size(); ++i) db::bindValue(stmt, static_cast<int>(i + 1), fields[i].second);
  if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(connection_.handle()));
  sqlite3_reset(stmt);
}

int InventoryDb::addComputer(const Fields& fields) {
  Fields all = {{"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
  for (const auto& f : fields) {
    bool replaced = false;
    for (auto& a : all)
      if (a.first == f.first) a.second = f.second, replaced = true;
    if (!replaced) all.push_back(f);
  }
  insert("T_BasicInf", all);
  return static_cast<int>(connection_.lastInsertRowId());
}

void InventoryDb::addRow(const std::string& table, int rno, const Fields& fields) {
  Fields all = {{"RNO", rno}, {"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
  all.insert(all.end(), fields.begin(), fields.end());
  insert(table, all);
}

void InventoryDb::execute(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(connection_.handle(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string text = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(text);
  }
}

ViewRun::ViewRun(const InventoryDb& db) {
  s.MDB_DIR = db.folder() + "/";
  s.MDB_NAME = "inventory.db";
}

std::vector<std::string> sectionLines(const DetailTree& tree, const std::string& key) {
  std::vector<std::string> lines;
  bool inside = false;
  for (const DetailLine& line : tree.displayOrder()) {
    const DetailNode& node = tree.nodes()[line.node];
    if (line.depth == 0) inside = node.key == key;
    if (inside) lines.push_back(B(line.depth * 2) + node.text);
  }
  return lines;
}

std::vector<std::string> topLevelTexts(const DetailTree& tree) {
  std::vector<std::string> texts;
  for (const DetailNode& node : tree.nodes())
    if (node.parent < 0) texts.push_back(node.text);
  return texts;
}

void checkTreeCases(InventoryDb& db, const std::vector<TreeCase>& cases) {
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    int rno = db.addComputer(c.basic);
    for (const auto& [table, fields] : c.rows) db.addRow(table, rno, fields);
    ViewRun run(db);
    run.s.CurrentRno = rno;
    DetailTree tree = loadDetailTree(run.s);
    std::vector<std::string> lines;
    for (const std::string& key : c.sections) {
      auto part = sectionLines(tree, key);
      lines.insert(lines.end(), part.begin(), part.end());
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(run.sink.texts(), c.messages);
    EXPECT_FALSE(run.s.DbOpen);
  }
}

}  // namespace tavrix::test
