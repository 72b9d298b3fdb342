// F_UPD_BASICINF: the basic values of one inventory CSV into its T_BasicInf row.
#include "import/basic_import.h"

#include <exception>
#include <string>

#include "import/import_failure.h"
#include "platform/db.h"

namespace tavrix {
namespace {

using Text = std::string BasicInfoRecord::*;

// The text fields in the order they are set; OSVersionID (an integer) comes after OSVersion.
struct BasicField {
  const char* name;
  Text member;
};
const BasicField kBeforeOsId[] = {
    {"QuilloVer", &BasicInfoRecord::QuilloVer},   {"ComputerNameT", &BasicInfoRecord::ComputerNameT},
    {"ComputerName", &BasicInfoRecord::ComputerName}, {"UserNameT", &BasicInfoRecord::UserNameT},
    {"UserName", &BasicInfoRecord::UserName},     {"OSVersionT", &BasicInfoRecord::OSVersionT},
    {"OSVersion", &BasicInfoRecord::OSVersion},
};
const BasicField kAfterOsId[] = {
    {"CPUT", &BasicInfoRecord::CPUT},
    {"CPUMHz", &BasicInfoRecord::CPUMHz},
    {"CPUName", &BasicInfoRecord::CPUName},
    {"CPUExtClockT", &BasicInfoRecord::CPUExtClockT},
    {"CPUExtClock", &BasicInfoRecord::CPUExtClock},
    {"CPUL2CacheSizeT", &BasicInfoRecord::CPUL2CacheSizeT},
    {"CPUL2CacheSize", &BasicInfoRecord::CPUL2CacheSize},
    {"MemoryT", &BasicInfoRecord::MemoryT},
    {"MemorySize", &BasicInfoRecord::MemorySize},
    {"VrsT", &BasicInfoRecord::VrsT},
    {"VrsName", &BasicInfoRecord::VrsName},
    {"VrsSoftName", &BasicInfoRecord::VrsSoftName},
    {"VrsVersion", &BasicInfoRecord::VrsVersion},
    {"VrsDefT", &BasicInfoRecord::VrsDefT},
    {"VrsDef", &BasicInfoRecord::VrsDef},
    {"WinDirT", &BasicInfoRecord::WinDirT},
    {"WinDir", &BasicInfoRecord::WinDir},
    {"SystemDirT", &BasicInfoRecord::SystemDirT},
    {"SystemDir", &BasicInfoRecord::SystemDir},
    {"NIC_HostNameT", &BasicInfoRecord::NIC_HostNameT},
    {"NIC_HostName", &BasicInfoRecord::NIC_HostName},
    {"NIC_DomainNameT", &BasicInfoRecord::NIC_DomainNameT},
    {"NIC_DomainName", &BasicInfoRecord::NIC_DomainName},
    {"NIC_NodeTypeT", &BasicInfoRecord::NIC_NodeTypeT},
    {"NIC_NodeType", &BasicInfoRecord::NIC_NodeType},
    {"NIC_DnsServerT", &BasicInfoRecord::NIC_DnsServerT},
    {"NIC_DnsServer", &BasicInfoRecord::NIC_DnsServer},
    {"NIC_RoutingSTST", &BasicInfoRecord::NIC_RoutingSTST},
    {"NIC_RoutingSTS", &BasicInfoRecord::NIC_RoutingSTS},
    {"NIC_ProxySTST", &BasicInfoRecord::NIC_ProxySTST},
    {"NIC_ProxySTS", &BasicInfoRecord::NIC_ProxySTS},
    {"NIC_DnsSTST", &BasicInfoRecord::NIC_DnsSTST},
    {"NIC_DnsSTS", &BasicInfoRecord::NIC_DnsSTS},
};

void setField(RunState& s, db::UpdatableRecordSet& rs, const char* name, const db::Value& value) {
  try {
    rs.setField(name, value);
    if (s.SearchFeed) s.SearchFeed->fieldSet("T_BasicInf", name, value, s.CurrentRno);
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

}  // namespace

std::vector<std::string> basicInfoFields() {
  std::vector<std::string> names{"RNO", "PCid", "CreateDate"};
  for (const auto& f : kBeforeOsId) names.emplace_back(f.name);
  names.emplace_back("OSVersionID");
  for (const auto& f : kAfterOsId) names.emplace_back(f.name);
  return names;
}

void F_UPD_BASICINF(RunState& s) {
  try {
    db::UpdatableRecordSet rs(s.DbConnection, "Select * from T_BasicInf where RNO = " + std::to_string(s.CurrentRno));
    // Without the row every field would fail alike: one message says it.
    if (rs.eof()) throw db::DbError("T_BasicInf: no row with RNO " + std::to_string(s.CurrentRno), 0);
    const BasicInfoRecord& b = s.BasicInfo;
    for (const auto& f : kBeforeOsId) setField(s, rs, f.name, b.*f.member);
    setField(s, rs, "OSVersionID", static_cast<std::int64_t>(b.OSVersionID));
    for (const auto& f : kAfterOsId) setField(s, rs, f.name, b.*f.member);
    rs.update();
    rs.close();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

}  // namespace tavrix
