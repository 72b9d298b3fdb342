// The detail tree built from rows in a real database: each section's lines compared with their blanks counted,
// the order of the top-level nodes, failures that let the load go on, the connection left closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "batch/database.h"
#include "tests/views/inventory_db.h"
#include "views/detail/detail_load.h"

namespace tavrix::test {
namespace {

Fields processor(const char* clockCaption, const char* cacheCaption) {
  return {{"CPUT", "CPU"}, {"CPUMHz", "2400"}, {"CPUName", "X"}, {"CPUExtClockT", clockCaption},
          {"CPUExtClock", "533"}, {"CPUL2CacheSizeT", cacheCaption}, {"CPUL2CacheSize", "512"}};
}

std::pair<std::string, Fields> device(const char* no, const db::Value& name, const char* driver = "",
                                      const char* option = "", const char* spaceT = "", const char* caption = "デバイス") {
  return {"T_Device", {{"deviceNo", no}, {"DeviceT", caption}, {"DeviceName", name}, {"DeviceType", "PCI"},
                       {"DriverName", driver}, {"DeviceOption", option}, {"DeviceSpaceT", spaceT}, {"DeviceSpace", "1024"}}};
}

std::pair<std::string, Fields> drive(const char* letter, const db::Value& fileSystem) {
  return {"T_Drive", {{"DriveLetter", letter}, {"DriveType", "HDD"}, {"FileSystem", fileSystem}, {"AllSpaceT", "全容量"},
                      {"AllSpace", "40000"}, {"FreeSpaceT", "空き容量"}, {"FreeSpace", "12000"}}};
}

std::pair<std::string, Fields> video(const char* no, const char* monitor, const char* adapter) {
  return {"T_Video", {{"VideoNo", no}, {"VideoResolution", "1024x768"}, {"VideoColor", "32bit"}, {"VideoRefreshRate", "60Hz"},
                      {"MonitorT", "(モニタ"}, {"MonitorName", monitor}, {"AdapterT", "(アダプタ"}, {"AdapterName", adapter}}};
}

std::pair<std::string, Fields> update(const char* type, const db::Value& name, const char* comment) {
  return {"T_WinUpdate", {{"TypeNo", type}, {"WinUpdName", name}, {"WinUpdCmnt", comment}}};
}

std::pair<std::string, Fields> card(const db::Value& name, const char* address) {
  return {"T_NIC", {{"NICno", 1}, {"Name", name}, {"AdapterNameT", "アダプタ名"}, {"AdapterName", "PRO/100"},
                    {"MACAddressT", "MAC"}, {"MACAddress", "00-11-22"}, {"IPAddressT", "IP"}, {"IPAddress", address},
                    {"IPMaskT", "Mask:"}, {"IPMask", "255.0.0.0"}, {"GateWayT", "GW"}, {"GateWay", "10.0.0.254"},
                    {"DHCPServerT", "DHCPサーバ"}, {"DHCPServer", ""}, {"DHCPT", "DHCP"}, {"DHCP", "No"},
                    {"PriWinsServerT", "WINS1"}, {"PriWinsServer", db::Value()}, {"SecWinsServerT", "WINS2"}}};
}

// The "NIC" section for cards given as (numbered line, address).
std::vector<std::string> cardLines(const std::vector<std::pair<std::string, std::string>>& cards) {
  std::vector<std::string> lines = {"ＮＩＣカード:"};
  for (const auto& [first, address] : cards)
    lines.insert(lines.end(), {"  " + first, "{6}アダプタ名{9}: PRO/100", "{6}MAC{10}: 00-11-22",
                               "{6}IP{11}: " + address + " (Mask:255.0.0.0)", "{6}GW{6}: 10.0.0.254",
                               "{6}DHCPサーバ{10}: ", "{6}DHCP{17}: No", "{6}WINS1{4}: ", "{6}WINS2{2}: "});
  return lines;
}

std::pair<std::string, Fields> member(const char* group, const char* user) {
  return {"T_Users", {{"Group", group}, {"Users", std::string("PC01\\") + user}, {"User", user}}};
}

std::pair<std::string, Fields> service(const char* start, const char* status, const db::Value& name) {
  return {"T_Service", {{"ServiceStart", start}, {"ServiceSTS", status}, {"ServiceName", name}}};
}

std::pair<std::string, Fields> startUp(const db::Value& name, const char* command) {
  return {"T_StartUp", {{"StartType", "Run"}, {"StartName", name}, {"StartCmd", command}}};
}

const Rows kThreeGroups = {member("Users", "guest"), member("Administrators", "admin"), member("Guests", "guest"),
                           member("Users", "admin")};

std::string unique(const char* key) { return std::string("Key is not unique in the tree: \"") + key + "\""; }

struct TreeCase {
  const char* name;
  Fields basic;
  Rows rows;
  std::vector<std::string> sections;       // top-level keys whose lines are compared, in tree order
  std::vector<std::string> lines;          // two blanks per depth; "{n}" is n blanks
  std::vector<std::string> messages = {};  // message boxes of the load (lines left out)
  std::vector<std::string> keys = {};      // keys the tree must hold
};

// The lines of the top-level nodes keyed keys and everything under them, in tree order.
std::vector<std::string> sectionLines(const DetailTree& tree, const std::vector<std::string>& keys) {
  std::vector<std::string> lines;
  bool inside = false;
  for (const DetailLine& line : tree.displayOrder()) {
    const DetailNode& node = tree.nodes()[static_cast<std::size_t>(line.node)];
    if (line.depth == 0) inside = std::ranges::find(keys, node.key) != keys.end();
    if (inside) lines.push_back(std::string(static_cast<std::size_t>(line.depth) * 2, ' ') + node.text);
  }
  return lines;
}

// The same rows give the same lines in a database file and on a server.
class DetailTreeLines : public ::testing::TestWithParam<bool> {};

TEST_P(DetailTreeLines, SectionsFromRealRows) {
  const std::string n20(20, 'K'), n21(21, 'K'), n24(24, 'S'), n25(25, 'S'), n40(40, 'N'), n41(41, 'N');
  Fields basic = processor("FSB", "L2");
  basic.insert(basic.end(), {{"ComputerNameT", "コンピュータ名"}, {"ComputerName", "PC-01"}, {"UserNameT", "ユーザ名"},
                             {"OSVersionT", "OS"}, {"OSVersion", "Windows XP"}, {"MemoryT", "メモリ"}, {"MemorySize", "512MB"}});
  const Fields system = {
      {"VrsSoftName", "VirusGuard"}, {"VrsVersion", "9.0"}, {"VrsDefT", "定義:"}, {"VrsDef", "2004/10/01"},
      {"WinDirT", "Windows"}, {"WinDir", "C:\\WINDOWS"}, {"SystemDirT", "System"}, {"SystemDir", "C:\\sys32"},
      {"NIC_HostNameT", "ホスト名"}, {"NIC_HostName", "pc01"}, {"NIC_DomainNameT", "ドメイン"}, {"NIC_DomainName", "a.jp"},
      {"NIC_DnsServerT", "DNSサーバ"}, {"NIC_DnsServer", "10.0.0.1"}, {"NIC_NodeTypeT", "ノード"}, {"NIC_NodeType", "Hybrid"},
      {"NIC_RoutingSTST", "ルーティング"}, {"NIC_RoutingSTS", "No"}, {"NIC_ProxySTST", "プロキシ"}, {"NIC_ProxySTS", "Off"},
      {"NIC_DnsSTST", "DNS"}, {"NIC_DnsSTS", "Yes"}};
  const std::vector<TreeCase> cases = {
      {"basic lines; processor with external clock and cache", basic, {},
       {"PCid", "ComputerName", "UserName", "OSVersion", "CPU", "Memory"},
       {"PC01{15}作成日:2004/10/24 09:05", "コンピュータ名{5}: PC-01", "ユーザ名{9}: ", "OS{5}: Windows XP",
        "CPU{11}: 2400{3}X{2}(FSB:533){2}(L2:512){2}", "メモリ{5}: 512MB"}},
      {"no external clock caption: no cache part either", processor("", "L2"), {}, {"CPU"}, {"CPU{11}: 2400{3}X{2}"}},
      {"external clock without cache caption", processor("FSB", ""), {}, {"CPU"}, {"CPU{11}: 2400{3}X{2}(FSB:533){2}"}},
      {"65-character device line, driver part, space part", {},
       {device("1", "Display"), device("2", "Display", "drv", "opt"), device("3", "HDD", "", "", "容量"),
        device("4", "FDD", "", "", "  ")},
       {"Device"},
       {"デバイス:", "  Display{35}{4}PCI{16}", "  Display{35}{4}PCI [drv{3}opt{3}] ", "  HDD{39}{4}PCI{16}容量:{8}1024",
        "  FDD{39}{4}PCI{16}"}},
      {"header from the first DeviceNo as text; names of 40 and 41 characters", {},
       {device("9", n41, "", "", "", "後"), device("10", n40, "", "", "", "先")}, {"Device"},
       {"先:", "  " + n40 + "{2}{4}PCI{16}", "  " + n41 + "{1}{4}PCI{16}"}},
      {"drive forms, NULL file system, duplicate letter; printers", {},
       {drive("E", "NTFS"), drive("A", ""), drive("D", db::Value()), drive("C", ""), drive("C", ""),
        {"T_Printer", {{"PrinterName", "LP-1"}}}, {"T_Printer", {{"PrinterName", "Canon"}}},
        {"T_Printer", {{"PrinterName", "LP-1"}}}},
       {"Drice", "Printer"},
       {"ドライブ:", "  A:  HDD", "  C:  HDD", "  D:  全容量: {5}40000{2}空き容量: {5}12000",
        "  E:  NTFS{3}全容量: {5}40000{2}空き容量: {5}12000", "プリンタ一覧:", "  Canon", "  LP-1"},
       {unique("C"), unique("LP-1")}},
      {"VideoNo 1 with monitor and adapter, 10 short, 2 without names", {},
       {video("10", "M", "A"), video("1", "Plug and Play", "RADEON"), video("2", "", "")}, {"Video"},
       {"ディスプレイ解像度:", "  1.  {3}1024x768{2}32bit 60Hz", "{7}(モニタ: Plug and Play)", "{7}(アダプタ: RADEON)",
        "  10{3}32bit", "  2.  {3}1024x768{2}32bit 60Hz"}},
      {"anti-virus, directories, seven network settings", system, {}, {"Vrus", "DirSys", "NetWork"},
       {"ウィルス対策:", "  VirusGuard 9.0{4}定義:2004/10/01", "ディレクトリ:", "  Windows 　C:\\WINDOWS",
        "  System 　C:\\sys32", "ネットワーク", "  ホスト名{12}: pc01", "  ドメイン{10}: a.jp", "  DNSサーバ{2}: 10.0.0.1",
        "  ノード{11}: Hybrid", "  ルーティング{4}: No", "  プロキシ{6}: Off", "  DNS{11}: Yes"}},
      {"all-empty anti-virus; empty host name; no cards",
       {{"VrsSoftName", ""}, {"VrsVersion", ""}, {"VrsDefT", ""}, {"VrsDef", ""}, {"NIC_HostName", ""},
        {"NIC_DomainName", "a.jp"}},
       {}, {"Vrus", "NetWork", "NIC"}, {"ウィルス対策:", "  {1}{4}", "ＮＩＣカード:"}},
      {"NULL names: a device and an update take one blank, a start-up entry none (no length is not fewer than 25)", {},
       {device("1", db::Value()), update("1", db::Value(), "a"), startUp(db::Value(), "C:\\n.exe"),
        service("2", "開始", db::Value())},
       {"Device", "WinUpd", "StartUp", "Service"},
       {"デバイス:", "  {1}{4}PCI{16}", "Windows Update:", "  {1}a", "スタートアップ:", "  {7}Run{2}: C:\\n.exe",
        "現在のWindowsのサービス:", "  <種類> 　<状態>　　<名前>", "  {3}2{3}{4}開始 "}},
      {"updates of 20 and 21 characters; browser list", {},
       {update("1", n21, "b"), update("1", n20, "a"), update("3", "IE6", "f")}, {"WinUpd", "WinHot", "IE"},
       {"Windows Update:", "  " + n20 + "{2}a", "  " + n21 + "{1}b", "Internet Explolor他:", "  IE6{19}f"}},
      {"only type 2 gives only the hot fixes; 01 is not 1", {}, {update("2", "KB1", "c"), update("01", "KB2", "e")},
       {"WinUpd", "WinHot", "IE"}, {"Windows HotFix:", "  KB1{19}c"}},
      {"cards by name, a NULL name first", {},
       {card("LAN2", "10.0.0.2"), card(db::Value(), "10.0.0.3"), card("LAN1", "10.0.0.1")}, {"NIC"},
       cardLines({{"1{3} ", "10.0.0.3"}, {"2{3}LAN1", "10.0.0.1"}, {"3{3}LAN2", "10.0.0.2"}})},
      {"OSVersionID 500: three groups, then users numbered on", {{"OSVersionID", 500}}, kThreeGroups, {"Groups", "Users"},
       {"グループ（ユーザー）:", "  Administrators", "    PC01\\admin", "  Guests", "    PC01\\guest", "  Users",
        "    PC01\\admin", "    PC01\\guest", "ユーザー（グループ）:", "  admin (PC01\\admin) ", "    Administrators",
        "    Users", "  guest (PC01\\guest) ", "    Guests", "    Users"},
       {}, {"Administrators1", "Guests2", "Users3", "admin4", "guest5"}},
      {"OSVersionID 99 passes; apostrophes in names", {{"OSVersionID", 99}}, {member("O'Brien's", "o'neil")},
       {"Groups", "Users"},
       {"グループ（ユーザー）:", "  O'Brien's", "    PC01\\o'neil", "ユーザー（グループ）:", "  o'neil (PC01\\o'neil) ",
        "    O'Brien's"}},
      {"OSVersionID 200 fails", {{"OSVersionID", 200}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"OSVersionID 1000 fails", {{"OSVersionID", 1000}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"OSVersionID 2 fails", {{"OSVersionID", 2}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"programs; start-up names of 24 and 25; services, a duplicate and a clash with Memory", {},
       {{"T_ApplInst", {{"Appl", "Word"}, {"Version", "11.0"}}}, {"T_ApplInst", {{"Appl", "Excel"}, {"Version", ""}}},
        startUp(n25, "C:\\b.exe"), startUp(n24, "C:\\a.exe"), service("2", "開始", "Alerter"),
        service("3", "Start", "Browser"), service("4", "Paused", "Cisvc"), service("2", "開始", "Alerter"),
        service("2", "開始", "memory")},
       {"ApplInst", "StartUp", "Service"},
       {"現在インストールされているプログラム:", "  Excel{4}", "  Word{4}11.0", "スタートアップ:",
        "  {7}Run{2}" + n24 + "{2}: C:\\a.exe", "  {7}Run{2}" + n25 + ": C:\\b.exe", "現在のWindowsのサービス:",
        "  <種類> 　<状態>　　<名前>", "  {3}2{3}{4}開始 Alerter", "  {3}3{3} Start Browser", "  {3}4{3}Paused Cisvc"},
       {unique("Alerter"), unique("memory")}},
  };
  InventoryDb db(GetParam());
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewRun run(db, db.addComputer(c.basic, c.rows));
    DetailTree tree = loadDetailTree(run.s);
    std::vector<std::string> expected;
    for (const std::string& line : c.lines) expected.push_back(blanks(line));
    EXPECT_EQ(shown(sectionLines(tree, c.sections)), shown(expected));
    EXPECT_EQ(run.sink.texts(), c.messages);
    for (const std::string& key : c.keys) EXPECT_TRUE(tree.hasKey(key)) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, DetailTreeLines, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

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
