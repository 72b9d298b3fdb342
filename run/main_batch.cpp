// Main: the batch that every start of the program runs.
#include "run/main_batch.h"

#include <exception>
#include <new>

#include "batch/batch_record.h"
#include "batch/database.h"
#include "batch/folders.h"
#include "batch/messages.h"
#include "batch/run_log.h"
#include "batch/settings.h"
#include "dbscript/script_files.h"
#include "import/csv_files.h"
#include "import/inventory_schema.h"
#include "platform/paths.h"
#include "run/configuration.h"
#include "counts/fleet_counts_upkeep.h"
#include "searchindex/search_index_upkeep.h"
#include "run/save_csv.h"
#include "run/watch_digest.h"
#include "run/server_tables.h"

namespace tavrix {
namespace {

constexpr std::string_view kStartMessage = "Tavrix処理を開始します。  ";
constexpr std::string_view kEndMessage = "Tavrix CSV取込処理を終了しました。 ";
constexpr std::string_view kCantOpen = "Cant DB Open ";
const std::string kAlreadyRunning = "すでに「TAVRIX」は起動されています。";
constexpr std::string_view kNoDisplay = "表示できる画面がないため、ウィンドウなしで処理を続けます。";

void writeBanner(const RunState& s, std::string_view message) {
  F_WRITE_LOG(s, kDashLine);
  F_WRITE_LOG(s, message);
  F_WRITE_LOG(s, kDashLine);
}

bool windowed(const RunState& s, BatchWindows* windows) { return windows != nullptr && s.RunMode != "UPDATEONLY"; }

// "Cant DB Open " on the box; the log line says which file and why.
void complainCantOpen(RunState& s, const std::string& reason) {
  s.BatchFailed = true;
  reportMessage(s, std::string(kCantOpen), MessageStyle::Plain,
                std::string(kCantOpen) + databaseLocation(s).shown() + " (" + reason + ")");
}

bool openOrComplain(RunState& s) {
  if (!F_OPEN_DB(s)) return true;
  complainCantOpen(s, s.DatabaseFailure);
  return false;
}

// The import needs a database it can write that has every inventory table and field.
void openForImport(RunState& s) {
  if (!openOrComplain(s)) return;
  std::string problem;
  try {
    if (s.DbConnection.isReadOnly()) problem = "attempt to write a readonly database";
    else if (std::string missing = missingInventoryFields(s.DbConnection); !missing.empty())
      problem = "the database lacks " + missing;
  } catch (const db::DbError& e) {
    problem = e.what();
  }
  if (problem.empty()) return;
  closeDbConnection(s);
  complainCantOpen(s, problem);
  s.DatabaseFailure = problem;
}

// A database built from scripts that left out a table or field the import writes is removed,
// so that the next run builds it again once the scripts are mended.
bool builtDatabaseComplete(RunState& s) {
  db::Connection built;
  std::string problem;
  try {
    built.openPlain(databaseLocation(s));
    problem = missingInventoryFields(built);
  } catch (const db::DbError& e) {
    problem = e.what();
  }
  built.close();
  if (problem.empty()) return true;
  paths::removeFile(databaseLocation(s).filePath());
  F_WRITE_LOG(s, "スクリプトから作ったデータベースに " + problem + " がありません。データベースを削除し、処理を中止します。");
  return false;
}

// Builds the inventory database from the script files. False when the batch must end.
bool createDatabaseFromScripts(RunState& s) {
  if (runScriptFiles(s)) return false;
  std::string target = s.ScriptMdbName.empty() ? std::string() : s.ScriptMdbName.substr(1);
  if (F_COMPACT_MDB(s)) {
    F_WRITE_LOG(s, s.ScriptMdbName + "の コピーができません。");
    return true;  // the open that follows says "Cant DB Open "
  }
  F_WRITE_LOG(s, s.MDB_DIR + s.ScriptMdbName + "を " + s.MDB_DIR + target + "へコピーしました。");
  paths::removeFile(s.MDB_DIR + s.ScriptMdbName);
  return builtDatabaseComplete(s);
}

// A zero-length database file (a copy that failed) holds nothing: it is built again.
void dropEmptyDatabase(RunState& s) {
  const std::string path = databaseLocation(s).filePath();
  if (paths::fileSize(path) != 0) return;
  paths::removeFile(path);
  F_WRITE_LOG(s, path + " は空のファイルです。スクリプトから作り直します。");
}

// The batch's row in the database (when it could write there): when it ended and what became of
// each CSV file. A failure costs the overview its last batch only: one log line.
void recordThisBatch(RunState& s) {
  if (!s.DbOpen || !s.DatabaseFailure.empty() || !s.DbConnection.isOpen()) return;
  BatchRecord record{s.TheClock.now().storageText(), 0, 0, 0};
  for (const CsvOutcome outcome : s.CsvOutcomes)
    ++(outcome == CsvOutcome::Imported ? record.imported : outcome == CsvOutcome::Rejected ? record.rejected : record.kept);
  try {
    recordBatch(s.DbConnection, record);
  } catch (const db::DbError& e) {
    F_WRITE_LOG(s, "バッチの記録をデータベースに書けませんでした（" + std::string(e.what()) + "）。");
  }
}

// From the folders to the list; returns early where the batch ends.
void runFromFoldersToList(RunState& s, BatchWindows* windows, bool noDisplay) {
  if (F_CHECK_ENV(s)) {
    F_WRITE_LOG(s, "環境確認でエラーです｡ ");
    s.BatchFailed = true;
    return;
  }
  writeBanner(s, kStartMessage);
  if (noDisplay) F_WRITE_LOG(s, kNoDisplay);

  if (databaseLocation(s).isServer()) {
    // A server that does not answer is complained of once, by the import's open.
    if (!F_OPEN_DB(s) && !ensureServerTables(s)) {
      s.BatchFailed = true;
      return;
    }
  } else {
    const std::string leftover = s.MDB_DIR + "@" + s.MDB_NAME;
    if (paths::fileExists(leftover)) paths::removeFile(leftover);
    dropEmptyDatabase(s);
    if (!paths::fileExists(databaseLocation(s).filePath()) && !createDatabaseFromScripts(s)) {
      s.BatchFailed = true;
      return;
    }
  }

  closeDbConnection(s);
  openForImport(s);
  if (F_CNT_CSVFILE(s)) s.BatchFailed = true;  // a CSV folder that cannot be listed: nothing was imported
  startFleetTally(s);
  prepareSearchIndex(s);
  importCsvFiles(s);
  if (s.Progress) s.Progress->filesImported();
  keepSearchIndex(s);
  if (s.Progress) s.Progress->searchIndexKept();
  keepFleetCounts(s);
  writeWatchDigest(s);  // this batch's files still in the CSV folder, the previous batch's record the last
  recordThisBatch(s);
  // Closing checkpoints and syncs the database before any CSV leaves the CSV folder.
  closeDbConnection(s);
  if (s.FoundFileCount > 0) F_SAVE_CSV(s);
  rememberUnsavedCsvs(s);
  writeBanner(s, kEndMessage);
  s.BatchLock.release();  // a window left open holds no other batch back
  s.ServerImportLock.release();

  if (windowed(s, windows)) {
    windows->closeWaitAndDetail();
    openOrComplain(s);
    if (!windows->fillList(s)) closeDbConnection(s);
  }
}

// Reads and checks the settings, takes the batch lock and shows the windows, then runs the steps.
void runWithSettings(RunState& s, BatchWindows* windows) {
  if (F_READ_INI(s)) {
    writeBanner(s, kStartMessage);
    F_WRITE_LOG(s, "INIファイルが読めません。処理を中止します。");
    s.BatchFailed = true;
    return;
  }
  if (std::string problem = configurationProblem(s); !problem.empty()) {
    if (!paths::directoryExists(s.LOG_DIR)) F_MAKE_DIR(s, s.LOG_DIR);  // the one folder made: the log says why
    writeBanner(s, kStartMessage);
    reportMessage(s, problem);
    s.BatchFailed = true;
    return;
  }
  // One batch at a time on these folders, and into a server database from any machine, whoever
  // runs it; taken before anything is touched.
  if (!s.BatchLock.acquire(s.CSV_DIR) || !s.ServerImportLock.acquire(databaseLocation(s))) {
    s.BatchLock.release();
    s.Messages.show(kAlreadyRunning, MessageStyle::Exclamation);
    s.BatchHeldElsewhere = true;
    return;
  }
  bool noDisplay = false;
  if (windowed(s, windows) && !windows->showMainAndWait(s)) {
    s.Messages.show(std::string(kNoDisplay));
    noDisplay = true;
    windows = nullptr;
  }
  runFromFoldersToList(s, windows, noDisplay);
}

}  // namespace

void runBatch(RunState& s, BatchWindows* windows) {
  s.IniPath = s.ProgramFolder + "/Tavrix.ini";
  s.DbOpen = false;
  s.BatchRunning = true;
  try {
    runWithSettings(s, windows);
  } catch (const db::DbError& e) {
    s.BatchFailed = true;
    writeBanner(s, std::string(e.what()) + " err=" + std::to_string(e.code()));
  } catch (const std::bad_alloc& e) {
    s.BatchFailed = true;
    writeBanner(s, std::string("メモリが不足しています。") + " err=7");
  } catch (const std::exception& e) {
    s.BatchFailed = true;
    writeBanner(s, std::string(e.what()) + " err=5");
  }
  s.BatchLock.release();
  s.ServerImportLock.release();
  s.BatchRunning = false;
  s.ShownMessages.clear();
}

ExitStatus exitStatusOf(const RunState& s) {
  if (s.BatchHeldElsewhere) return ExitStatus::AlreadyRunning;
  if (s.BatchFailed) return ExitStatus::ConfigurationError;
  if (s.CsvLeftBehind) return ExitStatus::FilesNotImported;
  for (CsvOutcome outcome : s.CsvOutcomes)
    if (outcome != CsvOutcome::Imported) return ExitStatus::FilesNotImported;
  return ExitStatus::Ok;
}

ExitStatus Main(RunState& s, BatchWindows* windows) {
  if (!s.SingleInstance.acquire(s.ProgramFolder)) {
    s.Messages.show(kAlreadyRunning, MessageStyle::Exclamation);
    return ExitStatus::AlreadyRunning;
  }
  runBatch(s, windows);
  return exitStatusOf(s);
}

}  // namespace tavrix
