// The inventory tables and the fields the import writes, for comparing whole tables in tests.
#pragma once

#include <string>
#include <vector>

namespace tavrix::test {

struct TableFields {
  std::string table;
  std::vector<std::string> fields;  // compared fields after PCid
};

inline const std::vector<TableFields>& inventoryFields() {
  static const std::vector<TableFields> tables = {
      {"T_BasicInf",
       {"CreateDate", "QuilloVer", "ComputerNameT", "ComputerName", "UserNameT", "UserName", "OSVersionT",
        "OSVersion", "OSVersionID", "CPUT", "CPUMHz", "CPUName", "CPUExtClockT", "CPUExtClock", "CPUL2CacheSizeT",
        "CPUL2CacheSize", "MemoryT", "MemorySize", "VrsT", "VrsName", "VrsSoftName", "VrsVersion", "VrsDefT", "VrsDef",
        "WinDirT", "WinDir", "SystemDirT", "SystemDir", "NIC_HostNameT", "NIC_HostName", "NIC_DomainNameT",
        "NIC_DomainName", "NIC_DnsServerT", "NIC_DnsServer", "NIC_NodeTypeT", "NIC_NodeType", "NIC_RoutingSTST",
        "NIC_RoutingSTS", "NIC_ProxySTST", "NIC_ProxySTS", "NIC_DnsSTST", "NIC_DnsSTS"}},
      {"T_Device",
       {"DeviceT", "DeviceName", "DeviceType", "DriverName", "DeviceOption", "DeviceSpaceT", "DeviceSpace", "deviceNo"}},
      {"T_Drive", {"DriveT", "DriveLetter", "DriveType", "FileSystem", "AllSpaceT", "AllSpace", "FreeSpaceT", "FreeSpace"}},
      {"T_Video",
       {"VideoT", "VideoNo", "VideoResolution", "VideoColor", "VideoRefreshRate", "MonitorT", "MonitorName", "AdapterT",
        "AdapterName"}},
      {"T_Printer", {"PrinterT", "PrinterName"}},
      {"T_NIC",
       {"NICno", "NameT", "Name", "AdapterNameT", "AdapterName", "MACAddressT", "MACAddress", "IPAddressT", "IPAddress",
        "IPMaskT", "IPMask", "GateWayT", "GateWay", "DHCPServerT", "DHCPServer", "DHCPT", "DHCP", "PriWinsServerT",
        "PriWinsServer", "SecWinsServerT", "SecWinsServer"}},
      {"T_Users", {"UserT", "Group", "Users", "User"}},
      {"T_ApplInst", {"ApplT", "Appl", "Version"}},
      {"T_StartUp", {"StartT", "StartType", "StartName", "StartCmd"}},
      {"T_Service", {"ServiceT", "ServiceStart", "ServiceSTS", "ServiceName", "ServiceExplanation"}},
      {"T_WinUpdate", {"TypeNo", "WinUpdT", "WinUpdName", "WinUpdCmnt"}},
      {"T_WinUpdRegCheck", {"RegChkT", "RegChkFunc1", "RegChkFunc2", "RegChkMSG", "RegChkVer", "RegChkReg", "RegChkFile"}},
  };
  return tables;
}

}  // namespace tavrix::test
