// tavrix-report history, diff and changes on the kept inventories of the day-by-day fixture: each
// command's whole output in each format, the exit statuses and the lines on standard error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/history/history_days.h"
#include "tests/queries/fleet_fixture.h"

namespace tavrix::test {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string tsv(const Rows& rows) {
  std::string out;
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) out += row[i] + (i + 1 < row.size() ? "\t" : "\n");
  return out;
}

std::string csv(const Rows& rows) {
  std::string out = kBom + "PCid,section,change,item,old,new\r\n";
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) out += row[i] + (i + 1 < row.size() ? "," : "\r\n");
  return out;
}

// PC01 from its first inventory to its newest.
const Rows kFirstToNewest = {{"ユーザー名", "~", "", "tanaka", "sato"}, kFirstToSecond[0],
                             {"ドライブ", "~", "C: 空き容量", "10000MB", "19000MB"},
                             {"プリンタ一覧", "+", "Canon LBP-3300", "", ""}, kFirstToSecond[2], kFirstToSecond[3],
                             kTwoNewest[1], kFirstToSecond[4], kFirstToSecond[5]};

Rows withPcId(const std::string& pcId, Rows rows) {
  for (auto& row : rows) row.insert(row.begin(), pcId);
  return rows;
}

class HistoryReport : public HistoryDays {
 protected:
  ProgramRun report(const std::string& args) { return runReport(dir, "--save '" + save() + "' " + args); }
  ProgramRun reportBesideIni(const std::string& args) { return runReportBesideIni(dir, args); }
};

// Each command's whole answer in each format (asked with the folder ending in "/"); failures exit 1 with
// one line, mistakes 2 with the usage after their first line.
TEST_F(HistoryReport, EachCommandWritesItsWholeAnswerFailuresOneLineMistakesTheUsage) {
  struct Case {
    const char* args;
    int status;
    std::string out, err;  // err: the whole of standard error, or its first line for a usage mistake
  };
  const std::string none = "tavrix-report: no kept inventory of ";
  const std::string neither = "\" is neither a number from history nor a date";
  const Case cases[] = {
      {"history pc01", 0, tsv(kHistory), ""},
      {"--format json history PC02", 0,
       "[\n{\"No\":1,\"CreateDate\":\"2026/12/03 08:00\",\"File\":\"20261203/PC02.csv\"}\n]\n", ""},
      {"diff PC01", 0, tsv(kTwoNewest), ""},
      {"diff PC01 4 3", 0, tsv(kFirstToSecond), ""},
      {"diff PC01 '2026/12/01 08:30' '2026/12/02 08:30'", 0, tsv(kFirstToSecond), ""},
      {"diff PC01 2", 0, tsv(kTwoNewest), ""},
      {"diff PC01 1 1", 0, "", ""},
      {"--format csv diff PC01", 0,
       kBom + "section,change,item,old,new\r\nユーザー名,~,,tanaka,sato\r\n"
              "現在インストールされているプログラム,-,Adobe Reader 7.0,7.0.9,\r\n", ""},
      {"--format json diff PC01 3 2", 0,
       "[\n{\"section\":\"プリンタ一覧\",\"change\":\"+\",\"item\":\"Canon LBP-3300\",\"old\":\"\",\"new\":\"\"}\n]\n", ""},
      {"--format json diff PC01 1 1", 0, "[]\n", ""},
      // From the inventory in force before the day (none before 12/01) to the newest.
      {"changes --since 2026/12/01", 0, tsv(withPcId("PC01", kFirstToNewest)), ""},
      {"--format csv changes --since 2026/12/02", 0, csv(withPcId("PC01", kFirstToNewest)), ""},
      {"changes --since 2026/12/03", 0, tsv(withPcId("PC01", kTwoNewest)), ""},
      {"changes --since 2026/12/04", 0, tsv(withPcId("PC01", kTwoNewest)), ""},
      {"changes --since 2026/12/05", 0, "", ""},
      {"diff PC02", 1, "", "tavrix-report: PC02 has one kept inventory only (20261203/PC02.csv): nothing to compare\n"},
      {"diff PC99", 1, "", none + "PC99 in " + save() + "\n"},
      {"history PC99", 1, "", none + "PC99 in " + save() + "\n"},
      {"diff PC0", 1, "", none + "PC0 in " + save() + "\n"},
      {"diff PC01 5", 1, "", "tavrix-report: no inventory number 5: there are 4 (1 = newest)\n"},
      {"diff PC01 0", 1, "", "tavrix-report: no inventory number 0: there are 4 (1 = newest)\n"},
      {"diff PC01 2 '2026/12/05 08:30'", 1, "", "tavrix-report: no kept inventory dated 2026/12/05 08:30\n"},
      {"diff PC01 yesterday", 1, "", "tavrix-report: \"yesterday" + neither + " yyyy/mm/dd hh:nn\n"},
      {"changes --since 12/02", 1, "", "tavrix-report: --since needs a date yyyy/mm/dd, not \"12/02\"\n"},
      {"history", 2, "", "tavrix-report: history needs one PCID"},
      {"history PC01 PC02", 2, "", "tavrix-report: history needs one PCID"},
      {"diff", 2, "", "tavrix-report: diff needs a PCID and at most two inventories (FROM, TO)"},
      {"diff PC01 1 2 3", 2, "", "tavrix-report: diff needs a PCID and at most two inventories (FROM, TO)"},
      {"changes", 2, "", "tavrix-report: changes needs --since yyyy/mm/dd"},
      {"changes --since", 2, "", "tavrix-report: --since needs a value"},
      {"changes --since 2026/12/01 PC01", 2, "", "tavrix-report: changes: unknown argument \"PC01\""},
  };
  ASSERT_EQ(folderNames(save() + "/20261203/rejected"), std::vector<std::string>{"pc01.csv"});
  for (const Case& c : cases) {
    const ProgramRun run = runReport(dir, "--save '" + save() + (c.status == 0 ? "/' " : "' ") + c.args);
    EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.args;
    EXPECT_EQ(c.status == 2 ? run.err.substr(0, run.err.find('\n')) : run.err, c.err) << c.args;
  }
  EXPECT_EQ(runReport(dir, "--save '" + dir.file("nowhere") + "' history PC01").err,
            "tavrix-report: cannot list the save folder " + dir.file("nowhere") + "/: No such file or directory\n");
  EXPECT_EQ(runReport(dir, "--save").err.substr(0, 36), "tavrix-report: --save needs a value\n");
  EXPECT_NE(runReport(dir, "--help").out.find("  diff PCID [FROM [TO]]"), std::string::npos);
}

TEST_F(HistoryReport, ADamagedKeptFileIsNamedOnStandardErrorAndTheOthersUsed) {
  writeFile(save() + "/20261202/PC01.csv", "\x81\x82garbage\r\n");
  const std::string warning = "tavrix-report: skipped 20261202/PC01.csv: no header line (0,1)\n";
  const ProgramRun list = report("history PC01");
  EXPECT_EQ(list.err, warning);
  EXPECT_EQ(list.out, tsv({kHistory[0], {"2", "2026/12/02 14:45", "20261202/150000/PC01.csv"},
                           {"3", "2026/12/01 08:30", "20261201/PC01.csv"}}));
  const ProgramRun run = report("diff PC01 3 2");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, warning);
  Rows expected = kFirstToSecond;
  expected.insert(expected.begin() + 2, {"プリンタ一覧", "+", "Canon LBP-3300", "", ""});
  EXPECT_EQ(run.out, tsv(expected));
  EXPECT_EQ(report("changes --since 2026/12/01").err, warning);
}

// Eight-digit folders that are no dates hold no inventories: each is named once, its files unread.
TEST_F(HistoryReport, DayFoldersThatAreNoDatesAreNamedAndLeftUnread) {
  for (const char* day : {"00000000", "20261399"})
    writeFile(save() + "/" + day + "/PC01.csv", firstDay().replace("0,1,QUILLO,PC01,2.1,2026/12/01 08:30", "0,1,QUILLO,PC01,2.1,2026/12/05 10:00").bytes());
  const std::string warning = "tavrix-report: skipped 00000000: not a date, so no day of kept inventories\n"
                              "tavrix-report: skipped 20261399: not a date, so no day of kept inventories\n";
  const ProgramRun list = report("history PC01");
  EXPECT_EQ(list.err, warning);
  EXPECT_EQ(list.out, tsv(kHistory));
  const ProgramRun changes = report("changes --since 2026/12/03");
  EXPECT_EQ(changes.err, warning);
  EXPECT_EQ(changes.out, tsv(withPcId("PC01", kTwoNewest)));
}

TEST_F(HistoryReport, WithoutSaveTheFolderComesFromTavrixIniBesideTheProgram) {
  const ProgramRun run = reportBesideIni("history PC01");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, tsv(kHistory));

  writeFile(dir.file("Tavrix.ini"), "[Tavrix Section]\r\nMDB_DIR=" + dir.path() + "/db\r\nMDB_NAME=Tavrix.mdb\r\n");
  const ProgramRun unnamed = reportBesideIni("diff PC01");
  EXPECT_EQ(unnamed.status, 1);
  EXPECT_EQ(unnamed.err, "tavrix-report: Tavrix.ini names no save folder (CSV_SAVE_DIR is empty): " +
                             dir.file("Tavrix.ini") + "\n");
  EXPECT_EQ(reportBesideIni("--save '" + save() + "' diff PC01").out, tsv(kTwoNewest));

  std::filesystem::remove(dir.file("Tavrix.ini"));
  EXPECT_EQ(reportBesideIni("changes --since 2026/12/01").err,
            "tavrix-report: no --save given and no Tavrix.ini beside the program (" + dir.file("Tavrix.ini") + ")\n");
}

}  // namespace
}  // namespace tavrix::test
