// F_CHECK_ENV and F_MAKE_DIR: the folders the batch writes to.
#include "batch/folders.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "batch/messages.h"
#include "batch/run_log.h"
#include "platform/paths.h"

namespace tavrix {

bool F_MAKE_DIR(RunState& s, const std::string& path) {
  if (path.empty()) return false;
  // Each prefix of the path in turn; the empty component of a trailing "/" adds nothing.
  std::string current = path.front() == '/' ? "/" : "";
  std::size_t start = path.front() == '/' ? 1 : 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    std::string component = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    start = slash == std::string::npos ? path.size() + 1 : slash + 1;
    if (component.empty()) continue;
    if (!current.empty() && current.back() != '/') current += '/';
    current += component;
    if (paths::directoryExists(current)) continue;
    std::string error;
    if (!paths::makeFolder(current, &error)) {
      reportMessage(s, current + ": " + error, MessageStyle::Plain);
      return true;
    }
  }
  return false;
}

namespace {

void ensureFolder(RunState& s, const std::string& folder) {
  if (paths::directoryExists(folder)) return;
  bool failed = F_MAKE_DIR(s, folder);
  F_WRITE_LOG(s, folder + (failed ? " ディレクトリを作成できません。" : " ディレクトリを作成しました。"));
}

// A folder that is there but closed to this user (not in its group): said once, with the cause,
// before anything is written; true when one is.
bool closedFolder(RunState& s) {
  for (const std::string* folder : {&s.MDB_DIR, &s.LOG_DIR, &s.CSV_SAVE_DIR, &s.CSV_DIR}) {
    if (folder == &s.MDB_DIR && !s.DB_SERVER.empty()) continue;  // no database file
    if (!paths::directoryExists(*folder) || ::access(folder->c_str(), R_OK | W_OK | X_OK) == 0) continue;
    reportMessage(s, *folder + ": " + std::strerror(errno), MessageStyle::Plain);
    return true;
  }
  return false;
}

}  // namespace

bool F_CHECK_ENV(RunState& s) {
  try {
    if (closedFolder(s)) return true;
    if (s.DB_SERVER.empty()) ensureFolder(s, s.MDB_DIR);
    ensureFolder(s, s.LOG_DIR);
    // The run log starts afresh here; the two lines above go with the old file.
    std::string logPath = s.LOG_DIR + s.LOG_FILE;
    if (paths::fileExists(logPath)) paths::removeFile(logPath);
    ensureFolder(s, s.CSV_SAVE_DIR);
    return false;
  } catch (const std::exception&) {
    F_WRITE_LOG(s, "");
    return true;
  }
}

}  // namespace tavrix
