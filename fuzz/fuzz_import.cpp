// A whole inventory file through both passes of F06_READ_CSV and the importers, on the database
// the delivered scripts build. The database is built once per process by the real batch, with one
// generated computer imported; each input is then written as one CSV and imported by the batch's
// import loop. After each input the snapshot rules are checked: the fuzzed computer has at most
// one T_BasicInf row and every detail row of it carries that row's RNO and CreateDate; the other
// computer keeps every row; no transaction is left open.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "batch/database.h"
#include "run/main_batch.h"
#include "fuzz/fuzz_support.h"
#include "import/csv_files.h"
#include "import/record_identity.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/platform/db_rows.h"
#include "tools/samples.h"

using namespace tavrix;

namespace {

constexpr std::string_view kFuzzedPc = "FUZZPC";

// One query over all tables: "table|rows" for each.
std::string countQuery(std::string_view where) {
  std::string sql;
  for (std::string_view table : kInventoryTables) {
    if (!sql.empty()) sql += " UNION ALL ";
    sql += "SELECT '" + std::string(table) + "', count(*) FROM " + std::string(table) + " d WHERE " + std::string(where);
  }
  return sql;
}

struct Importer {
  fuzz::ProcessFolder folder;
  FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  fuzz::CountingMessageSink sink;
  RunState s{sink, clock};
  samples::Computer other = samples::makeComputer(1, 1);
  std::vector<std::string> otherRows;     // "table|rows" as the generator counts them
  std::string otherQuery, orphanQuery;
  std::uint64_t inputs = 0;

  Importer() {
    const std::string root = folder.path();
    fuzz::writeBytes(root + "/Tavrix.ini",
                     "[Tavrix Section]\nLOG_DIR=" + root + "/log\nLOG_FILE=Tavrix.log\nMDB_DIR=" + root +
                         "/db\nMDB_NAME=Tavrix.mdb\nCSV_DIR=" + root + "/csv\nDSTRB_DIR=" TAVRIX_SOURCE_DIR
                         "/dstrb\nRUNMODE=UPDATEONLY\nCSV_SAVE_DIR=" + root + "/save\n");
    paths::makeFolder(root + "/csv");
    fuzz::writeBytes(root + "/csv/" + other.pcId + ".csv", text::utf8ToCp932(other.text));
    s.ProgramFolder = root;
    runBatch(s, nullptr);  // builds the database from the scripts and imports the other computer
    fuzz::require(paths::fileExists(s.MDB_DIR + s.MDB_NAME), "the batch built no database; see its log");
    for (std::string_view table : kInventoryTables) {
      auto n = other.rows.find(std::string(table));
      otherRows.push_back(std::string(table) + "|" + std::to_string(n == other.rows.end() ? 0 : n->second));
    }
    otherQuery = countQuery("PCid = '" + other.pcId + "'");
    orphanQuery = countQuery("PCid = '" + std::string(kFuzzedPc) +
                             "' AND NOT EXISTS (SELECT 1 FROM T_BasicInf b WHERE b.PCid = d.PCid"
                             " AND b.RNO = d.RNO AND b.CreateDate IS d.CreateDate)");
    fuzz::require(test::rowsOf(open(), otherQuery) == otherRows,
                  "the generated computer was not imported whole");
    s.LOG_DIR = "/dev/";  // millions of inputs: the log goes nowhere
    s.LOG_FILE = "null";
  }
  db::Connection& open() {
    fuzz::require(!F_OPEN_DB(s), "the inventory database does not open");  // no-op while open
    return s.DbConnection;
  }

  void importOne(std::string_view bytes) {
    fuzz::writeBytes(s.CSV_DIR + std::string(kFuzzedPc) + ".csv", bytes);
    if (!s.DbOpen) open();
    F_CNT_CSVFILE(s);
    fuzz::require(s.FoundFileCount == 1, "the CSV folder does not hold the one input file");
    importCsvFiles(s);
    check();
  }

  void check() {
    db::Connection& c = s.DbConnection;
    fuzz::require(c.isOpen() && !c.inTransaction(), "the import left a transaction open");
    auto basic = test::rowsOf(c, "SELECT count(*) FROM T_BasicInf WHERE PCid = '" + std::string(kFuzzedPc) + "'");
    fuzz::require(basic.size() == 1 && (basic[0] == "0" || basic[0] == "1"), "more than one snapshot of a computer");
    for (const std::string& row : test::rowsOf(c, orphanQuery))
      fuzz::require(row.ends_with("|0"), "a detail row without its snapshot: " + row);
    fuzz::require(test::rowsOf(c, otherQuery) == otherRows, "another computer's rows changed");
    if (++inputs % 64 == 0)
      fuzz::require(test::rowsOf(c, "PRAGMA quick_check") == std::vector<std::string>{"ok"}, "quick_check failed");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Importer importer;
  importer.importOne(fuzz::bytesOf(data, size));
  return 0;
}
