// The comparison of single values: the basic lines, anti-virus, folders, network settings and cards.
#include <string>

#include "history/diff_rules.h"

namespace tavrix::history::diff {
namespace {

using Text = std::string BasicInfoRecord::*;

// A basic value whose section (or item) is its caption, as the tree shows it.
struct CaptionedValue {
  Text caption, value;
  const char* fallback;  // the caption when neither inventory has one
};

std::string captionOf(const Inventory& o, const Inventory& n, Text caption, const char* fallback) {
  return firstNonEmpty({n.basic.*caption, o.basic.*caption, fallback});
}

std::string processorText(const BasicInfoRecord& b) {
  std::string clock = b.CPUExtClockT.empty() ? "" : "(" + b.CPUExtClockT + ":" + b.CPUExtClock + ")";
  std::string cache = b.CPUL2CacheSizeT.empty() ? "" : "(" + b.CPUL2CacheSizeT + ":" + b.CPUL2CacheSize + ")";
  return joinNonEmpty({b.CPUMHz, b.CPUName, clock, cache});
}

// The values of a network card, in the order the tree shows them.
struct CardValue {
  std::string NicAdapter::*caption;
  std::string NicAdapter::*value;
};
constexpr CardValue kCardValues[] = {
    {&NicAdapter::NameT, &NicAdapter::Name},
    {&NicAdapter::AdapterNameT, &NicAdapter::AdapterName},
    {&NicAdapter::MACAddressT, &NicAdapter::MACAddress},
    {&NicAdapter::IPAddressT, &NicAdapter::IPAddress},
    {&NicAdapter::GateWayT, &NicAdapter::GateWay},
    {&NicAdapter::DHCPServerT, &NicAdapter::DHCPServer},
    {&NicAdapter::DHCPT, &NicAdapter::DHCP},
    {&NicAdapter::PriWinsServerT, &NicAdapter::PriWinsServer},
    {&NicAdapter::SecWinsServerT, &NicAdapter::SecWinsServer},
};

std::string cardValue(const NicAdapter& a, const CardValue& v) {
  if (v.value != &NicAdapter::IPAddress) return a.*v.value;
  return a.IPAddress + " (" + a.IPMaskT + a.IPMask + ")";  // the address line carries the mask
}

// An adapter that the import stores: one with a caption for its name.
const NicAdapter* storedAdapter(const Inventory& inventory, std::size_t n) {
  if (n >= inventory.adapters.size() || inventory.adapters[n].NameT.empty()) return nullptr;
  return &inventory.adapters[n];
}

}  // namespace

void compareBasicLines(const Inventory& o, const Inventory& n, Changes& out) {
  static const CaptionedValue kLines[] = {
      {&BasicInfoRecord::ComputerNameT, &BasicInfoRecord::ComputerName, "コンピュータ名"},
      {&BasicInfoRecord::UserNameT, &BasicInfoRecord::UserName, "ユーザー名"},
      {&BasicInfoRecord::OSVersionT, &BasicInfoRecord::OSVersion, "OS"},
      {&BasicInfoRecord::CPUT, nullptr, "CPU"},
      {&BasicInfoRecord::MemoryT, &BasicInfoRecord::MemorySize, "メモリ"},
  };
  for (const CaptionedValue& line : kLines) {
    std::string section = captionOf(o, n, line.caption, line.fallback);
    if (line.value) out.value(section, "", o.basic.*line.value, n.basic.*line.value);
    else out.value(section, "", processorText(o.basic), processorText(n.basic));
  }
}

void compareAntiVirus(const Inventory& o, const Inventory& n, Changes& out) {
  const std::string section = "ウィルス対策";
  out.value(section, "", joinNonEmpty({o.basic.VrsSoftName, o.basic.VrsVersion}),
            joinNonEmpty({n.basic.VrsSoftName, n.basic.VrsVersion}));
  out.value(section, captionOf(o, n, &BasicInfoRecord::VrsDefT, "パターンファイル"), o.basic.VrsDef, n.basic.VrsDef);
}

void compareDirectories(const Inventory& o, const Inventory& n, Changes& out) {
  static const CaptionedValue kFolders[] = {
      {&BasicInfoRecord::WinDirT, &BasicInfoRecord::WinDir, "Windows ディレクトリ"},
      {&BasicInfoRecord::SystemDirT, &BasicInfoRecord::SystemDir, "システム ディレクトリ"},
  };
  for (const CaptionedValue& f : kFolders)
    out.value("ディレクトリ", captionOf(o, n, f.caption, f.fallback), o.basic.*f.value, n.basic.*f.value);
}

void compareNetwork(const Inventory& o, const Inventory& n, Changes& out) {
  static const CaptionedValue kSettings[] = {
      {&BasicInfoRecord::NIC_HostNameT, &BasicInfoRecord::NIC_HostName, "NIC_HostName"},
      {&BasicInfoRecord::NIC_DomainNameT, &BasicInfoRecord::NIC_DomainName, "NIC_DomainName"},
      {&BasicInfoRecord::NIC_DnsServerT, &BasicInfoRecord::NIC_DnsServer, "NIC_DnsServer"},
      {&BasicInfoRecord::NIC_NodeTypeT, &BasicInfoRecord::NIC_NodeType, "NIC_NodeType"},
      {&BasicInfoRecord::NIC_RoutingSTST, &BasicInfoRecord::NIC_RoutingSTS, "NIC_RoutingSTS"},
      {&BasicInfoRecord::NIC_ProxySTST, &BasicInfoRecord::NIC_ProxySTS, "NIC_ProxySTS"},
      {&BasicInfoRecord::NIC_DnsSTST, &BasicInfoRecord::NIC_DnsSTS, "NIC_DnsSTS"},
  };
  for (const CaptionedValue& s : kSettings)
    out.value("ネットワーク", captionOf(o, n, s.caption, s.fallback), o.basic.*s.value, n.basic.*s.value);
}

void compareAdapters(const Inventory& o, const Inventory& n, Changes& out) {
  const std::string section = "ＮＩＣカード";
  const std::size_t count = std::max(o.adapters.size(), n.adapters.size());
  for (std::size_t i = 0; i < count; ++i) {
    const NicAdapter* before = storedAdapter(o, i);
    const NicAdapter* after = storedAdapter(n, i);
    const std::string number = std::to_string(i + 1);
    if (!before && after) out.add({section, '+', number, "", after->Name});
    if (before && !after) out.add({section, '-', number, before->Name, ""});
    if (!before || !after) continue;
    for (const CardValue& v : kCardValues)
      out.value(section, number + " " + firstNonEmpty({after->*v.caption, before->*v.caption}), cardValue(*before, v),
                cardValue(*after, v));
  }
}

}  // namespace tavrix::history::diff
