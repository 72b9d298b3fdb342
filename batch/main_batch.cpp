// Main: the batch that every start of the program runs, and F_SAVE_CSV.
#include "batch/main_batch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

#include "batch/database.h"
#include "batch/folders.h"
#include "batch/run_log.h"
#include "batch/settings.h"
#include "dbscript/script_files.h"
#include "import/csv_files.h"
#include "platform/paths.h"

namespace tavrix {
namespace {

constexpr std::string_view kStartMessage = "Tavrix処理を開始します。  ";
constexpr std::string_view kEndMessage = "Tavrix CSV取込処理を終了しました。 ";
constexpr std::string_view kCantOpen = "Cant DB Open ";

void writeBanner(const RunState& s, std::string_view message) {
  F_WRITE_LOG(s, kDashLine);
  F_WRITE_LOG(s, message);
  F_WRITE_LOG(s, kDashLine);
}

bool windowed(const RunState& s, BatchWindows* windows) { return windows != nullptr && s.RunMode != "UPDATEONLY"; }

void openOrComplain(RunState& s) {
  if (F_OPEN_DB(s)) s.Messages.show(std::string(kCantOpen), MessageStyle::Plain);
}

// Step 8: builds the inventory database from the script files. False when the batch must end.
bool createDatabaseFromScripts(RunState& s) {
  if (F_CNT_SQLFILE(s)) return false;
  const int count = s.FoundFileCount;
  for (int i = 0; i < count; ++i) {
    s.CurrentScriptFile = s.ScriptFileList[static_cast<std::size_t>(i)];
    if (F04_READ_SQLTXT(s)) return false;
  }
  std::string target = s.ScriptMdbName.empty() ? std::string() : s.ScriptMdbName.substr(1);
  if (F_COMPACT_MDB(s)) {
    F_WRITE_LOG(s, s.ScriptMdbName + "の コピーができません。");
  } else {
    F_WRITE_LOG(s, s.MDB_DIR + s.ScriptMdbName + "を " + s.MDB_DIR + target + "へコピーしました。");
    paths::removeFile(s.MDB_DIR + s.ScriptMdbName);
  }
  return true;
}

// Steps 5 to 15; returns early where the batch ends.
void runSteps(RunState& s, BatchWindows* windows) {
  if (F_CHECK_ENV(s)) {
    F_WRITE_LOG(s, "環境確認でエラーです｡ ");
    return;
  }
  writeBanner(s, kStartMessage);

  const std::string leftover = s.MDB_DIR + "@" + s.MDB_NAME;
  if (paths::fileExists(leftover)) paths::removeFile(leftover);
  if (!paths::fileExists(s.MDB_DIR + s.MDB_NAME) && !createDatabaseFromScripts(s)) return;

  closeDbConnection(s);
  openOrComplain(s);
  F_CNT_CSVFILE(s);
  importCsvFiles(s);
  // Closing checkpoints and syncs the database before any CSV leaves the CSV folder.
  closeDbConnection(s);
  if (s.FoundFileCount > 0) F_SAVE_CSV(s);
  writeBanner(s, kEndMessage);

  if (windowed(s, windows)) {
    windows->closeWaitAndDetail();
    openOrComplain(s);
    if (!windows->fillList(s)) closeDbConnection(s);
  }
}

}  // namespace

void runBatch(RunState& s, BatchWindows* windows) {
  s.IniPath = s.ProgramFolder + "/Tavrix.ini";
  s.DbOpen = false;
  try {
    if (F_READ_INI(s)) {
      writeBanner(s, kStartMessage);
      F_WRITE_LOG(s, "INIファイルが読めません。処理を中止します。");
      return;
    }
    if (windowed(s, windows)) windows->showMainAndWait(s);
    runSteps(s, windows);
  } catch (const db::DbError& e) {
    writeBanner(s, std::string(e.what()) + " err=" + std::to_string(e.code()));
  } catch (const std::bad_alloc& e) {
    writeBanner(s, std::string("メモリが不足しています。") + " err=7");
  } catch (const std::exception& e) {
    writeBanner(s, std::string(e.what()) + " err=5");
  }
}

void Main(RunState& s, BatchWindows* windows) {
  if (!s.SingleInstance.acquire(s.ProgramFolder + "/Tavrix.lock", "/proc/self/exe")) {
    s.Messages.show("すでに「TAVRIX」は起動されています。", MessageStyle::Exclamation);
    return;
  }
  runBatch(s, windows);
}

void F_SAVE_CSV(RunState& s) {
  const std::string saveFolder = s.CSV_SAVE_DIR + s.TheClock.now().compactDay() + "/";
  F_MAKE_DIR(s, saveFolder);
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(s.FoundFileCount, 0)), s.CsvFileList.size());
  std::vector<std::string> copied;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = s.CsvFileList[i];
    std::string error;
    // A file that was not copied stays in the CSV folder and is imported again next run.
    if (paths::copyFile(s.CSV_DIR + name, saveFolder + name, &error, false)) copied.push_back(name);
    else s.Messages.show(error, MessageStyle::Plain);
  }
  // One sync for all copies, before any original goes: a crash never leaves a file in neither place.
  if (!copied.empty()) paths::syncFileSystem(saveFolder);
  for (const std::string& name : copied) {
    if (!paths::removeFile(s.CSV_DIR + name)) s.Messages.show(std::strerror(errno), MessageStyle::Plain);
  }
}

}  // namespace tavrix
