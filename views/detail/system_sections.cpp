// Anti-virus, directories, the three update lists, network settings and network cards.
#include "platform/text.h"
#include "views/detail/detail_sections.h"
#include "views/detail/line_format.h"

namespace tavrix::detail {
namespace {

std::string updateLine(const Row& r) {
  db::Value name = r["WinUpdName"];
  std::string line = hasFewerChars(name, 21) ? text::padRight(name.text(), 22) : name.text() + " ";
  return line + r.text("WinUpdCmnt");
}

// The seven network settings: caption field, blanks of its spacer, value field.
struct NetworkSetting {
  const char* caption;
  int blanks;
  const char* value;
};
constexpr NetworkSetting kNetworkSettings[] = {
    {"NIC_HostNameT", 12, "NIC_HostName"},     {"NIC_DomainNameT", 10, "NIC_DomainName"},
    {"NIC_DnsServerT", 2, "NIC_DnsServer"},    {"NIC_NodeTypeT", 11, "NIC_NodeType"},
    {"NIC_RoutingSTST", 4, "NIC_RoutingSTS"},  {"NIC_ProxySTST", 6, "NIC_ProxySTS"},
    {"NIC_DnsSTST", 11, "NIC_DnsSTS"},
};

// The eight lines under the numbered line of a card; the address line also carries the mask.
struct CardLine {
  NetworkSetting item;
  bool withMask;
};
constexpr CardLine kCardLines[] = {
    {{"AdapterNameT", 9, "AdapterName"}, false},    {{"MACAddressT", 10, "MACAddress"}, false},
    {{"IPAddressT", 11, "IPAddress"}, true},        {{"GateWayT", 6, "GateWay"}, false},
    {{"DHCPServerT", 10, "DHCPServer"}, false},     {{"DHCPT", 17, "DHCP"}, false},
    {{"PriWinsServerT", 4, "PriWinsServer"}, false}, {{"SecWinsServerT", 2, "SecWinsServer"}, false},
};

void addCard(DetailLoad& d, const Row& r) {
  ++d.running;
  db::Value name = r["Name"];
  d.add("NIC", "", text::padRight(std::to_string(d.running), 4) + (name.isNull() ? std::string(" ") : name.text()));
  for (const CardLine& card : kCardLines) {
    const NetworkSetting& item = card.item;
    std::string line = "    " + r.text(item.caption) + spacer(item.blanks) + r.text(item.value);
    if (card.withMask) line += " (" + r.text("IPMaskT") + r.text("IPMask") + ")";
    d.add("NIC", "", std::move(line));
  }
}

}  // namespace

void addAntiVirusSection(DetailLoad& d) {
  d.add("", "Vrus", "ウィルス対策:");
  d.add("Vrus", "", d.basic("VrsSoftName").text() + " " + d.basic("VrsVersion").text() + "    " +
                        d.basic("VrsDefT").text() + d.basic("VrsDef").text());
}

void addDirectorySection(DetailLoad& d) {
  d.add("", "DirSys", "ディレクトリ:");
  d.add("DirSys", "", d.basic("WinDirT").text() + " 　" + d.basic("WinDir").text());
  d.add("DirSys", "", d.basic("SystemDirT").text() + " 　" + d.basic("SystemDir").text());
}

void addUpdateSections(DetailLoad& d) {
  struct UpdateList {
    const char* typeNo;
    const char* key;
    const char* text;
  };
  static constexpr UpdateList kLists[] = {
      {"1", "WinUpd", "Windows Update:"}, {"2", "WinHot", "Windows HotFix:"}, {"3", "IE", "Internet Explolor他:"}};
  for (const UpdateList& list : kLists) {
    std::string key = list.key;
    runSection(
        d, "SELECT * FROM T_WinUpdate where RNO=" + d.rno + " and TypeNo=" + list.typeNo + " order by WinUpdName",
        key, [&](const Row&) { return std::string(list.text); },
        [&](const Row& r) { d.add(key, "", updateLine(r)); });
  }
}

void addNetworkSection(DetailLoad& d) {
  if (!isNotEmptyText(d.basic("NIC_HostName"))) return;
  d.add("", "NetWork", "ネットワーク");
  for (const NetworkSetting& item : kNetworkSettings)
    d.add("NetWork", "", d.basic(item.caption).text() + spacer(item.blanks) + d.basic(item.value).text());
}

void addNicSection(DetailLoad& d) {
  d.running = 0;
  auto rs = d.open("SELECT * FROM T_NIC where RNO=" + d.rno + " order by Name");
  d.add("", "NIC", "ＮＩＣカード:");
  if (rs) forEachRow(d, *rs, [&](const Row& r) { addCard(d, r); });
}

}  // namespace tavrix::detail
