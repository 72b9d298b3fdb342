// The shared run state: run settings and the module-level variables of one program run.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "batch/import_tally.h"
#include "batch/import_texts.h"
#include "batch/unsaved_csv.h"
#include "batch/watch_rules.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/db.h"
#include "platform/instance_lock.h"
#include "platform/message_sink.h"
#include "platform/paths.h"

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
  // The CSV folder was listed; no file of it has been opened yet.
  virtual void filesListed(int /*count*/) {}
  virtual void fileStarted(int index, int count, const std::string& fileName) = 0;
  // A file of the list (counted from 1) reached the save folder.
  virtual void fileSaved(int /*index*/) {}
  // Every file's rows are committed (or kept back); the search index is kept next, then written.
  virtual void filesImported() {}
  virtual void searchIndexKept() {}
};

// What became of one listed inventory CSV in this run.
enum class CsvOutcome {
  NotImported,  // its snapshot did not commit: it stays in CSV_DIR for the next run
  Imported,     // committed: it goes to the day's save folder
  Rejected,     // not an inventory: it goes to the day's "rejected" folder
};

// The program's exit status, for schedulers and monitoring.
enum class ExitStatus : int {
  Ok = 0,                  // every inventory imported
  FilesNotImported = 1,    // some files were kept for the next run or rejected
  Usage = 2,               // unknown command-line argument
  ConfigurationError = 3,  // configuration or database error: the batch stopped or imported nothing
  AlreadyRunning = 4,      // another instance holds the lock
};

// The run state in groups by concern; a procedure or window that needs one group takes that group.

// The platform services of this run, and how its messages are shown.
struct RunServices {
  RunServices(MessageSink& messages, const Clock& clock) : Messages(messages), TheClock(clock) {}

  MessageSink& Messages;
  const Clock& TheClock;
  std::string ProgramFolder;              // without a trailing "/"
  ImportProgress* Progress = nullptr;      // set in windowed mode
  InstanceLock SingleInstance;             // held from the start to the end of the program
  FolderLock BatchLock;                    // on CSV_DIR, held from before the first file is touched to the end banner
  db::ImportLock ServerImportLock;         // on a server database, held as long as BatchLock
  bool BatchRunning = false;               // while true, a message text is shown only once
  std::set<std::string> ShownMessages;
};

// The run settings (Tavrix.ini); folder settings end with "/" after F_READ_INI.
struct RunSettings {
  std::string LOG_DIR, LOG_FILE, MDB_DIR, MDB_NAME, CSV_DIR, DSTRB_DIR, CSV_SAVE_DIR;
  std::string DB_SERVER;                   // a PostgreSQL connection string: the inventory on a server, not in MDB_NAME
  std::string RunMode;                     // RUNMODE, upper-cased
  bool KeepFleetCounts = false;            // FLEET_COUNTS=ON: the batch keeps "<database>.counts", or a server its summaries
  std::string IniPath;
  std::vector<std::string> MissingIniKeys;  // keys without which no file may be touched
  int DbBusyTimeoutMs = 10000;             // how long a database held by another writer is waited for
  WatchRules Watch;                        // [Watch]: what the batch reports after importing
  std::string WatchProblem;                // a [Watch] value that does not read: its key and why
};

// The shared connection to the inventory database.
struct InventoryConnection {
  db::Connection DbConnection;
  bool DbOpen = false;
  bool SearchIndexFromScratch = false;     // the search index was made anew over snapshots already there
};

// The files found in the folders: the scripts of the script phase, then the inventory CSVs.
struct FoundFiles {
  std::vector<std::string> ScriptFileList;  // script i (counted from 1) is index i-1
  std::vector<std::string> CsvFileList;
  int FoundFileCount = 0;
};

// The script phase: the script file being run and what its statements met.
struct ScriptPhase {
  std::string CurrentScriptFile;
  std::string ScriptMdbName;
  std::string ScriptTableName;
  bool DropTableSeen = false, DropTargetMissing = false, CreateTableSeen = false;
  // The server database the scripts build, in the transaction its connection holds; null when
  // they build the work database file.
  db::Connection* ScriptServer = nullptr;
};

// The inventory CSV being imported. CurrentRno is also the computer a detail window shows.
struct CurrentFile {
  std::string CurrentCsvFile;              // the name as the file system has it
  std::string CurrentCsvName;              // the same as UTF-8 text for logs and boxes
  std::size_t CurrentCsvEntry = 0;         // its entry in CsvOutcomes and CsvReadAs
  std::string CurrentPcId;
  DateTime CurrentCreateDate;
  int CurrentRno = 0;
  bool CurrentHeaderFound = false;         // the header pass met a header line (0,1)
  bool CurrentCsvUtf8 = false;             // the file starts with a UTF-8 byte-order mark and is UTF-8
  std::string FileFailure;                 // why the file's snapshot cannot commit
  BasicInfoRecord BasicInfo;
  int NicAdapterCount = 0;
  std::vector<NicAdapter> NicAdapters;     // adapter n is index n-1
  std::unique_ptr<ImportTally> Tally;      // told what the import changes, when the fleet counts are kept
  std::unique_ptr<ImportTexts> SearchFeed;  // told the texts the import writes, when the search index can take them
};

// What the run came to: each file's end, and the failures that end more than one file.
struct RunOutcomes {
  std::vector<CsvOutcome> CsvOutcomes;     // one per CsvFileList entry
  std::vector<paths::FileIdentity> CsvReadAs;  // one per CsvOutcomes entry: the file its passes read
  std::vector<UnsavedCsv> UnsavedCsvs;     // committed by an earlier run, the save folder refused them
  std::vector<std::string> CommittedNotSaved;  // committed in this run, left in CSV_DIR by the save step
  std::string DatabaseFailure;             // why the database cannot be opened or written for the rest of the run
  std::string FailureMessage;              // the failure that ends the list, logged and shown as it closes
  bool BatchFailed = false;                // a configuration or database error
  bool BatchHeldElsewhere = false;         // another batch holds the CSV folder: nothing was done
  bool CsvLeftBehind = false;              // an entry not imported or not saved stayed in CSV_DIR
};

// One program run: the application owns one, tests make a fresh one per case.
struct RunState : RunServices, RunSettings, InventoryConnection, FoundFiles, ScriptPhase, CurrentFile, RunOutcomes {
  RunState(MessageSink& messages, const Clock& clock) : RunServices(messages, clock) {}
};

}  // namespace tavrix
