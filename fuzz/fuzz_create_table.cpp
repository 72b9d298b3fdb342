// F_CRE_TABLE on an arbitrary statement, against a fresh database file per input.
#include <cstdint>
#include <string>
#include <vector>

#include "dbscript/create_table.h"
#include "fuzz/fuzz_support.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/platform/db_rows.h"

using namespace tavrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::ProcessFolder folder;
  static FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  fuzz::CountingMessageSink sink;
  RunState s(sink, clock);
  s.MDB_DIR = folder.path() + "/";
  s.ScriptMdbName = "@work.mdb";
  const std::string path = s.MDB_DIR + s.ScriptMdbName;
  paths::removeFile(path);
  db::createDatabase(path);

  // The assembler hands over decoded text.
  F_CRE_TABLE(s, text::cp932ToUtf8(fuzz::bytesOf(data, size)));

  // At most the one table is defined, and the file is still a sound database.
  db::Connection c;
  c.openPlain(path);
  const auto tables = test::rowsOf(c, "SELECT name FROM sqlite_master WHERE type='table' AND name<>'sqlite_sequence'");
  fuzz::require(tables.size() <= 1, "more than one table defined");
  fuzz::require(test::rowsOf(c, "PRAGMA quick_check") == std::vector<std::string>{"ok"}, "quick_check failed");
  return 0;
}
