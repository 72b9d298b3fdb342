// The watch digest of real batches over four days: first inventories find nothing, a computer that
// gained a program and an administrator is found with exactly those (a program gone and back between
// two of its files in one batch is not), a computer not inventoried for the days is found once, and
// a batch that changes nothing adds no finding.
#include <algorithm>
#include <filesystem>

#include "run/watch_digest.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class WatchDigest : public ImportFixture {
 protected:
  WatchDigest() {
    writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) +
                                          "[Watch]\r\nPROGRAM_ADDED=*\r\nADMIN_ADDED=ON\r\nNOT_SEEN_DAYS=30\r\n");
  }
  void deliver(const std::string& name, const std::string& created, const Lines& lines) {
    std::string text = "0,1,QUILLO,PC,2.1," + created + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    writeFile(csvDir() + "/" + name, cp932(text));
  }
  Lines digest(const std::string& sinceDay = "") const {
    std::string error;
    Lines out;
    for (const DigestLine& line : readDigest(dir.file("log/"), sinceDay, error)) {
      const history::Finding& f = line.finding;
      out.push_back(f.pcId + "|" + f.rule + "|" + f.item + "|" + f.oldValue + "|" + f.newValue);
    }
    EXPECT_EQ(error, "");
    return out;
  }
  // How often the last run's log has the line (each run starts a fresh log).
  long logged(const std::string& line) const {
    const Lines lines = log();
    return std::count(lines.begin(), lines.end(), line);
  }
};

const Lines kDayOne = {"1,10,アプリ,Office,11.0", "1,12,グループ,Administrators,PC\\admin"};
const Lines kLater = {"1,10,アプリ,Office,11.0", "1,10,アプリ,Tor,1.0", "1,12,グループ,Administrators,PC\\admin",
                      "1,12,グループ,Administrators,PC\\bob", "1,12,グループ,Users,PC\\carol"};

TEST_F(WatchDigest, FindsWhatChangedOnceAndNothingForAnUnchangedBatch) {
  deliver("PC01.csv", "2026/12/04 08:00", kDayOne);
  deliver("PC02.csv", "2026/11/20 08:00", kDayOne);
  runBatchOnce();
  EXPECT_EQ(digest(), Lines{});
  EXPECT_EQ(logged("監視: 変化はありません。"), 1);

  clock.set(DateTime{2026, 12, 6, 9, 30, 0});
  deliver("PC01.a.csv", "2026/12/06 08:00", {"1,12,グループ,Administrators,PC\\admin"});  // Office gone ...
  deliver("PC01.csv", "2026/12/06 09:00", kLater);                                        // ... and back
  runBatchOnce();
  const Lines dayTwo = {"PC01|ADMIN_ADDED|Administrators||PC\\bob", "PC01|PROGRAM_ADDED|Tor||1.0"};
  EXPECT_EQ(digest(), dayTwo);
  EXPECT_EQ(logged("監視: 2 件の変化を " + dir.file("log/") + "digest/20261206.tsv に書きました。"), 1);

  clock.set(DateTime{2026, 12, 21, 9, 30, 0});
  deliver("PC01.csv", "2026/12/21 09:00", kLater);
  runBatchOnce();
  EXPECT_EQ(digest(), Lines{"PC02|NOT_SEEN_DAYS|30|2026/11/20 08:00|"});

  clock.set(DateTime{2026, 12, 22, 9, 30, 0});
  deliver("PC01.csv", "2026/12/22 09:00", kLater);
  runBatchOnce();
  EXPECT_EQ(logged("監視: 変化はありません。"), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("log/digest/20261222.tsv")));
  Lines since = dayTwo;
  since.push_back("PC02|NOT_SEEN_DAYS|30|2026/11/20 08:00|");
  EXPECT_EQ(digest("20261206"), since);
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

}  // namespace
}  // namespace tavrix::test
