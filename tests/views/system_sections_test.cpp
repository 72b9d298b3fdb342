// Tree lines of anti-virus, directories, update lists, network settings and network cards.
#include <gtest/gtest.h>

#include "tests/views/inventory_db.h"

namespace tavrix::test {
namespace {

Fields update(const char* type, const db::Value& name, const char* comment) {
  return {{"TypeNo", type}, {"WinUpdT", "更新"}, {"WinUpdName", name}, {"WinUpdCmnt", comment}};
}

Fields card(const db::Value& name, const char* address) {
  return {{"NICno", 1},
          {"Name", name},
          {"AdapterNameT", "アダプタ名"},
          {"AdapterName", "Intel PRO/100"},
          {"MACAddressT", "MAC"},
          {"MACAddress", "00-11-22-33-44-55"},
          {"IPAddressT", "IP"},
          {"IPAddress", address},
          {"IPMaskT", "Mask:"},
          {"IPMask", "255.255.255.0"},
          {"GateWayT", "GW"},
          {"GateWay", "192.168.0.1"},
          {"DHCPServerT", "DHCPサーバ"},
          {"DHCPServer", ""},
          {"DHCPT", "DHCP"},
          {"DHCP", "No"},
          {"PriWinsServerT", "WINS1"},
          {"PriWinsServer", db::Value()},
          {"SecWinsServerT", "WINS2"},
          {"SecWinsServer", ""}};
}

// The eight lines under a card's numbered line, as card() fills them.
std::vector<std::string> cardLines(const std::string& address) {
  return {"      アダプタ名" + B(9) + ": Intel PRO/100",
          "      MAC" + B(10) + ": 00-11-22-33-44-55",
          "      IP" + B(11) + ": " + address + " (Mask:255.255.255.0)",
          "      GW" + B(6) + ": 192.168.0.1",
          "      DHCPサーバ" + B(10) + ": ",
          "      DHCP" + B(17) + ": No",
          "      WINS1" + B(4) + ": ",
          "      WINS2" + B(2) + ": "};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Fields kNetwork = {
    {"NIC_HostNameT", "ホスト名"},      {"NIC_HostName", "pc01"},         {"NIC_DomainNameT", "ドメイン"},
    {"NIC_DomainName", "example.jp"},   {"NIC_DnsServerT", "DNSサーバ"},  {"NIC_DnsServer", "10.0.0.1"},
    {"NIC_NodeTypeT", "ノード"},        {"NIC_NodeType", "Hybrid"},       {"NIC_RoutingSTST", "ルーティング"},
    {"NIC_RoutingSTS", "No"},           {"NIC_ProxySTST", "プロキシ"},    {"NIC_ProxySTS", "No"},
    {"NIC_DnsSTST", "DNS"},             {"NIC_DnsSTS", "No"}};

TEST(DetailTreeLines, AntiVirusAndDirectories) {
  InventoryDb db;
  checkTreeCases(db, {
      {"anti-virus line",
       {{"VrsSoftName", "VirusGuard"}, {"VrsVersion", "9.0"}, {"VrsDefT", "定義:"}, {"VrsDef", "2004/10/01"}},
       {}, {"Vrus"}, {"ウィルス対策:", "  VirusGuard 9.0" + B(4) + "定義:2004/10/01"}},
      {"all-empty anti-virus line keeps its blanks",
       {{"VrsSoftName", ""}, {"VrsVersion", ""}, {"VrsDefT", ""}, {"VrsDef", ""}}, {}, {"Vrus"},
       {"ウィルス対策:", "  " + B(1) + B(4)}},
      {"all-NULL anti-virus line is the same", {}, {}, {"Vrus"}, {"ウィルス対策:", "  " + B(1) + B(4)}},
      {"directories with the ideographic space",
       {{"WinDirT", "Windows"}, {"WinDir", "C:\\WINDOWS"}, {"SystemDirT", "System"}, {"SystemDir", "C:\\WINDOWS\\system32"}},
       {}, {"DirSys"}, {"ディレクトリ:", "  Windows 　C:\\WINDOWS", "  System 　C:\\WINDOWS\\system32"}},
  });
}

TEST(DetailTreeLines, UpdateLists) {
  InventoryDb db;
  const std::string n20(20, 'K'), n21(21, 'K');
  checkTreeCases(db, {
      {"20 and 21 characters", {},
       {{"T_WinUpdate", update("1", n21, "b")}, {"T_WinUpdate", update("1", n20, "a")}}, {"WinUpd"},
       {"Windows Update:", "  " + n20 + B(2) + "a", "  " + n21 + B(1) + "b"}},
      {"only type 2 gives only the hot fixes", {},
       {{"T_WinUpdate", update("2", "KB1", "c")}}, {"WinUpd", "WinHot", "IE"},
       {"Windows HotFix:", "  KB1" + B(19) + "c"}},
      {"type 3 and a NULL name", {}, {{"T_WinUpdate", update("3", db::Value(), "d")}}, {"IE"},
       {"Internet Explolor他:", "   d"}},
      {"type written 01 is not type 1", {}, {{"T_WinUpdate", update("01", "KB2", "e")}}, {"WinUpd"}, {}},
  });
}

TEST(DetailTreeLines, NetworkSettingsAndCards) {
  InventoryDb db;
  Fields noHost = kNetwork;
  noHost[1].second = "";
  Fields nullHost = kNetwork;
  nullHost[1].second = db::Value();
  checkTreeCases(db, {
      {"seven settings under a host name", kNetwork, {}, {"NetWork"},
       {"ネットワーク", "  ホスト名" + B(12) + ": pc01", "  ドメイン" + B(10) + ": example.jp",
        "  DNSサーバ" + B(2) + ": 10.0.0.1", "  ノード" + B(11) + ": Hybrid", "  ルーティング" + B(4) + ": No",
        "  プロキシ" + B(6) + ": No", "  DNS" + B(11) + ": No"}},
      {"empty host name, no node", noHost, {}, {"NetWork"}, {}},
      {"NULL host name, no node", nullHost, {}, {"NetWork"}, {}},
      {"no cards still shows the node", {}, {}, {"NIC"}, {"ＮＩＣカード:"}},
      {"two cards by name, numbered", {},
       {{"T_NIC", card("LAN2", "10.0.0.2")}, {"T_NIC", card("LAN1", "10.0.0.1")}}, {"NIC"},
       concat(concat({"ＮＩＣカード:", "  1" + B(3) + "LAN1"}, cardLines("10.0.0.1")),
              concat({"  2" + B(3) + "LAN2"}, cardLines("10.0.0.2")))},
      {"a card without a name gets one blank", {}, {{"T_NIC", card(db::Value(), "10.0.0.3")}}, {"NIC"},
       concat({"ＮＩＣカード:", "  1" + B(3) + B(1)}, cardLines("10.0.0.3"))},
      {"an empty name gets none", {}, {{"T_NIC", card("", "10.0.0.4")}}, {"NIC"},
       concat({"ＮＩＣカード:", "  1" + B(3)}, cardLines("10.0.0.4"))},
  });
}

}  // namespace
}  // namespace tavrix::test
