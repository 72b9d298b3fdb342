// F_CNT_CSVFILE, and the per-file import loop of the batch.
#include "import/csv_files.h"

#include <cerrno>
#include <exception>

#include "batch/run_log.h"
#include "import/basic_import.h"
#include "import/csv_reader.h"
#include "import/record_identity.h"
#include "platform/paths.h"

namespace tavrix {
namespace {

void beginFile(RunState& s) {
  if (!s.DbOpen) return;  // every database step reports the missing connection itself
  try {
    s.DbConnection.begin();
  } catch (const std::exception& e) {
    s.Messages.show(e.what());
  }
}

// Commits the file's rows, or drops them all when its full pass could not read it to the end,
// so that the computer keeps its earlier snapshot.
void endFile(RunState& s, bool readFailed) {
  try {
    if (!s.DbConnection.isOpen() || !s.DbConnection.inTransaction()) return;
    if (readFailed) s.DbConnection.rollback();
    else s.DbConnection.commit();
  } catch (const std::exception& e) {
    s.Messages.show(e.what());
    try {
      s.DbConnection.rollback();
    } catch (const std::exception&) {
    }
  }
}

void importFile(RunState& s, int index, int count) {
  s.CurrentCsvFile = s.CsvFileList[static_cast<std::size_t>(index - 1)];
  s.CurrentPcId = s.CurrentCsvFile.substr(0, s.CurrentCsvFile.find('.'));
  s.CurrentCreateDate = DateTime::zero();
  s.BasicInfo = {};  // one computer's values never leak into the next
  if (s.Progress) s.Progress->fileStarted(index, count, s.CurrentCsvFile);

  // A file that cannot be read leaves the computer's earlier snapshot alone. Without a connection
  // ("Cant DB Open " has been shown) every database step would fail: nothing is tried, so the user
  // does not face hundreds of boxes per file; the file still goes to the save folder.
  if (s.DbOpen && !F06_READ_CSV(s, "first")) {
    beginFile(s);
    for (std::string_view table : kInventoryTables) F_DEL_PCDATA(s, table, "PidOnly");
    F_ADD_BASICINF(s);
    s.NicAdapterCount = 0;
    s.NicAdapters.clear();
    bool readFailed = F06_READ_CSV(s, "any");
    F_UPD_BASICINF(s);
    endFile(s, readFailed);
  }
  F_WRITE_LOG(s, s.CurrentCsvFile + " 取込を終了しました。 ");
}

}  // namespace

bool F_CNT_CSVFILE(RunState& s) {
  s.FoundFileCount = 0;
  s.CsvFileList.clear();
  errno = 0;
  auto names = paths::listFiles(s.CSV_DIR, "*.csv");
  if (!names) {
    F_WRITE_LOG(s, "取り込み用(.CSV)ファイルのカウント処理中にエラーが発生しました。(" + std::to_string(errno) + ")");
    return true;
  }
  s.CsvFileList = std::move(*names);
  s.FoundFileCount = static_cast<int>(s.CsvFileList.size());
  return false;
}

void importCsvFiles(RunState& s) {
  const int count = s.FoundFileCount;
  for (int i = 1; i <= count && i <= static_cast<int>(s.CsvFileList.size()); ++i) importFile(s, i, count);
}

}  // namespace tavrix
