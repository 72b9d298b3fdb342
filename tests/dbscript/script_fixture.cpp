// A run state over temporary folders for the script phase, with recorded message boxes and log.
#include "tests/dbscript/script_fixture.h"

#include <algorithm>
#include <filesystem>

#include "dbscript/script_files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix::test {

void ScriptFixture::makeDirectory(const std::string& path) { std::filesystem::create_directories(path); }

void ScriptFixture::writeScript(const std::string& name, const std::string& utf8Text) {
  writeFile(state.DSTRB_DIR + name, cp932(text::replaceAll(utf8Text, "\n", "\r\n")));
}

std::vector<std::string> ScriptFixture::log() const {
  if (!paths::fileExists(state.LOG_DIR + state.LOG_FILE)) return {};
  return logMessages(state.LOG_DIR + state.LOG_FILE);
}

std::vector<bool> ScriptFixture::runScripts() {
  std::vector<bool> results;
  if (F_CNT_SQLFILE(state)) return results;
  for (int i = 0; i < state.FoundFileCount; ++i) {
    state.CurrentScriptFile = state.ScriptFileList[i];
    results.push_back(F04_READ_SQLTXT(state));
    if (results.back()) break;
  }
  return results;
}

std::vector<std::string> ScriptFixture::schema(const std::string& path, const std::string& table) {
  std::vector<std::string> out;
  for (const auto& row : rows(path, "SELECT name, type, \"notnull\", pk FROM pragma_table_info('" + table + "')"))
    out.push_back(row);
  return out;
}

std::vector<std::string> ScriptFixture::rows(const std::string& path, const std::string& sql) {
  db::Connection c;
  c.openPlain(path);
  std::vector<std::string> out;
  for (db::ReadOnlyRecordSet rs(c, sql); !rs.eof(); rs.moveNext()) {
    std::string row;
    for (const auto& name : rs.fieldNames()) {
      db::Value v = rs.field(name);
      row += (row.empty() ? "" : "|") + (v.isNull() ? std::string("<null>") : v.text());
    }
    out.push_back(row);
  }
  return out;
}

std::vector<std::string> ScriptFixture::entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tavrix::test
