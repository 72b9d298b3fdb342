// F_CNT_CSVFILE, and the per-file import loop of the batch.
#include "import/csv_files.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>

#include "batch/database.h"
#include "batch/messages.h"
#include "batch/run_log.h"
#include "import/basic_import.h"
#include "import/csv_prefetch.h"
#include "import/csv_reader.h"
#include "import/import_failure.h"
#include "import/record_identity.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix {
namespace {

void beginFile(RunState& s) {
  if (s.Tally) s.Tally->startFile();
  if (s.SearchFeed) s.SearchFeed->startFile();
  try {
    s.DbConnection.begin();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

// Commits the file's rows, or drops them all after any failure, so that the computer keeps its
// earlier snapshot whole.
void endFile(RunState& s) {
  try {
    if (!fileFailed(s)) s.DbConnection.commit();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
  if (!fileFailed(s)) {
    if (s.Tally) s.Tally->commitFile();
    if (s.SearchFeed) s.SearchFeed->commitFile();
    return;
  }
  try {
    s.DbConnection.rollback();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

// The file stays in CSV_DIR for the next run. A cause is shown once; every file is logged.
void keepFile(RunState& s, const std::string& cause, bool show) {
  std::string line = s.CurrentCsvName + " を取り込めませんでした（" + cause + "）。CSVフォルダに残し、次回取り込みます。";
  if (show) reportMessage(s, cause, MessageStyle::Plain, line);
  else F_WRITE_LOG(s, line);
}

// A file gone since the listing (taken by someone else) has nothing left to keep: one log line.
void keepOrForget(RunState& s) {
  if (paths::entryExists(s.CSV_DIR + s.CurrentCsvFile)) return keepFile(s, s.FileFailure, true);
  F_WRITE_LOG(s, s.CurrentCsvName + " は一覧の作成後に無くなりました（" + s.FileFailure + "）。取り込みません。");
}

// A file an earlier run committed but could not move, unchanged since (name, size, time and
// bytes): it is only moved this time.
bool committedBefore(RunState& s) {
  const auto remembered = std::find_if(s.UnsavedCsvs.begin(), s.UnsavedCsvs.end(),
                                       [&](const UnsavedCsv& file) { return file.name == s.CurrentCsvFile; });
  if (remembered == s.UnsavedCsvs.end() || unsavedRecordOf(s.CSV_DIR, s.CurrentCsvFile) != *remembered) return false;
  s.CsvOutcomes.back() = CsvOutcome::Imported;
  s.CsvReadAs.back() = paths::identityOf(s.CSV_DIR + s.CurrentCsvFile);
  F_WRITE_LOG(s, s.CurrentCsvName + " は前回取り込み済みです（保存フォルダへ移せませんでした）。今回は移動だけを行います。");
  return true;
}

void rejectFile(RunState& s) {
  std::string cause = paths::fileSize(s.CSV_DIR + s.CurrentCsvFile) == 0 ? "空のファイルです" : "ヘッダ行 0,1 がありません";
  s.CsvOutcomes.back() = CsvOutcome::Rejected;
  reportMessage(s, "インベントリCSVではないファイルを取り込まずに rejected フォルダへ移します。", MessageStyle::Plain,
                s.CurrentCsvName + " はインベントリCSVではありません（" + cause + "）。取り込まずに rejected フォルダへ移します。");
}

// Replaces the computer's snapshot inside one transaction; stops at the first failed step.
void replaceSnapshot(RunState& s, const PrefetchedCsv& bytes) {
  beginFile(s);
  // The detail rows are found through the computer's T_BasicInf rows: those go last. A computer
  // seen for the first time has none to delete.
  if (!fileFailed(s) && hasSnapshot(s)) {
    for (std::string_view table : kInventoryTables) {
      if (fileFailed(s)) break;
      if (table != "T_BasicInf") F_DEL_PCDATA(s, table, "PidOnly");
    }
    if (!fileFailed(s)) F_DEL_PCDATA(s, "T_BasicInf", "PidOnly");
  }
  if (!fileFailed(s)) F_ADD_BASICINF(s);
  s.NicAdapterCount = 0;
  s.NicAdapters.clear();
  if (!fileFailed(s)) F06_READ_CSV(s, "any", bytes, &bytes.lines);
  if (!fileFailed(s)) F_UPD_BASICINF(s);
  endFile(s);
}

void importFile(RunState& s, int index, int count, CsvPrefetcher& files) {
  s.CurrentCsvFile = s.CsvFileList[static_cast<std::size_t>(index - 1)];
  s.CurrentCsvName = text::decodeUtf8OrCp932(s.CurrentCsvFile);
  s.CurrentPcId = text::decodeUtf8OrCp932(s.CurrentCsvFile.substr(0, s.CurrentCsvFile.find('.')));
  s.CurrentCreateDate = DateTime::zero();
  s.BasicInfo = {};  // one computer's values never leak into the next
  s.FileFailure.clear();
  s.CsvOutcomes.push_back(CsvOutcome::NotImported);
  s.CsvReadAs.emplace_back();
  if (s.Progress) s.Progress->fileStarted(index, count, s.CurrentCsvFile);

  if (committedBefore(s)) return;
  // Once the database is unusable every step would fail alike: the file is not tried.
  if (!s.DatabaseFailure.empty()) return keepFile(s, s.DatabaseFailure, false);
  const PrefetchedCsv bytes = files.take(static_cast<std::size_t>(index - 1));
  F06_READ_CSV(s, "first", bytes);
  if (fileFailed(s)) return keepOrForget(s);
  if (!s.CurrentHeaderFound) return rejectFile(s);
  replaceSnapshot(s, bytes);
  if (fileFailed(s)) return keepOrForget(s);
  s.CsvOutcomes.back() = CsvOutcome::Imported;
  F_WRITE_LOG(s, s.CurrentCsvName + " 取込を終了しました。 ");
}

}  // namespace

bool F_CNT_CSVFILE(RunState& s) {
  s.FoundFileCount = 0;
  s.CsvFileList.clear();
  errno = 0;
  auto listing = paths::listFolder(s.CSV_DIR, "*.csv", true);
  if (!listing) {
    F_WRITE_LOG(s, "取り込み用(.CSV)ファイルのカウント処理中にエラーが発生しました。(" + std::to_string(errno) + ")");
    return true;
  }
  // Not inventories to read; they stay where they are.
  for (const paths::SkippedEntry& entry : listing->skipped) {
    s.CsvLeftBehind = true;
    F_WRITE_LOG(s, text::decodeUtf8OrCp932(entry.name) + " は取り込みません（" + entry.reason + "）。CSVフォルダに残します。");
  }
  s.CsvFileList = std::move(listing->names);
  s.FoundFileCount = static_cast<int>(s.CsvFileList.size());
  return false;
}

void importCsvFiles(RunState& s) {
  const int count = s.FoundFileCount;
  s.CsvOutcomes.clear();
  s.CsvReadAs.clear();
  s.UnsavedCsvs.clear();
  if (const auto list = unsavedListPath(databaseLocation(s))) s.UnsavedCsvs = readUnsavedList(*list);
  if (!s.DbOpen && s.DatabaseFailure.empty()) s.DatabaseFailure = "Cant DB Open ";
  // The log is copied into the database file beside the import, not between its files.
  std::unique_ptr<db::ManyWrites> writes;
  if (s.DatabaseFailure.empty() && count > 0) writes = s.DbConnection.startManyWrites();
  const int last = std::max(0, std::min(count, static_cast<int>(s.CsvFileList.size())));
  // The next files are read on a thread of their own while this one goes into the database.
  std::vector<std::string> names;
  if (s.DatabaseFailure.empty()) names.assign(s.CsvFileList.begin(), s.CsvFileList.begin() + last);
  if (s.Progress) s.Progress->filesListed(count);
  CsvPrefetcher files(s.CSV_DIR, std::move(names));
  for (int i = 1; i <= last; ++i) importFile(s, i, count, files);
  if (writes) writes->finish();
  if (!s.DatabaseFailure.empty()) s.BatchFailed = true;
}

}  // namespace tavrix
