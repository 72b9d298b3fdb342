// The comparison's rules on pairs of small inventories read from real files: natural keys, order,
// repeated names, the free-space threshold, and the inventory reader against the import's rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/history_commands.h"
#include "history/inventory_diff.h"
#include "history/kept_inventory.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

history::Inventory readLines(const TempDir& dir, const std::string& name, const std::vector<std::string>& lines) {
  std::string text = "0,1,QUILLO,PC,2.1,2026/12/01 08:30\r\n";
  for (const auto& l : lines) text += l + "\r\n";
  writeFile(dir.file(name), cp932(text));
  std::string error;
  auto inventory = history::readInventory(dir.file(name), error);
  EXPECT_TRUE(inventory) << error;
  return inventory ? *inventory : history::Inventory{};
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? separator : "") + parts[i];
  return out;
}

Rows rowsOf(const std::vector<history::Change>& changes) {
  Rows rows;
  for (const auto& c : changes) rows.push_back({c.section, std::string(1, c.sign), c.item, c.oldValue, c.newValue});
  return rows;
}

struct DiffCase {
  const char* name;
  std::vector<std::string> older, newer;
  Rows changes;
};

const std::string kApps = "現在インストールされているプログラム";
const std::string kDrive = "1,7,ドライブ,C,ローカル ディスク,NTFS,全容量,50000MB,空き容量,";

const DiffCase kDiffCases[] = {
    {"ReorderedLinesAreNoChange",
     {"1,10,アプリ,B,1", "1,10,アプリ,a,2", "1,9,プリンタ,P1", "1,9,プリンタ,P2"},
     {"1,9,プリンタ,P2", "1,10,アプリ,a,2", "1,9,プリンタ,P1", "1,10,アプリ,B,1"},
     {}},
    {"KeysInTreeOrderCaseIgnored",
     {"1,10,アプリ,b,1", "1,10,アプリ,C,1"},
     {"1,10,アプリ,a,1", "1,10,アプリ,B,1"},
     {{kApps, "+", "a", "", "1"}, {kApps, "+", "B", "", "1"}, {kApps, "-", "b", "1", ""}, {kApps, "-", "C", "1", ""}}},
    {"OneOfTwoSameNamedProgramsUpdated",
     {"1,10,アプリ,VC++ 2005,8.0.1", "1,10,アプリ,VC++ 2005,8.0.2"},
     {"1,10,アプリ,VC++ 2005,8.0.3", "1,10,アプリ,VC++ 2005,8.0.1"},
     {{kApps, "~", "VC++ 2005", "8.0.2", "8.0.3"}}},
    {"GroupMemberReplacedIsRemovedAndAdded",
     {"1,12,グループ,Users,PC\\bob"},
     {"1,12,グループ,Users,PC\\carol"},
     {{"グループ（ユーザー）", "-", "Users", "PC\\bob", ""}, {"グループ（ユーザー）", "+", "Users", "", "PC\\carol"}}},
    {"ServiceStartTypeAndState",
     {"1,13,S,2,開始,Alerter,x", "1,13,S,<開始の種類>,<状態>,<名前>,<説明>"},
     {"1,13,S,4,停止,Alerter,y"},
     {{"現在のWindowsのサービス", "~", "Alerter", "2 開始", "4 停止"}}},
    {"FreeSpaceMovedATenthIsNoChange", {kDrive + "1000MB"}, {kDrive + "1100MB"}, {}},
    {"FreeSpaceMovedMoreThanATenth", {kDrive + "1000MB"}, {kDrive + "899MB"},
     {{"ドライブ", "~", "C: 空き容量", "1000MB", "899MB"}}},
    {"FreeSpaceFromNothing", {kDrive + "0MB"}, {kDrive + "1MB"}, {{"ドライブ", "~", "C: 空き容量", "0MB", "1MB"}}},
    {"DriveGoneAndCome",
     {kDrive + "1000MB", "1,7,ドライブ,E,CD-ROM ディスク,,,,,"},
     {kDrive + "1000MB", "1,7,ドライブ,F,CD-ROM ディスク,,,,,"},
     {{"ドライブ", "-", "E:", "CD-ROM ディスク", ""}, {"ドライブ", "+", "F:", "", "CD-ROM ディスク"}}},
    {"AdapterAddedAndAdapterValues",
     {"1,11,N,1,10,接続名,LAN", "1,11,N,1,13,ゲートウェイ,10.0.0.1"},
     {"1,11,N,1,10,接続名,LAN", "1,11,N,1,13,ゲートウェイ,10.0.0.254", "1,11,N,2,10,接続名,WLAN"},
     {{"ＮＩＣカード", "~", "1 ゲートウェイ", "10.0.0.1", "10.0.0.254"}, {"ＮＩＣカード", "+", "2", "", "WLAN"}}},
    {"BasicValuesInTreeOrder",
     {"1,5,メモリ,512MB", "1,1,コンピュータ名,A", "11,1,V,Soft,8.0,.1,パターン,1.0", "2,2,システム,C:\\W\\s"},
     {"1,5,メモリ,1024MB", "1,1,コンピュータ名,B", "11,1,V,Soft,8.5,.0,パターン,1.1", "2,2,システム,C:\\W\\s"},
     {{"コンピュータ名", "~", "", "A", "B"}, {"メモリ", "~", "", "512MB", "1024MB"},
      {"ウィルス対策", "~", "", "Soft 8.0.1", "Soft 8.5.0"}, {"ウィルス対策", "~", "パターン", "1.0", "1.1"}}},
    {"UpdatesByList",
     {"3,1,WU,KB1,a", "3,2,HF,Q1,b", "3,3,IE,SP1,c"},
     {"3,1,WU,KB1,a", "3,2,HF,Q2,b", "3,3,IE,SP1,d"},
     {{"Windows HotFix", "-", "Q1", "b", ""}, {"Windows HotFix", "+", "Q2", "", "b"},
      {"Internet Explolor他", "~", "SP1", "c", "d"}}},
    {"DevicesByNameNotNumber",
     {"1,6,デバイス,Disk,IDE,,,,,1", "1,6,デバイス,Mouse,USB,,,,,2"},
     {"1,6,デバイス,Mouse,USB,,,,,1", "1,6,デバイス,Disk,IDE,IRQ14,,,,2"},
     {{"デバイス", "~", "Disk", "IDE", "IDE IRQ14"}}},
};

class DiffRules : public ::testing::TestWithParam<DiffCase> {};

TEST_P(DiffRules, ChangesOfThePair) {
  TempDir dir;
  const DiffCase& c = GetParam();
  auto older = readLines(dir, "old.csv", c.older);
  auto newer = readLines(dir, "new.csv", c.newer);
  EXPECT_EQ(rowsOf(history::compareInventories(older, newer)), c.changes);
  // Backwards every change turns round.
  Rows back;
  for (const auto& row : rowsOf(history::compareInventories(newer, older)))
    back.push_back({row[0], row[1] == "+" ? "-" : row[1] == "-" ? "+" : "~", row[2], row[4], row[3]});
  std::sort(back.begin(), back.end());
  Rows forth = c.changes;
  std::sort(forth.begin(), forth.end());
  // Free space is measured against the older value, so its threshold does not turn round.
  if (std::string(c.name).find("FreeSpace") == std::string::npos) {
    EXPECT_EQ(back, forth);
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, DiffRules, ::testing::ValuesIn(kDiffCases),
                         [](const auto& info) { return std::string(info.param.name); });

using InventoryReader = ImportFixture;

TEST_F(InventoryReader, ReadsWhatTheImportStores) {
  samples::Computer computer = samples::makeComputer(3, 1);
  writeFile(csvDir() + "/" + computer.pcId + ".csv", cp932(computer.text));
  runBatchOnce();
  std::string path = saveDir() + "/" + computer.pcId + ".csv", error;
  auto inventory = history::readInventory(path, error);
  ASSERT_TRUE(inventory) << error;
  const std::pair<DetailKind, const char*> tables[] = {
      {DetailKind::Device, "T_Device"},   {DetailKind::Drive, "T_Drive"},     {DetailKind::Video, "T_Video"},
      {DetailKind::Printer, "T_Printer"}, {DetailKind::Application, "T_ApplInst"}, {DetailKind::Users, "T_Users"},
      {DetailKind::Service, "T_Service"}, {DetailKind::RegistryCheck, "T_WinUpdRegCheck"},
      {DetailKind::StartUp, "T_StartUp"}, {DetailKind::Update, "T_WinUpdate"}};
  for (const auto& [kind, table] : tables) {
    const history::DetailRows& rows = inventory->rows(kind);
    std::vector<std::string> read;
    for (const auto& row : rows.rows) read.push_back(joined(row, "|"));
    EXPECT_EQ(read, queryRows(dbPath(), "SELECT " + joined(rows.names, ", ") + " FROM " + table + " ORDER BY rowid"))
        << table;
    EXPECT_EQ(static_cast<int>(read.size()), computer.rows[table]) << table;
  }
  const auto& b = inventory->basic;
  EXPECT_EQ(queryRows(dbPath(), "SELECT ComputerName, UserName, CPUName, NIC_HostName, VrsDef FROM T_BasicInf"),
            std::vector<std::string>{joined({b.ComputerName, b.UserName, b.CPUName, b.NIC_HostName, b.VrsDef}, "|")});
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_NIC"),
            std::vector<std::string>{std::to_string(computer.rows["T_NIC"])});
}

TEST(InventoryPick, NumbersAndDates) {
  std::vector<history::KeptFile> files(3);
  files[0].createDate = {2026, 12, 4, 8, 30, 0};
  files[1].createDate = {2026, 12, 2, 14, 45, 10};
  files[2].createDate = {2026, 12, 2, 14, 45, 50};
  struct Case {
    const char* choice;
    int index;
    std::string error;
  };
  const Case cases[] = {
      {"1", 0, ""}, {"3", 2, ""}, {"03", 2, ""}, {"2026/12/04 08:30", 0, ""}, {"2026/12/4 8:30", 0, ""},
      {"4", -1, "no inventory number 4: there are 3 (1 = newest)"},
      {"2026/12/04 08:31", -1, "no kept inventory dated 2026/12/04 08:31"},
      {"2026/12/02 14:45", -1, "2 kept inventories are dated 2026/12/02 14:45: give a number (2, 3)"},
      {"", -1, "\"\" is neither a number from history nor a date yyyy/mm/dd hh:nn"},
      {"-1", -1, "\"-1\" is neither a number from history nor a date yyyy/mm/dd hh:nn"},
      {"99999999999", -1, "\"99999999999\" is neither a number from history nor a date yyyy/mm/dd hh:nn"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(history::pickInventory(files, c.choice, error), c.index) << c.choice;
    EXPECT_EQ(error, c.error) << c.choice;
  }
}

TEST(KeptFiles, OnlyInventoriesOfDayAndTimeFolders) {
  TempDir dir;
  const std::string header = "0,1,QUILLO,PC,2.1,2026/12/01 08:30\r\n";
  for (const char* path : {"20261201/PC01.csv", "20261201/091500/PC01.CSV", "20261201/091500-2/pc01.x.csv",
                           "20261201/rejected/PC01.csv", "20261201/.PC01.csv", "20261201/PC01.txt", "2026120/PC01.csv",
                           "old/PC01.csv", "20261201/0915/PC01.csv", "20261201/091500-/PC01.csv",
                           "20261201/091500/rejected/PC01.csv", "20261201/PC011.csv"}) {
    std::filesystem::create_directories(std::filesystem::path(dir.file(path)).parent_path());
    writeFile(dir.file(path), header);
  }
  history::KeptFiles kept = history::findKeptInventories(dir.path(), "PC01");
  std::vector<std::string> found;
  for (const auto& f : kept.files) found.push_back(f.path);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{"20261201/091500-2/pc01.x.csv", "20261201/091500/PC01.CSV",
                                             "20261201/PC01.csv"}));
  EXPECT_EQ(kept.problems, std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrix::test
