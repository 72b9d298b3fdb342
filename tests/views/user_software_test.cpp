// Tree lines of groups, users, installed programs, start-up entries and services.
#include <gtest/gtest.h>

#include "tests/views/inventory_db.h"
#include "ui/detail/detail_load.h"

namespace tavrix::test {
namespace {

Fields member(const char* group, const char* users, const char* user) {
  return {{"UserT", "ユーザ"}, {"Group", group}, {"Users", users}, {"User", user}};
}

Fields service(const char* start, const db::Value& status, const char* name) {
  return {{"ServiceT", "サービス"}, {"ServiceStart", start}, {"ServiceSTS", status}, {"ServiceName", name}};
}

Fields startUp(const char* type, const db::Value& name, const char* command) {
  return {{"StartT", "スタートアップ"}, {"StartType", type}, {"StartName", name}, {"StartCmd", command}};
}

const std::vector<std::pair<std::string, Fields>> kThreeGroups = {
    {"T_Users", member("Users", "PC01\\guest", "guest")},
    {"T_Users", member("Administrators", "PC01\\admin", "admin")},
    {"T_Users", member("Guests", "PC01\\guest", "guest")},
    {"T_Users", member("Users", "PC01\\admin", "admin")},
};

TEST(DetailTreeLines, GroupsAndUsers) {
  InventoryDb db;
  checkTreeCases(db, {
      {"three groups, then two users", {{"OSVersionID", 500}}, kThreeGroups, {"Groups", "Users"},
       {"グループ（ユーザー）:", "  Administrators", "    PC01\\admin", "  Guests", "    PC01\\guest", "  Users",
        "    PC01\\admin", "    PC01\\guest", "ユーザー（グループ）:", "  admin (PC01\\admin) ", "    Administrators",
        "    Users", "  guest (PC01\\guest) ", "    Guests", "    Users"}},
      {"apostrophes in group and user names", {{"OSVersionID", 99}},
       {{"T_Users", member("O'Brien's", "PC01\\o'neil", "o'neil")}}, {"Groups", "Users"},
       {"グループ（ユーザー）:", "  O'Brien's", "    PC01\\o'neil", "ユーザー（グループ）:", "  o'neil (PC01\\o'neil) ",
        "    O'Brien's"}},
      {"test passes without rows", {{"OSVersionID", 500}}, {}, {"Groups", "Users"},
       {"グループ（ユーザー）:", "ユーザー（グループ）:"}},
      {"OSVersionID 200 fails", {{"OSVersionID", 200}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"OSVersionID 1000 fails", {{"OSVersionID", 1000}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"OSVersionID 2 fails", {{"OSVersionID", 2}}, kThreeGroups, {"Groups", "Users"}, {}},
      {"NULL OSVersionID fails", {}, kThreeGroups, {"Groups", "Users"}, {}},
  });
}

TEST(DetailTreeLines, GroupAndUserKeysShareTheRunningNumber) {
  InventoryDb db;
  int rno = db.addComputer({{"OSVersionID", 500}});
  for (const auto& [table, fields] : kThreeGroups) db.addRow(table, rno, fields);
  ViewRun run(db);
  run.s.CurrentRno = rno;
  DetailTree tree = loadDetailTree(run.s);
  for (const char* key : {"Administrators1", "Guests2", "Users3", "admin4", "guest5"}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(tree.hasKey(key));
  }
}

TEST(DetailTreeLines, ProgramsStartUpServices) {
  InventoryDb db;
  const std::string n24(24, 'S'), n25(25, 'S');
  checkTreeCases(db, {
      {"installed programs by name", {},
       {{"T_ApplInst", {{"Appl", "Word"}, {"Version", "11.0"}}}, {"T_ApplInst", {{"Appl", "Excel"}, {"Version", ""}}}},
       {"ApplInst"}, {"現在インストールされているプログラム:", "  Excel" + B(4), "  Word" + B(4) + "11.0"}},
      {"start-up names of 24 and 25 characters", {},
       {{"T_StartUp", startUp("Run", n25, "C:\\b.exe")}, {"T_StartUp", startUp("Run", n24, "C:\\a.exe")}},
       {"StartUp"},
       {"スタートアップ:", "  " + B(7) + "Run" + B(2) + n24 + B(2) + ": C:\\a.exe",
        "  " + B(7) + "Run" + B(2) + n25 + ": C:\\b.exe"}},
      {"NULL start-up name", {}, {{"T_StartUp", startUp("RunOnce", db::Value(), "x")}}, {"StartUp"},
       {"スタートアップ:", "  " + B(3) + "RunOnce" + B(2) + ": x"}},
      {"services with heading; status of 5 and 6 characters", {},
       {{"T_Service", service("2", "開始", "Alerter")},
        {"T_Service", service("3", "Start", "Browser")},
        {"T_Service", service("4", "Paused", "Cisvc")},
        {"T_Service", service("3", db::Value(), "Dhcp")}},
       {"Service"},
       {"現在のWindowsのサービス:", "  <種類> 　<状態>　　<名前>", "  " + B(3) + "2" + B(3) + B(4) + "開始 Alerter",
        "  " + B(3) + "3" + B(3) + " Start Browser", "  " + B(3) + "4" + B(3) + "Paused Cisvc",
        "  " + B(3) + "3" + B(3) + " Dhcp"}},
      {"duplicate service name and a name equal to another key", {},
       {{"T_Service", service("2", "開始", "Alerter")},
        {"T_Service", service("2", "開始", "Alerter")},
        {"T_Service", service("2", "開始", "Memory")}},
       {"Service"},
       {"現在のWindowsのサービス:", "  <種類> 　<状態>　　<名前>", "  " + B(3) + "2" + B(3) + B(4) + "開始 Alerter"},
       {"Key is not unique in the tree: \"Alerter\"", "Key is not unique in the tree: \"Memory\""}},
      {"no services, no heading", {}, {}, {"Service"}, {}},
  });
}

}  // namespace
}  // namespace tavrix::test
