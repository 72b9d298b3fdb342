// The shared run state: run settings and the module-level variables of one program run.
#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/db.h"
#include "platform/instance_lock.h"
#include "platform/message_sink.h"

namespace tavrix {

// Basic values of one inventory CSV, written into its T_BasicInf row.
struct BasicInfoRecord {
  std::string QuilloVer;
  std::string ComputerNameT, ComputerName;
  std::string UserNameT, UserName;
  std::string OSVersionT, OSVersion;
  int OSVersionID = 0;
  std::string CPUT, CPUMHz, CPUName;
  std::string CPUExtClockT, CPUExtClock;
  std::string CPUL2CacheSizeT, CPUL2CacheSize;
  std::string MemoryT, MemorySize;
  std::string VrsT, VrsName, VrsSoftName, VrsVersion, VrsDefT, VrsDef;
  std::string WinDirT, WinDir;
  std::string SystemDirT, SystemDir;
  std::string NIC_HostNameT, NIC_HostName;
  std::string NIC_DomainNameT, NIC_DomainName;
  std::string NIC_DnsServerT, NIC_DnsServer;
  std::string NIC_NodeTypeT, NIC_NodeType;
  std::string NIC_RoutingSTST, NIC_RoutingSTS;
  std::string NIC_ProxySTST, NIC_ProxySTS;
  std::string NIC_DnsSTST, NIC_DnsSTS;
};

// The values of one network adapter, gathered over several CSV lines.
struct NicAdapter {
  std::string NameT, Name;
  std::string AdapterNameT, AdapterName;
  std::string MACAddressT, MACAddress;
  std::string IPAddressT, IPAddress;
  std::string IPMaskT, IPMask;
  std::string GateWayT, GateWay;
  std::string DHCPServerT, DHCPServer;
  std::string DHCPT, DHCP;
  std::string PriWinsServerT, PriWinsServer;
  std::string SecWinsServerT, SecWinsServer;
};

// Called by the import loop so that a window can show how far it is.
class ImportProgress {
 public:
  virtual ~ImportProgress() = default;
  virtual void fileStarted(int index, int count, const std::string& fileName) = 0;
};

struct RunState {
  RunState(MessageSink& messages, const Clock& clock) : Messages(messages), TheClock(clock) {}

  // Platform services of this run.
  MessageSink& Messages;
  const Clock& TheClock;
  std::string ProgramFolder;              // without a trailing "/"
  ImportProgress* Progress = nullptr;      // set in windowed mode
  InstanceLock SingleInstance;             // held from the start to the end of the program

  // Run settings (Tavrix.ini); folder settings end with "/" after F_READ_INI.
  std::string LOG_DIR, LOG_FILE, MDB_DIR, MDB_NAME, CSV_DIR, DSTRB_DIR, CSV_SAVE_DIR;
  std::string RunMode;                     // RUNMODE, upper-cased
  std::string IniPath;

  db::Connection DbConnection;
  bool DbOpen = false;

  std::vector<std::string> ScriptFileList;  // entry i of the design is index i-1
  std::vector<std::string> CsvFileList;
  int FoundFileCount = 0;

  std::string CurrentScriptFile;
  std::string ScriptMdbName;
  std::string ScriptTableName;
  bool DropTableSeen = false, DropTargetMissing = false, CreateTableSeen = false;

  std::string CurrentCsvFile;
  std::string CurrentPcId;
  DateTime CurrentCreateDate;
  int CurrentRno = 0;
  std::string FailureMessage;

  BasicInfoRecord BasicInfo;
  int NicAdapterCount = 0;
  std::vector<NicAdapter> NicAdapters;     // adapter n is index n-1
};

}  // namespace tavrix
