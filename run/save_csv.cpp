// F_SAVE_CSV: the imported and the rejected inventories leave the CSV folder.
#include "run/save_csv.h"

#include <algorithm>

#include "batch/folders.h"
#include "batch/messages.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix {
namespace {

bool taken(const std::string& path) { return paths::fileExists(path) || paths::directoryExists(path); }

// A path in folder for name that no file has yet; "" when the time folder cannot be made.
std::string freeDestination(RunState& s, const std::string& folder, const std::string& name) {
  if (!taken(folder + name)) return folder + name;
  const DateTime now = s.TheClock.now();
  char time[8];
  std::snprintf(time, sizeof(time), "%02d%02d%02d", now.hour, now.minute, now.second);
  for (int n = 1;; ++n) {
    std::string sub = folder + time + (n == 1 ? "" : "-" + std::to_string(n)) + "/";
    if (taken(sub + name)) continue;
    if (F_MAKE_DIR(s, sub)) return {};
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
    if (F_MAKE_DIR(s, folder)) continue;  // shown; the file stays and is tried again next run
    std::string destination = freeDestination(s, folder, name);
    std::string error;
    if (!destination.empty() && paths::moveFile(s.CSV_DIR + name, destination, &error)) {
      moved = true;
      if (s.Progress) s.Progress->fileSaved(static_cast<int>(i + 1));
    } else if (!destination.empty()) {
      std::string shown = text::decodeUtf8OrCp932(s.CSV_DIR + name) + ": " + error;
      reportMessage(s, shown, MessageStyle::Plain, shown + "（CSVフォルダに残します）");
    }
  }
  // The new names in both folders reach the disk before the run reports its end.
  if (moved) {
    paths::syncFileSystem(saveFolder);
    paths::syncFileSystem(s.CSV_DIR);
  }
}

}  // namespace tavrix
