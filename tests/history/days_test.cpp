// One computer's inventories delivered day by day through the real batch, then its history, the
// comparisons of its kept inventories and the fleet's changes, each compared whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/history_commands.h"
#include "tests/history/history_days.h"

namespace tavrix::test {
namespace {

using history::CommandResult;

TEST_F(HistoryDays, HistoryListsEveryKeptInventoryNewestFirst) {
  ASSERT_EQ(folderNames(save() + "/20261203/rejected"), std::vector<std::string>{"pc01.csv"});
  for (const char* pcId : {"PC01", "pc01", "Pc01"}) {
    CommandResult r = history::historyCommand(save(), pcId);
    EXPECT_EQ(r.error, "") << pcId;
    EXPECT_EQ(r.warnings, std::vector<std::string>{}) << pcId;
    EXPECT_EQ(r.table.columns, (std::vector<std::string>{"No", "CreateDate", "File"}));
    EXPECT_EQ(r.table.rows, kHistory) << pcId;
  }
}

TEST_F(HistoryDays, DiffComparesTheChosenInventories) {
  struct Case {
    const char* from;
    const char* to;
    Rows rows;
  };
  const Case cases[] = {
      {"", "", kTwoNewest},
      {"2026/12/02 14:45", "2026/12/04 08:30", kTwoNewest},
      {"2", "", kTwoNewest},
      {"4", "3", kFirstToSecond},
      {"2026/12/01 08:30", "2026/12/02 08:30", kFirstToSecond},
      {"3", "2", {{"プリンタ一覧", "+", "Canon LBP-3300", "", ""}}},
      {"1", "1", {}},
  };
  for (const Case& c : cases) {
    CommandResult r = history::diffCommand(save() + "/", "pc01", c.from, c.to);
    EXPECT_EQ(r.error, "") << c.from << " -> " << c.to;
    EXPECT_EQ(r.table.columns, (std::vector<std::string>{"section", "change", "item", "old", "new"}));
    EXPECT_EQ(r.table.rows, c.rows) << c.from << " -> " << c.to;
  }
}

TEST_F(HistoryDays, ChangesSinceADayCompareOldestAndNewestOfEachComputer) {
  CommandResult r = history::changesCommand(save(), "2026/12/02");
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.table.columns, (std::vector<std::string>{"PCid", "section", "change", "item", "old", "new"}));
  EXPECT_EQ(r.table.rows, (Rows{{"PC01", "ユーザー名", "~", "", "tanaka", "sato"},
                                {"PC01", "プリンタ一覧", "+", "Canon LBP-3300", "", ""},
                                {"PC01", "現在インストールされているプログラム", "-", "Adobe Reader 7.0", "7.0.9", ""}}));
  EXPECT_EQ(history::changesCommand(save(), "2026/12/04").table.rows, Rows{});  // one inventory each since then
  EXPECT_EQ(history::changesCommand(save(), "2026/12/31").table.rows, Rows{});
  EXPECT_EQ(history::changesCommand(save(), "12月").error, "--since needs a date yyyy/mm/dd, not \"12月\"");
}

TEST_F(HistoryDays, RefusalsSayWhy) {
  struct Case {
    const char* pcId;
    const char* from;
    const char* to;
    std::string error;
  };
  const Case cases[] = {
      {"PC02", "", "", "PC02 has one kept inventory only (20261203/PC02.csv): nothing to compare"},
      {"PC99", "", "", "no kept inventory of PC99 in " + save()},
      {"PC0", "", "", "no kept inventory of PC0 in " + save()},
      {"PC01", "5", "", "no inventory number 5: there are 4 (1 = newest)"},
      {"PC01", "0", "", "no inventory number 0: there are 4 (1 = newest)"},
      {"PC01", "2", "2026/12/05 08:30", "no kept inventory dated 2026/12/05 08:30"},
      {"PC01", "yesterday", "", "\"yesterday\" is neither a number from history nor a date yyyy/mm/dd hh:nn"},
  };
  for (const Case& c : cases) {
    CommandResult r = history::diffCommand(save(), c.pcId, c.from, c.to);
    EXPECT_EQ(r.error, c.error) << c.pcId << " " << c.from;
    EXPECT_EQ(r.table.rows, Rows{}) << c.pcId << " " << c.from;
  }
  EXPECT_EQ(history::historyCommand(save(), "PC99").error, "no kept inventory of PC99 in " + save());
  EXPECT_EQ(history::historyCommand(dir.file("nowhere"), "PC01").error,
            "cannot list the save folder " + dir.file("nowhere") + "/: No such file or directory");
}

TEST_F(HistoryDays, ADamagedKeptFileIsNamedAndSkipped) {
  writeFile(save() + "/20261202/PC01.csv", "\x81\x82garbage\r\n");
  const std::vector<std::string> warning = {"skipped 20261202/PC01.csv: no header line (0,1)"};
  CommandResult list = history::historyCommand(save(), "PC01");
  EXPECT_EQ(list.warnings, warning);
  EXPECT_EQ(list.table.rows, (Rows{kHistory[0], {"2", "2026/12/02 14:45", "20261202/150000/PC01.csv"},
                                   {"3", "2026/12/01 08:30", "20261201/PC01.csv"}}));
  CommandResult diff = history::diffCommand(save(), "PC01", "3", "2");
  EXPECT_EQ(diff.error, "");
  EXPECT_EQ(diff.warnings, warning);
  Rows expected = kFirstToSecond;
  expected.insert(expected.begin() + 2, {"プリンタ一覧", "+", "Canon LBP-3300", "", ""});
  EXPECT_EQ(diff.table.rows, expected);
  EXPECT_EQ(history::changesCommand(save(), "2026/12/01").warnings, warning);
}

}  // namespace
}  // namespace tavrix::test
