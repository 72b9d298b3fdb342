// F_CNT_CSVFILE, and the per-file import loop of the batch.
#include "import/csv_files.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <utility>

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

// Files of this run in the open transaction, each in a savepoint of its own, waiting for its
// commit: only then are they imported (logged, saved). One found to be refused at the commit is
// tried again alone, so that it cannot keep the others from the database.
struct PendingFile {
  int index;            // in CsvFileList, from 1
  PrefetchedCsv bytes;  // for trying it again alone
  std::string name;     // CurrentCsvName
  std::string computer; // its PCid as the database compares them
};
struct SharedTransaction {
  db::ManyWrites* writes = nullptr;
  std::vector<PendingFile> files;
};

void becomeCurrent(RunState& s, int index) {
  s.CurrentCsvEntry = static_cast<std::size_t>(index - 1);
  s.CurrentCsvFile = s.CsvFileList[s.CurrentCsvEntry];
  s.CurrentCsvName = text::decodeUtf8OrCp932(s.CurrentCsvFile);
  s.CurrentPcId = text::decodeUtf8OrCp932(s.CurrentCsvFile.substr(0, s.CurrentCsvFile.find('.')));
  s.CurrentCreateDate = DateTime::zero();
  s.BasicInfo = {};  // one computer's values never leak into the next
  s.FileFailure.clear();
}

void beginFile(RunState& s, std::optional<db::Savepoint>& savepoint, bool shared) {
  if (s.Tally) s.Tally->startFile();
  if (s.SearchFeed) s.SearchFeed->startFile();
  try {
    if (!shared || !s.DbConnection.inTransaction()) s.DbConnection.begin();
    if (shared) savepoint.emplace(s.DbConnection);
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

// Commits the file's rows, or drops them all after any failure, so that the computer keeps its
// earlier snapshot whole. A file sharing the transaction keeps or drops its savepoint instead.
void endFile(RunState& s, std::optional<db::Savepoint>& savepoint, bool shared) {
  try {
    if (!fileFailed(s) && savepoint) savepoint->keep();
    else if (!fileFailed(s) && !shared) s.DbConnection.commit();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
  if (shared) {
    if (!fileFailed(s) && s.SearchFeed) s.SearchFeed->fileKept();
    return savepoint.reset();  // rolls back to it when it was not kept
  }
  if (!fileFailed(s)) {
    if (s.Tally) s.Tally->commitFile();
    if (s.SearchFeed) {
      s.SearchFeed->fileKept();
      s.SearchFeed->transactionCommitted();
    }
    return;
  }
  try {
    s.DbConnection.rollback();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

// The file stays in CSV_DIR for the next run. A cause is shown once; every file is logged.
void keepFile(RunState& s, const std::string& name, const std::string& cause, bool show) {
  std::string line = name + " を取り込めませんでした（" + cause + "）。CSVフォルダに残し、次回取り込みます。";
  if (show) reportMessage(s, cause, MessageStyle::Plain, line);
  else F_WRITE_LOG(s, line);
}

// A file gone since the listing (taken by someone else) has nothing left to keep: one log line.
void keepOrForget(RunState& s) {
  if (paths::entryExists(s.CSV_DIR + s.CurrentCsvFile)) return keepFile(s, s.CurrentCsvName, s.FileFailure, true);
  F_WRITE_LOG(s, s.CurrentCsvName + " は一覧の作成後に無くなりました（" + s.FileFailure + "）。取り込みません。");
}

void imported(RunState& s, int index, const std::string& name) {
  s.CsvOutcomes[static_cast<std::size_t>(index - 1)] = CsvOutcome::Imported;
  F_WRITE_LOG(s, name + " 取込を終了しました。 ");
}

// A file an earlier run committed but could not move, unchanged since (name, size, time and
// bytes): it is only moved this time.
bool committedBefore(RunState& s) {
  const auto remembered = std::find_if(s.UnsavedCsvs.begin(), s.UnsavedCsvs.end(),
                                       [&](const UnsavedCsv& file) { return file.name == s.CurrentCsvFile; });
  if (remembered == s.UnsavedCsvs.end() || unsavedRecordOf(s.CSV_DIR, s.CurrentCsvFile) != *remembered) return false;
  s.CsvOutcomes[s.CurrentCsvEntry] = CsvOutcome::Imported;
  s.CsvReadAs[s.CurrentCsvEntry] = paths::identityOf(s.CSV_DIR + s.CurrentCsvFile);
  F_WRITE_LOG(s, s.CurrentCsvName + " は前回取り込み済みです（保存フォルダへ移せませんでした）。今回は移動だけを行います。");
  return true;
}

void rejectFile(RunState& s) {
  std::string cause = paths::fileSize(s.CSV_DIR + s.CurrentCsvFile) == 0 ? "空のファイルです" : "ヘッダ行 0,1 がありません";
  s.CsvOutcomes[s.CurrentCsvEntry] = CsvOutcome::Rejected;
  reportMessage(s, "インベントリCSVではないファイルを取り込まずに rejected フォルダへ移します。", MessageStyle::Plain,
                s.CurrentCsvName + " はインベントリCSVではありません（" + cause + "）。取り込まずに rejected フォルダへ移します。");
}

// Replaces the computer's snapshot inside one transaction, or one savepoint of the shared one;
// stops at the first failed step.
void replaceSnapshot(RunState& s, const PrefetchedCsv& bytes, bool shared) {
  std::optional<db::Savepoint> savepoint;
  beginFile(s, savepoint, shared);
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
  endFile(s, savepoint, shared);
}

// The open transaction's files are lost with it: they stay for the next run.
void keepPendingFiles(RunState& s, SharedTransaction& open, const std::string& cause, bool showFirst) {
  for (const PendingFile& file : open.files) keepFile(s, file.name, cause, showFirst && &file == &open.files.front());
  open.files.clear();
}

void importAlone(RunState& s, int index, const PrefetchedCsv& bytes);

// Commits the open transaction. When the server refuses its rows, each file is tried alone (true:
// another file was current meanwhile); when the database has become unusable, they all stay.
bool commitShared(RunState& s, SharedTransaction& open) {
  std::string refused;
  try {
    s.DbConnection.commit();
  } catch (const std::exception& e) {
    refused = *e.what() ? e.what() : "unknown failure";
    const auto* dbError = dynamic_cast<const db::DbError*>(&e);
    if (dbError ? dbError->databaseUnusable() : dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
      if (s.DatabaseFailure.empty()) s.DatabaseFailure = refused;
    }
  }
  if (refused.empty()) {
    for (const PendingFile& file : open.files) imported(s, file.index, file.name);
    open.files.clear();
    if (s.SearchFeed) s.SearchFeed->transactionCommitted();
    return false;
  }
  if (s.SearchFeed) s.SearchFeed->transactionLost();
  try {
    s.DbConnection.rollback();
  } catch (const std::exception&) {
    // a session that has gone took its transaction with it
  }
  if (!s.DatabaseFailure.empty()) {
    keepPendingFiles(s, open, refused, true);
    return false;
  }
  for (PendingFile& file : std::exchange(open.files, {})) importAlone(s, file.index, file.bytes);
  return true;
}

// Whether the computer may be among the open transaction's files: their rows are not on the
// server yet, so its earlier snapshot could not be deleted whole. Names fold as the server folds
// them for ASCII; any other letters are taken to be possibly the same.
std::string computerKey(const std::string& pcId) { return text::toLowerAscii(pcId); }
bool mayBeOpen(const SharedTransaction& open, const std::string& key) {
  const auto wide = [](const std::string& k) { return std::any_of(k.begin(), k.end(), [](char c) { return (c & 0x80) != 0; }); };
  return std::any_of(open.files.begin(), open.files.end(),
                     [&](const PendingFile& file) { return file.computer == key || (wide(key) && wide(file.computer)); });
}

// The current file's snapshot goes into the database: committed now, or pending in the shared
// transaction.
void importSnapshot(RunState& s, int index, PrefetchedCsv bytes, SharedTransaction* open) {
  if (!open) {
    replaceSnapshot(s, bytes, false);
    if (fileFailed(s)) return keepOrForget(s);
    return imported(s, index, s.CurrentCsvName);
  }
  const std::string key = computerKey(s.CurrentPcId);
  const bool full = !open->files.empty() && !open->writes->roomForAnotherFile(static_cast<int>(open->files.size()));
  if ((full || mayBeOpen(*open, key)) && commitShared(s, *open)) {
    becomeCurrent(s, index);
    F06_READ_CSV(s, "first", bytes);
    if (fileFailed(s)) return keepOrForget(s);
  }
  if (!s.DatabaseFailure.empty()) return keepFile(s, s.CurrentCsvName, s.DatabaseFailure, false);
  replaceSnapshot(s, bytes, true);
  if (!s.DatabaseFailure.empty()) {
    keepPendingFiles(s, *open, s.DatabaseFailure, false);
    if (s.SearchFeed) s.SearchFeed->transactionLost();
    try {
      s.DbConnection.rollback();
    } catch (const std::exception&) {
      // the session has gone with its transaction
    }
  }
  if (fileFailed(s)) return keepOrForget(s);
  open->files.push_back(PendingFile{index, std::move(bytes), s.CurrentCsvName, key});
}

void importAlone(RunState& s, int index, const PrefetchedCsv& bytes) {
  becomeCurrent(s, index);
  F06_READ_CSV(s, "first", bytes);
  if (fileFailed(s)) return keepOrForget(s);
  importSnapshot(s, index, bytes, nullptr);
}

void importFile(RunState& s, int index, int count, CsvPrefetcher& files, SharedTransaction* open) {
  s.CsvOutcomes.push_back(CsvOutcome::NotImported);
  s.CsvReadAs.emplace_back();
  becomeCurrent(s, index);
  if (s.Progress) s.Progress->fileStarted(index, count, s.CurrentCsvFile);

  if (committedBefore(s)) return;
  // Once the database is unusable every step would fail alike: the file is not tried.
  if (!s.DatabaseFailure.empty()) return keepFile(s, s.CurrentCsvName, s.DatabaseFailure, false);
  PrefetchedCsv bytes = files.take(static_cast<std::size_t>(index - 1));
  F06_READ_CSV(s, "first", bytes);
  if (fileFailed(s)) return keepOrForget(s);
  if (!s.CurrentHeaderFound) return rejectFile(s);
  importSnapshot(s, index, std::move(bytes), open);
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
  // The counts follow each file's own commit.
  SharedTransaction shared{writes.get(), {}};
  const bool sharing = writes && !s.Tally && writes->roomForAnotherFile(1);
  for (int i = 1; i <= last; ++i) importFile(s, i, count, files, sharing ? &shared : nullptr);
  if (sharing && (!shared.files.empty() || s.DbConnection.inTransaction())) commitShared(s, shared);
  if (writes) writes->finish();
  if (!s.DatabaseFailure.empty()) s.BatchFailed = true;
}

}  // namespace tavrix
