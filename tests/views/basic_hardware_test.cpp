// Tree lines of the basic record, devices, drives, displays and printers, from rows in a real database.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text.h"
#include "tests/views/inventory_db.h"
#include "ui/detail/detail_load.h"

namespace tavrix::test {
namespace {

const Fields kProcessor = {{"CPUT", "CPU"}, {"CPUMHz", "2400"}, {"CPUName", "X"}, {"CPUExtClock", "533"},
                           {"CPUL2CacheSizeT", "L2"}, {"CPUL2CacheSize", "512"}};

// base with the fields of more set (replaced or added).
Fields with(Fields base, const Fields& more) {
  for (const auto& [name, value] : more) {
    auto it = std::find_if(base.begin(), base.end(), [&](const auto& f) { return f.first == name; });
    if (it == base.end())
      base.emplace_back(name, value);
    else
      it->second = value;
  }
  return base;
}

Fields device(const std::string& no, const db::Value& name, const db::Value& driver, const db::Value& option,
              const db::Value& spaceT = "", const db::Value& space = "") {
  return {{"DeviceT", "デバイス"}, {"DeviceName", name}, {"DeviceType", "PCI"}, {"DriverName", driver},
          {"DeviceOption", option}, {"DeviceSpaceT", spaceT}, {"DeviceSpace", space}, {"deviceNo", no}};
}

Fields drive(const char* letter, const db::Value& fileSystem) {
  return {{"DriveLetter", letter}, {"DriveType", "HDD"}, {"FileSystem", fileSystem}, {"AllSpaceT", "全容量"},
          {"AllSpace", "40000"}, {"FreeSpaceT", "空き容量"}, {"FreeSpace", "12000"}};
}

Fields video(const db::Value& no, const char* monitor, const char* adapter) {
  return {{"VideoNo", no},           {"VideoResolution", "1024x768"}, {"VideoColor", "32bit"},
          {"VideoRefreshRate", "60Hz"}, {"MonitorT", "(モニタ"},       {"MonitorName", monitor},
          {"AdapterT", "(アダプタ"},   {"AdapterName", adapter}};
}

const std::string kTail = B(4) + "PCI" + B(16);  // type right-aligned to 7, no driver part

TEST(DetailTreeLines, BasicLines) {
  InventoryDb db;
  checkTreeCases(db, {
      {"identity line to the minute", {{"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}}, {}, {"PCid"},
       {"PC01" + B(15) + "作成日:2004/10/24 09:05"}},
      {"zero date is shown as a date", {{"CreateDate", "1899-12-30 00:00:00"}}, {}, {"PCid"},
       {"PC01" + B(15) + "作成日:1899/12/30 00:00"}},
      {"caption, spacer, value",
       {{"ComputerNameT", "コンピュータ名"}, {"ComputerName", "PC-01"}, {"UserNameT", "ユーザ名"},
        {"OSVersionT", "OS"}, {"OSVersion", "Windows XP"}, {"MemoryT", "メモリ"}, {"MemorySize", "512MB"}},
       {}, {"ComputerName", "UserName", "OSVersion", "Memory"},
       {"コンピュータ名" + B(5) + ": PC-01", "ユーザ名" + B(9) + ": ", "OS" + B(5) + ": Windows XP",
        "メモリ" + B(5) + ": 512MB"}},
      {"processor with external clock and cache", with(kProcessor, {{"CPUExtClockT", "FSB"}}), {}, {"CPU"},
       {"CPU" + B(11) + ": 2400" + B(3) + "X" + B(2) + "(FSB:533)" + B(2) + "(L2:512)" + B(2)}},
      {"processor without external clock drops the cache too", with(kProcessor, {{"CPUExtClockT", ""}}), {},
       {"CPU"}, {"CPU" + B(11) + ": 2400" + B(3) + "X" + B(2)}},
      {"NULL external clock caption is not 'not empty'", kProcessor, {}, {"CPU"},
       {"CPU" + B(11) + ": 2400" + B(3) + "X" + B(2)}},
      {"external clock without cache caption",
       {{"CPUT", "CPU"}, {"CPUMHz", "2400"}, {"CPUName", "X"}, {"CPUExtClockT", "FSB"}, {"CPUExtClock", "533"},
        {"CPUL2CacheSizeT", ""}, {"CPUL2CacheSize", "512"}},
       {}, {"CPU"}, {"CPU" + B(11) + ": 2400" + B(3) + "X" + B(2) + "(FSB:533)" + B(2)}},
  });
}

TEST(DetailTreeLines, Devices) {
  InventoryDb db;
  const std::string n40(40, 'N'), n41(41, 'N');
  checkTreeCases(db, {
      {"65-character line without driver", {}, {{"T_Device", device("1", "Display", "", "")}}, {"Device"},
       {"デバイス:", "  Display" + B(35) + kTail}},
      {"driver part", {}, {{"T_Device", device("1", "Display", "drv", "opt")}}, {"Device"},
       {"デバイス:", "  Display" + B(35) + B(4) + "PCI" + " [drv" + B(3) + "opt" + B(3) + "] "}},
      {"40 and 41 characters", {},
       {{"T_Device", device("1", n40, "", "")}, {"T_Device", device("2", n41, "", "")}}, {"Device"},
       {"デバイス:", "  " + n40 + B(2) + kTail, "  " + n41 + B(1) + kTail}},
      {"empty name is padded", {}, {{"T_Device", device("1", "", "", "")}}, {"Device"},
       {"デバイス:", "  " + B(42) + kTail}},
      {"NULL name takes the single blank", {}, {{"T_Device", device("1", db::Value(), "", "")}}, {"Device"},
       {"デバイス:", "  " + B(1) + kTail}},
      {"space part, and blanks-only caption adds nothing", {},
       {{"T_Device", device("1", "HDD", "", "", "容量", "1024")},
        {"T_Device", device("2", "FDD", "", "", "  ", "1024")},
        {"T_Device", device("3", "CD", db::Value(), db::Value(), db::Value(), "1")}},
       {"Device"},
       {"デバイス:", "  HDD" + B(39) + kTail + "容量:" + B(8) + "1024", "  FDD" + B(39) + kTail,
        "  CD" + B(40) + kTail}},
      {"header from the first row in text order of DeviceNo", {},
       {{"T_Device", with(device("2", "B", "", ""), {{"DeviceT", "後"}})},
        {"T_Device", with(device("10", "A", "", ""), {{"DeviceT", "先"}})}},
       {"Device"}, {"先:", "  A" + B(41) + kTail, "  B" + B(41) + kTail}},
      {"no rows, no node", {}, {}, {"Device"}, {}},
  });
}

TEST(DetailTreeLines, DeviceLineIs65Characters) {
  InventoryDb db;
  int rno = db.addComputer();
  db.addRow("T_Device", rno, device("1", "Display", "", ""));
  ViewRun run(db);
  run.s.CurrentRno = rno;
  DetailTree tree = loadDetailTree(run.s);
  int device = tree.find("Device");
  ASSERT_GE(device, 0);
  ASSERT_LT(device + 1, static_cast<int>(tree.nodes().size()));
  EXPECT_EQ(text::charCount(tree.nodes()[device + 1].text), 65u);
}

TEST(DetailTreeLines, DrivesDisplaysPrinters) {
  InventoryDb db;
  const std::string longForm = "C:  NTFS" + B(3) + "全容量: " + B(5) + "40000" + B(2) + "空き容量: " + B(5) + "12000";
  const std::string firstDisplay = "1.  " + B(3) + "1024x768" + B(2) + "32bit" + " 60Hz";
  checkTreeCases(db, {
      {"short and long drive forms", {},
       {{"T_Drive", drive("C", "NTFS")}, {"T_Drive", drive("A", "")}}, {"Drice"},
       {"ドライブ:", "  A:  HDD", "  " + longForm}},
      {"NULL file system takes the long form", {}, {{"T_Drive", drive("D", db::Value())}}, {"Drice"},
       {"ドライブ:", "  D:  全容量: " + B(5) + "40000" + B(2) + "空き容量: " + B(5) + "12000"}},
      {"duplicate drive letter is left out", {},
       {{"T_Drive", drive("C", "")}, {"T_Drive", drive("C", "")}, {"T_Drive", drive("E", "")}}, {"Drice"},
       {"ドライブ:", "  C:  HDD", "  E:  HDD"}, {"Key is not unique in the tree: \"C\""}},
      {"VideoNo 1 with monitor and adapter, 10 without", {},
       {{"T_Video", video("10", "M", "A")}, {"T_Video", video("1", "Plug and Play", "RADEON")}}, {"Video"},
       {"ディスプレイ解像度:", "  " + firstDisplay, B(7) + "(モニタ: Plug and Play)", B(7) + "(アダプタ: RADEON)",
        "  10" + B(3) + "32bit"}},
      {"VideoNo 1 with empty names gives one line", {}, {{"T_Video", video("1", "", "")}}, {"Video"},
       {"ディスプレイ解像度:", "  " + firstDisplay}},
      {"NULL VideoNo takes the short line", {}, {{"T_Video", video(db::Value(), "M", "A")}}, {"Video"},
       {"ディスプレイ解像度:", "  " + B(3) + "32bit"}},
      {"second display 1 loses its monitor and adapter lines", {},
       {{"T_Video", video("1", "M", "A")}, {"T_Video", video("1", "M", "A")}}, {"Video"},
       {"ディスプレイ解像度:", "  " + firstDisplay, B(7) + "(モニタ: M)", B(7) + "(アダプタ: A)", "  " + firstDisplay},
       {"Key is not unique in the tree: \"1Monitor\"", "Key is not unique in the tree: \"1Adapter\""}},
      {"printers by name, key clash left out", {},
       {{"T_Printer", {{"PrinterName", "LP-1"}}},
        {"T_Printer", {{"PrinterName", "Canon"}}},
        {"T_Printer", {{"PrinterName", "LP-1"}}}},
       {"Printer"}, {"プリンタ一覧:", "  Canon", "  LP-1"}, {"Key is not unique in the tree: \"LP-1\""}},
  });
}

}  // namespace
}  // namespace tavrix::test
