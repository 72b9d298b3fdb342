// The settings checks that stop a batch before it touches any file.
#include "run/configuration.h"

#include <cerrno>
#include <filesystem>

#include "batch/database.h"
#include "dbscript/script_files.h"
#include "platform/paths.h"

namespace tavrix {
namespace {

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

bool contains(const std::vector<std::string>& items, std::string_view item) {
  for (const auto& i : items)
    if (i == item) return true;
  return false;
}

// The folder as an absolute path without "." and ".." and with links resolved where it exists.
std::string resolvedFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  std::filesystem::path p = std::filesystem::weakly_canonical(absolute, ec);
  if (ec) p = absolute;  // a folder this user may not look into: compared as written
  std::string out = p.lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

// A CSV folder equal to, or inside, the save folder: the files would be moved onto themselves.
bool csvFolderInsideSaveFolder(const RunState& s) {
  std::string csv = resolvedFolder(s.CSV_DIR), save = resolvedFolder(s.CSV_SAVE_DIR);
  return csv == save || csv.starts_with(save == "/" ? save : save + "/");
}

}  // namespace

bool databaseMissing(const RunState& s) {
  return s.DB_SERVER.empty() && paths::fileSize(databaseLocation(s).filePath()) <= 0;
}

std::string configurationProblem(RunState& s) {
  if (contains(s.MissingIniKeys, "LOG_DIR")) s.LOG_DIR = s.ProgramFolder + "/";
  if (contains(s.MissingIniKeys, "LOG_FILE")) s.LOG_FILE = "Tavrix.log";
  if (!s.MissingIniKeys.empty()) {
    const bool exists = paths::fileExists(s.IniPath);
    const bool closed = !exists && errno == EACCES;  // there, but in a folder closed to this user
    std::string where = exists ? s.IniPath : s.IniPath + (closed ? "（読めません: Permission denied）" : "（ファイルがありません）");
    return "設定エラー: " + where + " に " + joined(s.MissingIniKeys) + " の指定がありません。処理を中止します。";
  }
  if (!s.WatchProblem.empty()) return "設定エラー: " + s.IniPath + " の [Watch] の " + s.WatchProblem + "処理を中止します。";
  if (std::string server = serverProblem(s); !server.empty())
    return "設定エラー: " + s.IniPath + " の " + server + "処理を中止します。";
  if (csvFolderInsideSaveFolder(s))
    return "設定エラー: CSV_DIR（" + s.CSV_DIR + "）が CSV_SAVE_DIR（" + s.CSV_SAVE_DIR +
           "）と同じか、その中にあります。処理を中止します。";
  // The build ends in the database that the last script names; names on the way are work databases.
  if (databaseMissing(s)) {
    const std::vector<std::string> names = scriptDatabaseNames(s);
    if (!names.empty() && names.back() != s.MDB_NAME)
      return "設定エラー: MDB_NAME（" + s.MDB_NAME + "）とスクリプトの MDBNAME（" + names.back() +
             "）が違います。処理を中止します。";
  }
  return {};
}

}  // namespace tavrix
