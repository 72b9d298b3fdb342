// F_CNT_SQLFILE and F04_READ_SQLTXT: finding and reading the delivered script files.
#include "dbscript/script_files.h"

#include <cerrno>

#include "batch/run_log.h"
#include "dbscript/create_mdb.h"
#include "dbscript/exec_sqltxt.h"
#include "dbscript/script_lines.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix {

namespace {

std::string scriptLabel(const RunState& s) { return "取り込み用(" + s.CurrentScriptFile + ")"; }

// Runs the body after the TABLENAME line. True when the file failed (already logged).
bool runBody(RunState& s, paths::LineReader& reader) {
  std::string bodyFailed = scriptLabel(s) + " " + s.ScriptTableName + "の作成ができません。";
  try {
    if (!F_EXEC_SQLTXT(s, reader)) return false;
  } catch (const std::exception& e) {
    F_WRITE_LOG(s, std::string("F04_READ_SQLTXT: ") + e.what());
  }
  F_WRITE_LOG(s, bodyFailed);
  return true;
}

}  // namespace

bool F_CNT_SQLFILE(RunState& s) {
  s.FoundFileCount = 0;
  std::vector<std::string> found;
  for (std::string_view pattern : {"*.sq*", "*.sql", "*.squ"}) {
    errno = 0;
    auto names = paths::listFiles(s.DSTRB_DIR, pattern);
    if (!names) {
      int code = errno;
      F_WRITE_LOG(s, "取り込み用(.SQL/.SQU)ファイルのカウント処理中にエラーが発生しました。(" + std::to_string(code) + ")");
      return true;
    }
    if (pattern == "*.sq*") {
      found.reserve(names->size());  // the wide count only sizes the list
    } else {
      found.insert(found.end(), names->begin(), names->end());
    }
  }
  s.ScriptFileList = std::move(found);
  s.FoundFileCount = static_cast<int>(s.ScriptFileList.size());
  return false;
}

bool runScriptFiles(RunState& s) {
  if (F_CNT_SQLFILE(s)) return true;
  for (const std::string& file : std::vector<std::string>(s.ScriptFileList)) {
    s.CurrentScriptFile = file;
    if (F04_READ_SQLTXT(s)) return true;
  }
  return false;
}

std::vector<std::string> scriptDatabaseNames(const RunState& s) {
  std::vector<std::string> names;
  for (std::string_view pattern : {"*.sql", "*.squ"}) {
    auto files = paths::listFiles(s.DSTRB_DIR, pattern);
    if (!files) continue;
    for (const std::string& file : *files) {
      paths::LineReader reader(s.DSTRB_DIR + file);
      std::string raw;
      while (reader.next(raw)) {
        std::string line = prepareScriptLine(raw);
        if (isIgnoredScriptLine(line)) continue;
        Directive directive = readDirective(text::trimLeft(line));
        if (directive.kind == DirectiveKind::TableName) break;
        if (directive.kind == DirectiveKind::MdbName) names.emplace_back(text::trim(directive.value));
      }
    }
  }
  return names;
}

bool F04_READ_SQLTXT(RunState& s) {
  s.ScriptMdbName.clear();
  s.ScriptTableName.clear();
  paths::LineReader reader(s.DSTRB_DIR + s.CurrentScriptFile);
  if (!reader.isOpen()) {
    F_WRITE_LOG(s, "F04_READ_SQLTXT: " + reader.errorText());
    return true;
  }
  std::string raw;
  while (reader.next(raw)) {
    std::string line = prepareScriptLine(raw);
    if (isIgnoredScriptLine(line)) continue;
    Directive directive = readDirective(text::trimLeft(line));
    if (directive.kind == DirectiveKind::MdbName) {
      s.ScriptMdbName = "@" + std::string(text::trim(directive.value));
      if (F07_CRE_MDB(s)) {
        F_WRITE_LOG(s, scriptLabel(s) + " " + s.ScriptMdbName + "の作成ができません。");
        return true;
      }
    } else if (directive.kind == DirectiveKind::TableName) {
      s.ScriptTableName = directive.value;
      if (s.ScriptTableName.empty()) continue;
      if (runBody(s, reader)) return true;
      break;  // the body has read the file to its end
    }
  }
  if (reader.failed()) {
    F_WRITE_LOG(s, "F04_READ_SQLTXT: " + reader.errorText());
    return true;
  }
  if (s.ScriptMdbName.empty()) {
    F_WRITE_LOG(s, scriptLabel(s) + "に[MDBNAME]の指定がありません。");
    return true;
  }
  if (!s.ScriptTableName.empty()) return false;
  F_WRITE_LOG(s, scriptLabel(s) + "に[TABLENAME]の指定がありません。");
  return true;
}

}  // namespace tavrix
