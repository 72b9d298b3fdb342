// The watch rules: [Watch] read from an ini (and each value that does not read named), and what the
// rules find between two small inventories read from real files; the digest mailed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/watch_rules.h"
#include "history/kept_inventory.h"
#include "history/watch_findings.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

history::Inventory readLines(const TempDir& dir, const std::vector<std::string>& lines) {
  std::string text = "0,1,QUILLO,PC,2.1,2026/12/01 08:30\r\n";
  for (const auto& l : lines) text += l + "\r\n";
  writeFile(dir.file("PC.csv"), cp932(text));
  std::string error;
  auto inventory = history::readInventory(dir.file("PC.csv"), error);
  EXPECT_TRUE(inventory) << error;
  return inventory ? *inventory : history::Inventory{};
}

WatchRules rulesOf(const TempDir& dir, const std::string& section) {
  writeFile(dir.file("Tavrix.ini"), "[Tavrix Section]\r\nLOG_DIR=x\r\n[Watch]\r\n" + section);
  std::string problem;
  WatchRules rules = readWatchRules(dir.file("Tavrix.ini"), problem);
  EXPECT_EQ(problem, "") << section;
  return rules;
}

TEST(WatchRules, EachValueThatDoesNotReadIsNamed) {
  TempDir dir;
  const std::pair<const char*, const char*> cases[] = {
      {"ADMIN_ADDED=maybe", "ADMIN_ADDED（maybe）が読めません（ON か OFF で書いてください）。"},
      {"IP_CHANGED=2", "IP_CHANGED（2）が読めません（ON か OFF で書いてください）。"},
      {"DISK_FREE_BELOW=10%", "DISK_FREE_BELOW（10%）が読めません（1 から 99 の整数で書いてください）。"},
      {"DISK_FREE_BELOW=0", "DISK_FREE_BELOW（0）が読めません（1 から 99 の整数で書いてください）。"},
      {"NOT_SEEN_DAYS=thirty", "NOT_SEEN_DAYS（thirty）が読めません（1 から 36500 の整数で書いてください）。"},
      {"MAIL_TO=a@example.com, b@example.com", "MAIL_TO（a@example.com, b@example.com）が読めません（宛先を一つ、name@example.com の形で書いてください）。"},
      {"MAIL_TO=admin", "MAIL_TO（admin）が読めません（宛先を一つ、name@example.com の形で書いてください）。"},
  };
  for (const auto& [line, problem] : cases) {
    writeFile(dir.file("Tavrix.ini"), std::string("[Watch]\r\n") + line + "\r\n");
    std::string found;
    EXPECT_FALSE(readWatchRules(dir.file("Tavrix.ini"), found).any()) << line;
    EXPECT_EQ(found, problem) << line;
  }
  const WatchRules set = rulesOf(dir, "PROGRAM_ADDED= Tor ;;*\r\nprogram_removed=Office\r\nADMIN_ADDED=on\r\n"
                                      "UPDATE_REMOVED=YES\r\nDISK_FREE_BELOW=15\r\nNOT_SEEN_DAYS=45\r\nIP_CHANGED=OFF\r\n"
                                      "MAIL_TO=it@example.com\r\n");
  EXPECT_EQ(set.programAdded, (std::vector<std::string>{"Tor", "*"}));
  EXPECT_EQ(set.programRemoved, (std::vector<std::string>{"Office"}));
  EXPECT_TRUE(set.adminAdded && set.updateRemoved && !set.ipChanged);
  EXPECT_EQ(set.diskFreeBelow, 15);
  EXPECT_EQ(set.notSeenDays, 45);
  EXPECT_EQ(set.mailTo, "it@example.com");
  EXPECT_FALSE(rulesOf(dir, "").any()) << "no [Watch] keys: nothing watched";
}

struct FindingCase {
  const char* name;
  const char* rules;
  std::vector<std::string> older, newer;
  Rows found;  // rule, item, old, new
};

const std::string kDrive = "1,7,ドライブ,C,ローカル ディスク,NTFS,全容量,1000MB,空き容量,";
const std::string kIp = "1,11,NIC,1,12,IP アドレス,";

const FindingCase kCases[] = {
    {"ProgramsAddedAndRemovedByNamePart", "PROGRAM_ADDED=tor\r\nPROGRAM_REMOVED=*\r\n",
     {"1,10,アプリ,Office,11", "1,10,アプリ,Viewer,1"},
     {"1,10,アプリ,Office,12", "1,10,アプリ,Tor Browser,13", "1,10,アプリ,Notepad,2"},
     {{"PROGRAM_ADDED", "Tor Browser", "", "13"}, {"PROGRAM_REMOVED", "Viewer", "1", ""}}},
    {"ANewAdministratorOnly", "ADMIN_ADDED=ON\r\n",
     {"1,12,グループ,Administrators,PC\\admin", "1,12,グループ,Users,PC\\bob"},
     {"1,12,グループ,Administrators,PC\\admin", "1,12,グループ,administrators,PC\\bob", "1,12,グループ,Users,PC\\carol"},
     {{"ADMIN_ADDED", "administrators", "", "PC\\bob"}}},
    {"RemovedUpdatesOfEveryList", "UPDATE_REMOVED=ON\r\n",
     {"3,1,Windows Update,KB1,a", "3,2,Windows HotFix,KB2,b", "3,1,Windows Update,KB3,c"},
     {"3,1,Windows Update,KB3,c", "3,1,Windows Update,KB4,d"},
     {{"UPDATE_REMOVED", "KB1", "a", ""}, {"UPDATE_REMOVED", "KB2", "b", ""}}},
    {"AFixedDriveThatFellUnderThePercent", "DISK_FREE_BELOW=10\r\n",
     {kDrive + "500MB", "1,7,ドライブ,D,ローカル ディスク,NTFS,全容量,1000MB,空き容量,50MB",
      "1,7,ドライブ,E,CD-ROM ドライブ,CDFS,全容量,700MB,空き容量,0MB"},
     {kDrive + "99MB", "1,7,ドライブ,D,ローカル ディスク,NTFS,全容量,1000MB,空き容量,40MB",
      "1,7,ドライブ,E,CD-ROM ドライブ,CDFS,全容量,700MB,空き容量,0MB", "1,7,ドライブ,F,ローカル ディスク,NTFS,全容量,1GB,空き容量,5MB"},
     {{"DISK_FREE_BELOW", "C:", "50%", "9%"}, {"DISK_FREE_BELOW", "F:", "", "0%"}}},
    {"AnAdaptersAddress", "IP_CHANGED=ON\r\n",
     {"1,11,NIC,1,10,接続名,LAN", kIp + "192.168.1.5,マスク:,255.255.255.0"},
     {"1,11,NIC,1,10,接続名,LAN", kIp + "192.168.1.9,マスク:,255.255.255.0"},
     {{"IP_CHANGED", "LAN", "192.168.1.5", "192.168.1.9"}}},
    {"RulesNotSetFindNothing", "",
     {"1,10,アプリ,Office,11", "1,12,グループ,Users,PC\\bob", "3,1,Windows Update,KB1,a", kDrive + "500MB"},
     {"1,10,アプリ,Tor,1", "1,12,グループ,Administrators,PC\\bob", kDrive + "1MB"},
     {}},
};

class WatchFindings : public ::testing::TestWithParam<FindingCase> {};

TEST_P(WatchFindings, FindExactlyTheirChanges) {
  const FindingCase& c = GetParam();
  TempDir dir;
  const WatchRules rules = rulesOf(dir, c.rules);
  const history::Inventory older = readLines(dir, c.older), newer = readLines(dir, c.newer);
  Rows found;
  for (const history::Finding& f : history::watchFindings(rules, "PC", older, newer)) {
    EXPECT_EQ(f.pcId, "PC");
    found.push_back({f.rule, f.item, f.oldValue, f.newValue});
  }
  EXPECT_EQ(found, c.found);
  EXPECT_TRUE(history::watchFindings(rules, "PC", newer, newer).empty()) << "no change, no finding";
}

INSTANTIATE_TEST_SUITE_P(Cases, WatchFindings, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FindingCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tavrix::test

namespace tavrix::test {
namespace {

// tavrix-report digest --mail through a stand-in sendmail that keeps its arguments and the message.
TEST(DigestMail, TheFindingsGoToMailToThroughSendmail) {
  TempDir dir;
  const std::string ini = "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=T.mdb\r\n"
                          "CSV_DIR=*\\csv\r\nDSTRB_DIR=*\\dstrb\r\nCSV_SAVE_DIR=*\\save\r\n[Watch]\r\nADMIN_ADDED=ON\r\n";
  writeFile(dir.file("Tavrix.ini"), ini + "MAIL_TO=it@example.com\r\n");
  std::filesystem::create_directories(dir.file("log/digest"));
  writeFile(dir.file("log/digest/20261206.tsv"), "2026-12-06 09:30:00\tPC01\tADMIN_ADDED\tAdministrators\t\tPC\\bob\n");
  std::filesystem::create_directories(dir.file("bin"));
  writeFile(dir.file("bin/sendmail"), "#!/bin/sh\necho \"$@\" > '" + dir.file("args") + "'\ncat > '" + dir.file("mail") + "'\n");
  std::filesystem::permissions(dir.file("bin/sendmail"), std::filesystem::perms::owner_all);
  std::filesystem::copy_file(binaryDir() + "/app/tavrix-report", dir.file("tavrix-report"));
  const auto digest = [&](const std::string& args) {
    return runProgram(dir, "PATH='" + dir.file("bin") + "':\"$PATH\" '" + dir.file("tavrix-report") + "' digest " + args);
  };

  const ProgramRun sent = digest("--mail");
  EXPECT_EQ(sent.status, 0) << sent.err;
  EXPECT_EQ(sent.out, "");
  EXPECT_EQ(readFile(dir.file("args")), "-t -oi\n");
  const std::string mail = readFile(dir.file("mail"));
  EXPECT_TRUE(mail.starts_with("To: it@example.com\nSubject: =?UTF-8?B?")) << mail;
  EXPECT_NE(mail.find("Content-Type: text/plain; charset=UTF-8\n"), std::string::npos) << mail;
  EXPECT_TRUE(mail.ends_with("\n\nPC01\tADMIN_ADDED\tAdministrators\t\tPC\\bob\n")) << mail;

  std::filesystem::remove(dir.file("mail"));
  EXPECT_EQ(digest("--mail").status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("mail"))) << "the last batch's findings went out already";
  EXPECT_EQ(digest("--mail --since 2026/12/07").status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("mail"))) << "nothing found: nothing sent";
  writeFile(dir.file("log/digest/20261207.tsv"), "2026-12-07 09:30:00\tPC02\tADMIN_ADDED\tAdministrators\t\tPC\\eve\n");
  EXPECT_EQ(digest("--mail").status, 0);
  EXPECT_NE(readFile(dir.file("mail")).find("PC02\tADMIN_ADDED"), std::string::npos) << "a newer batch goes out";

  writeFile(dir.file("bin/sendmail"), "#!/bin/sh\ncat > /dev/null\nexit 75\n");
  EXPECT_EQ(digest("--mail --since 2026/12/01").err, "tavrix-report: digest --mail: " + dir.file("bin") + "/sendmail failed (status 75)\n");
  writeFile(dir.file("Tavrix.ini"), ini);
  EXPECT_EQ(digest("--mail").err, "tavrix-report: digest --mail: Tavrix.ini has no MAIL_TO in its [Watch] section\n");
}

}  // namespace
}  // namespace tavrix::test
