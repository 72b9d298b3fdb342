// One computer's inventories over four days (a second file on one day, a rejected file without a
// header, another computer with one inventory), delivered through the real batch with the clock set,
// and the rows the history commands give for them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/import/import_fixture.h"

namespace tavrix::test {

using Rows = std::vector<std::vector<std::string>>;

// An inventory's lines; the day's changes are made by replacing, removing and adding lines.
class InventoryLines {
 public:
  explicit InventoryLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  InventoryLines& replace(const std::string& from, const std::string& to) {
    for (auto& l : lines_)
      if (l == from) l = to;
    return *this;
  }
  InventoryLines& remove(const std::string& line) { return replace(line, ""); }
  InventoryLines& add(const std::string& line) {
    lines_.push_back(line);
    return *this;
  }
  std::string bytes() const {
    std::string out;
    for (const auto& l : lines_)
      if (!l.empty()) out += l + "\r\n";
    return cp932(out);
  }

 private:
  std::vector<std::string> lines_;
};

inline const std::string kAdmin = "1,12,グループ,Administrators,KAIHATSU-001\\Administrator";
inline const std::string kOffice = "1,10,アプリケーション,Microsoft Office 2003,11.0.8173";
inline const std::string kReader = "1,10,アプリケーション,Adobe Reader 7.0,7.0.9";
inline const std::string kUpdate1 = "3,1,Windows Update,KB111111,セキュリティ更新";
inline const std::string kAddress = "1,11,NIC,1,12,IP アドレス,192.168.1.10,マスク:,255.255.255.0";
inline const std::string kDriveC = "1,7,ドライブ,C,ローカル ディスク,NTFS,全容量,76316MB,空き容量,";

inline InventoryLines firstDay() {
  return InventoryLines({"0,1,QUILLO,PC01,2.1,2026/12/01 08:30", "1,1,コンピュータ名,KAIHATSU-001",
                    "1,2,ユーザー名,tanaka", "1,3,OS,Microsoft Windows XP Professional,5.1.2600",
                    "1,4,CPU,2394,Intel(R) Pentium(R) 4,外部クロック,533MHz,L2キャッシュ,512 KB", "1,5,メモリ,1024MB",
                    "1,6,デバイス,PCI バス,PCI,IRQ09,,I/O,D800-D81F,1", kDriveC + "10000MB",
                    "1,8,ディスプレイ,1,1280x1024,32ビット,60Hz,(モニタ,Plug and Play モニタ,(アダプタ,RADEON 9600",
                    "1,9,プリンタ,EPSON LP-9200", kOffice, kReader, "1,11,ネットワーク,0,1,ホスト名,kaihatsu-001",
                    "1,11,NIC,1,10,接続名,ローカル エリア接続", kAddress, kAdmin, "1,12,グループ,Users,CORP\\tanaka",
                    "1,13,サービス,<開始の種類>,<状態>,<名前>,<説明>", "1,13,サービス,2,開始,Alerter,警告を通知します。",
                    "1,15,スタートアップ,Run,ctfmon.exe,C:\\WINDOWS\\system32\\ctfmon.exe",
                    "2,1,Windows ディレクトリ,C:\\WINDOWS", kUpdate1, "3,1,Windows Update,KB222222,セキュリティ更新",
                    "11,1,Trend Micro,ウイルスバスター,2006,.1,パターンファイル,3.100.00"});
}

// Day 2, morning: a new program version, an update gone, a new administrator, a new service, a new
// address, freed disk space.
inline InventoryLines secondDay() {
  return firstDay()
      .replace("0,1,QUILLO,PC01,2.1,2026/12/01 08:30", "0,1,QUILLO,PC01,2.1,2026/12/02 08:30")
      .replace(kOffice, "1,10,アプリケーション,Microsoft Office 2003,11.0.8237")
      .remove(kUpdate1)
      .add("1,12,グループ,Administrators,KAIHATSU-001\\suzuki")
      .add("1,13,サービス,3,停止,WebClient,WebDAV")
      .replace(kAddress, "1,11,NIC,1,12,IP アドレス,192.168.1.20,マスク:,255.255.255.0")
      .replace(kDriveC + "10000MB", kDriveC + "20000MB");
}

// Day 2, afternoon (a second file that day): a new printer.
inline InventoryLines secondDayAgain() {
  return secondDay()
      .replace("0,1,QUILLO,PC01,2.1,2026/12/02 08:30", "0,1,QUILLO,PC01,2.1,2026/12/02 14:45")
      .add("1,9,プリンタ,Canon LBP-3300");
}

// Day 4: another user, a program removed, 5 % less free space (under the threshold).
inline InventoryLines fourthDay() {
  return secondDayAgain()
      .replace("0,1,QUILLO,PC01,2.1,2026/12/02 14:45", "0,1,QUILLO,PC01,2.1,2026/12/04 08:30")
      .replace("1,2,ユーザー名,tanaka", "1,2,ユーザー名,sato")
      .remove(kReader)
      .replace(kDriveC + "20000MB", kDriveC + "19000MB");
}

class HistoryDays : public ImportFixture {
 protected:
  // Delivers the files into the CSV folder and runs the batch at the given time.
  void deliver(const DateTime& at, const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) writeFile(csvDir() + "/" + name, bytes);
    clock.set(at);
    runBatchOnce();
  }
  void SetUp() override {
    deliver({2026, 12, 1, 9, 0, 0}, {{"PC01.csv", firstDay().bytes()}});
    deliver({2026, 12, 2, 9, 0, 0}, {{"PC01.csv", secondDay().bytes()}});
    deliver({2026, 12, 2, 15, 0, 0}, {{"PC01.csv", secondDayAgain().bytes()}});
    // A file without a header is rejected, never an inventory of the history.
    deliver({2026, 12, 3, 9, 0, 0},
            {{"pc01.csv", cp932("1,1,コンピュータ名,KAIHATSU-001\r\n")},
             {"PC02.csv", cp932("0,1,QUILLO,PC02,2.1,2026/12/03 08:00\r\n1,9,プリンタ,P\r\n")}});
    deliver({2026, 12, 4, 9, 0, 0}, {{"PC01.csv", fourthDay().bytes()}});
  }
  std::string save() const { return dir.file("save"); }
};

inline const Rows kHistory = {{"1", "2026/12/04 08:30", "20261204/PC01.csv"},
                       {"2", "2026/12/02 14:45", "20261202/150000/PC01.csv"},
                       {"3", "2026/12/02 08:30", "20261202/PC01.csv"},
                       {"4", "2026/12/01 08:30", "20261201/PC01.csv"}};

inline const Rows kFirstToSecond = {
    {"Windows Update", "-", "KB111111", "セキュリティ更新", ""},
    {"ドライブ", "~", "C: 空き容量", "10000MB", "20000MB"},
    {"ＮＩＣカード", "~", "1 IP アドレス", "192.168.1.10 (マスク:255.255.255.0)", "192.168.1.20 (マスク:255.255.255.0)"},
    {"グループ（ユーザー）", "+", "Administrators", "", "KAIHATSU-001\\suzuki"},
    {"現在インストールされているプログラム", "~", "Microsoft Office 2003", "11.0.8173", "11.0.8237"},
    {"現在のWindowsのサービス", "+", "WebClient", "", "3 停止"}};

inline const Rows kTwoNewest = {{"ユーザー名", "~", "", "tanaka", "sato"},
                         {"現在インストールされているプログラム", "-", "Adobe Reader 7.0", "7.0.9", ""}};

}  // namespace tavrix::test
