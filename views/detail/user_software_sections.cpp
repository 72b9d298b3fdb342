// Groups with their members, users with their groups, installed programs, start-up entries, services.
#include "platform/text.h"
#include "views/detail/detail_sections.h"
#include "views/detail/line_format.h"

namespace tavrix::detail {
namespace {

void addGroupsTree(DetailLoad& d) {
  d.add("", "Groups", "グループ（ユーザー）:");
  d.running = 0;
  auto rs = d.open("SELECT distinct Group FROM T_Users where RNO=" + d.rno + " order by Group");
  if (!rs) return;
  forEachRow(d, *rs, [&](const Row& r) {
    std::string group = r.text("Group");
    std::string k = std::to_string(++d.running);
    d.add("Groups", group + k, group);
    auto members = d.open("SELECT * FROM T_Users where RNO=" + d.rno + " and (Group='" + text::quoteSqlText(group) +
                          "') order by Group, Users");
    if (members) forEachRow(d, *members, [&](const Row& m) { d.add(m.text("Group") + k, "", m.text("Users")); });
  });
}

void addUsersTree(DetailLoad& d) {
  d.add("", "Users", "ユーザー（グループ）:");
  // The running number goes on from the groups, so user keys never meet group keys.
  auto rs = d.open("SELECT distinct Users,User FROM T_Users where RNO=" + d.rno + " order by Users,User");
  if (!rs) return;
  forEachRow(d, *rs, [&](const Row& r) {
    std::string users = r.text("Users");
    std::string user = r.text("User");
    std::string k = std::to_string(++d.running);
    d.add("Users", user + k, user + " (" + users + ") ");
    auto groups = d.open("SELECT * FROM T_Users where RNO=" + d.rno + " and (Users='" + text::quoteSqlText(users) +
                         "') order by User, Users, Group");
    if (groups) forEachRow(d, *groups, [&](const Row& g) { d.add(g.text("User") + k, "", g.text("Group")); });
  });
}

std::string startUpLine(const Row& r) {
  db::Value name = r["StartName"];
  return rightAligned(r["StartType"], 10) + "  " + (hasFewerChars(name, 25) ? text::padRight(name.text(), 26) : name.text()) +
         ": " + r.text("StartCmd");
}

std::string serviceLine(const Row& r) {
  db::Value status = r["ServiceSTS"];
  return rightAligned(r["ServiceStart"], 4) + "   " + (hasFewerChars(status, 6) ? rightAligned(status, 6) : status.text()) +
         " " + r.text("ServiceName");
}

}  // namespace

bool passesOsTest(const db::Value& osVersionId) {
  return text::leftChars(leftAligned(osVersionId, 5), 3) > "200";
}

void addUserTrees(DetailLoad& d) {
  if (!passesOsTest(d.basic("OSVersionID"))) return;
  addGroupsTree(d);
  addUsersTree(d);
}

void addInstalledPrograms(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_ApplInst where RNO=" + d.rno + " order by Appl", "ApplInst",
      [](const Row&) { return std::string("現在インストールされているプログラム:"); },
      [&](const Row& r) { d.add("ApplInst", "", r.text("Appl") + "    " + r.text("Version")); });
}

void addStartUpSection(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_StartUp where RNO=" + d.rno + " order by StartType,StartName", "StartUp",
      [](const Row&) { return std::string("スタートアップ:"); },
      [&](const Row& r) { d.add("StartUp", "", startUpLine(r)); });
}

void addServiceSection(DetailLoad& d) {
  auto rs = d.open("SELECT * FROM T_Service where RNO=" + d.rno + " order by ServiceName");
  if (!rs || rs->eof()) return;
  d.add("", "Service", "現在のWindowsのサービス:");
  d.add("Service", "", "<種類> 　<状態>　　<名前>");
  forEachRow(d, *rs, [&](const Row& r) { d.add("Service", r.text("ServiceName"), serviceLine(r)); });
}

}  // namespace tavrix::detail
