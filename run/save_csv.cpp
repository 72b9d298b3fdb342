// F_SAVE_CSV: the imported and the rejected inventories leave the CSV folder.
#include "run/save_csv.h"

#include <algorithm>

#include "batch/database.h"
#include "batch/folders.h"
#include "batch/messages.h"
#include "batch/run_log.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix {
namespace {

bool taken(const std::string& path) { return paths::entryExists(path); }

// A folder under CSV_SAVE_DIR (day, time or rejected folder) that is a link could lead the
// inventories anywhere: a folder with one on its way is not used.
bool refusedLink(RunState& s, const std::string& folder) {
  const std::size_t first = folder.find('/', s.CSV_SAVE_DIR.size());
  for (std::size_t end = first; end != std::string::npos; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!paths::isLink(part)) continue;
    const std::string shown = text::decodeUtf8OrCp932(part) + ": リンクです";
    reportMessage(s, shown, MessageStyle::Plain, shown + "（保存先に使いません。CSVはCSVフォルダに残します）");
    return true;
  }
  return false;
}

// Makes folder unless a link is on its way; true when it cannot be used.
bool makeSaveFolder(RunState& s, const std::string& folder) {
  return refusedLink(s, folder) || F_MAKE_DIR(s, folder) || refusedLink(s, folder);
}

// A path in folder for name that no file has yet; "" when the time folder cannot be made.
std::string freeDestination(RunState& s, const std::string& folder, const std::string& name) {
  if (!taken(folder + name)) return folder + name;
  const DateTime now = s.TheClock.now();
  char time[8];
  std::snprintf(time, sizeof(time), "%02d%02d%02d", now.hour, now.minute, now.second);
  for (int n = 1;; ++n) {
    std::string sub = folder + time + (n == 1 ? "" : "-" + std::to_string(n)) + "/";
    if (taken(sub + name)) continue;
    if (makeSaveFolder(s, sub)) return {};
    return sub + name;
  }
}

}  // namespace

void F_SAVE_CSV(RunState& s) {
  const std::string saveFolder = s.CSV_SAVE_DIR + s.TheClock.now().compactDay() + "/";
  const std::string rejectedFolder = saveFolder + "rejected/";
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(s.FoundFileCount, 0)), s.CsvFileList.size());
  bool moved = false;
  for (std::size_t i = 0; i < count; ++i) {
    CsvOutcome outcome = i < s.CsvOutcomes.size() ? s.CsvOutcomes[i] : CsvOutcome::NotImported;
    if (outcome == CsvOutcome::NotImported) continue;
    const std::string& folder = outcome == CsvOutcome::Imported ? saveFolder : rejectedFolder;
    const std::string& name = s.CsvFileList[i];
    const paths::FileIdentity* readAs = i < s.CsvReadAs.size() ? &s.CsvReadAs[i] : nullptr;
    if (makeSaveFolder(s, folder)) {  // shown; the file stays and is tried again next run
      s.CsvLeftBehind = true;
      if (outcome == CsvOutcome::Imported) s.CommittedNotSaved.push_back(name);
      continue;
    }
    std::string destination = freeDestination(s, folder, name);
    std::string error;
    bool replaced = false;
    if (!destination.empty() && paths::moveFile(s.CSV_DIR + name, destination, &error, readAs, &replaced)) {
      moved = true;
      if (s.Progress) s.Progress->fileSaved(static_cast<int>(i + 1));
      continue;
    }
    const std::string shownName = text::decodeUtf8OrCp932(name);
    if (replaced && !paths::entryExists(s.CSV_DIR + name)) {
      F_WRITE_LOG(s, shownName + " は読み込んだ後に無くなりました。");
      continue;
    }
    s.CsvLeftBehind = true;
    if (replaced) {
      // Delivered again after it was read: the new contents are the next run's.
      F_WRITE_LOG(s, shownName + " は読み込んだ後に置き換えられました。新しいファイルをCSVフォルダに残し、次回取り込みます。");
    } else if (!destination.empty()) {
      // The folder that refused, and why; the file's own line says where it stays.
      const std::string shown = text::decodeUtf8OrCp932(destination.substr(0, destination.rfind('/') + 1)) + ": " + error;
      reportMessage(s, shown, MessageStyle::Plain, shown + "（" + shownName + " はCSVフォルダに残します）");
    }
    if (!replaced && outcome == CsvOutcome::Imported) s.CommittedNotSaved.push_back(name);
  }
  // The new names in both folders reach the disk before the run reports its end.
  if (moved) {
    paths::syncFileSystem(saveFolder);
    paths::syncFileSystem(s.CSV_DIR);
  }
}

void rememberUnsavedCsvs(RunState& s) {
  std::vector<UnsavedCsv> files;
  for (const std::string& name : s.CommittedNotSaved)
    if (UnsavedCsv file = unsavedRecordOf(s.CSV_DIR, name); file.size >= 0) files.push_back(std::move(file));
  const std::optional<std::string> list = unsavedListPath(databaseLocation(s));
  if (!list) return;  // a server keeps no file beside it
  const std::string& path = *list;
  if (!writeUnsavedList(path, files))
    F_WRITE_LOG(s, path + " に保存できなかったCSVを書けませんでした。次回はそれらを取り込み直します。");
}

}  // namespace tavrix
