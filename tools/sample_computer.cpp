// One sample computer: its inventory CSV lines in the collector's order, and the rows they import to.
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "tools/samples.h"
#include "tools/sample_catalog.h"
#include "tools/sample_random.h"

namespace tavrix::samples {
namespace {

std::string format(const char* pattern, int a, int b = 0, int c = 0, int d = 0, int e = 0, int f = 0) {
  char buffer[256];
  std::snprintf(buffer, sizeof(buffer), pattern, a, b, c, d, e, f);
  return buffer;
}

class ComputerBuilder {
 public:
  ComputerBuilder(std::uint64_t seed, int index) : r_(computerSeed(seed, index)), c_(catalog()) {
    out_.pcId = pcIdOf(index);
    name_ = r_.pick(c_.departments) + format("-%03d", r_.between(1, 999));
    domain_ = r_.pick(c_.domains);
    user_ = r_.pick(c_.familyNames);
    date_ = format("2008/%02d/%02d %02d:%02d:%02d", r_.between(4, 6), r_.between(1, 28), r_.between(8, 18),
                   r_.between(0, 59), r_.between(0, 59));
  }

  // The basic values, the drives and a handful of programs and updates: a computer of the
  // million-computer benchmarks, where the whole inventory would not fit a test machine's disk.
  Computer buildSlim() {
    header();
    basics();
    drives();
    const auto& apps = c_.applications;
    for (int i : r_.sample(static_cast<int>(apps.size()), r_.between(3, 6)))
      line({"1", "10", "アプリケーション", apps[static_cast<std::size_t>(i)].name, apps[static_cast<std::size_t>(i)].version},
           "T_ApplInst");
    directories();
    for (int kb : r_.sample(6000, r_.between(3, 6)))
      line({"3", "1", "Windows Update", format("KB%d", 820000 + kb * 29), r_.pick(c_.updateComments)}, "T_WinUpdate");
    line({"10", "1", "収集終了", date_});
    return std::move(out_);
  }

  Computer build() {
    header();
    basics();
    devices();
    drives();
    displays();
    printers();
    applications();
    network();
    users();
    services();
    registryChecks();
    startUps();
    directories();
    updates();
    line({"10", "1", "収集終了", date_});
    antiVirus();
    return std::move(out_);
  }

 private:
  // One CSV line; table names the table whose row it becomes.
  void line(std::initializer_list<std::string_view> fields, const char* table = nullptr) {
    bool first = true;
    for (std::string_view f : fields) {
      if (!first) out_.text += ',';
      out_.text += f;
      first = false;
    }
    out_.text += "\r\n";
    ++out_.lines;
    if (table) ++out_.rows[table];
  }

  void header() {
    line({"0", "1", "QUILLO", out_.pcId, r_.chance(80) ? "2.1" : "2.0", date_});
    line({"0", "2", "収集プログラム", "Quillo for Windows"});
    ++out_.rows["T_BasicInf"];
  }

  void basics() {
    const OsModel& os = r_.pick(c_.systems);
    const CpuModel& cpu = r_.pick(c_.processors);
    line({"1", "1", "コンピュータ名", name_});
    line({"1", "2", "ユーザー名", r_.chance(10) ? r_.pick(c_.kanjiNames) : user_});
    line({"1", "3", "OS", os.caption, os.version});
    if (r_.chance(90))
      line({"1", "4", "CPU", cpu.mhz, cpu.name, "外部クロック", cpu.externalClock, "L2キャッシュ", cpu.l2Cache});
    else
      line({"1", "4", "CPU", cpu.mhz, cpu.name});  // older collectors wrote no clock or cache
    line({"1", "5", "メモリ", r_.pick(c_.memorySizes)});
    windowsDir_ = os.windowsDir;
  }

  void device(const std::string& name, const std::string& type) {
    std::string irq = (type == "PCI" || type == "ACPI") && r_.chance(50) ? format("IRQ%02d", r_.between(1, 23)) : "";
    std::string dma = irq.empty() || !r_.chance(15) ? "" : format("DMA%d", r_.between(0, 7));
    int range = r_.between(0, 9);
    std::string spaceCaption = range < 4 ? "I/O" : range < 6 ? "メモリ" : "";
    std::string space;
    if (range < 4) {
      int start = r_.between(0x10, 0xEF0) * 0x10;
      space = format("%04X-%04X", start, start + 0x1F);
    } else if (range < 6) {
      space = format("FEB%02X000", r_.between(0, 255));
    }
    line({"1", "6", "デバイス", name, type, irq, dma, spaceCaption, space, std::to_string(++deviceNo_)}, "T_Device");
  }

  void devices() {
    for (const DeviceModel& d : c_.devices) {
      if (!r_.chance(80)) continue;
      for (int copies = r_.between(1, d.copiesMax); copies > 0; --copies) device(d.name, d.type);
    }
    for (const std::string& driver : c_.hiddenDrivers)
      if (r_.chance(70)) device(driver, "LEGACY");
  }

  void drive(const char* letter, const char* type, const std::string& fileSystem, int totalMb) {
    if (fileSystem.empty()) {
      line({"1", "7", "ドライブ", letter, type, "", "", "", "", ""}, "T_Drive");
      return;
    }
    std::string total = std::to_string(totalMb) + "MB";
    std::string free = std::to_string(r_.between(totalMb / 20, totalMb * 3 / 4)) + "MB";
    line({"1", "7", "ドライブ", letter, type, fileSystem, "全容量", total, "空き容量", free}, "T_Drive");
  }

  void drives() {
    if (r_.chance(20)) drive("A", "3.5 インチ FD", "", 0);
    drive("C", "ローカル ディスク", "NTFS", r_.pick(std::vector<int>{38154, 76316, 152625, 238472}));
    if (r_.chance(40)) drive("D", "ローカル ディスク", r_.chance(70) ? "NTFS" : "FAT32", r_.between(20000, 80000));
    if (r_.chance(80)) drive("E", "CD-ROM ディスク", "", 0);
    if (r_.chance(30)) drive("H", "ネットワーク ドライブ", "NTFS", r_.between(100000, 900000));
    if (r_.chance(30)) drive("Z", "ネットワーク ドライブ", "NTFS", r_.between(100000, 900000));
  }

  void displays() {
    int count = r_.chance(15) ? 2 : 1;
    for (int n = 1; n <= count; ++n)
      line({"1", "8", "ディスプレイ", std::to_string(n), r_.pick(c_.resolutions), r_.chance(80) ? "32ビット" : "16ビット",
            r_.chance(85) ? "60Hz" : "75Hz", "(モニタ", r_.pick(c_.monitors), "(アダプタ", r_.pick(c_.displayAdapters)},
           "T_Video");
  }

  void printers() {
    for (int i : r_.sample(static_cast<int>(c_.printers.size()), r_.between(0, 5)))
      line({"1", "9", "プリンタ", c_.printers[static_cast<std::size_t>(i)]}, "T_Printer");
  }

  void applications() {
    const auto& apps = c_.applications;
    for (int i : r_.sample(static_cast<int>(apps.size()), r_.between(60, 110)))
      line({"1", "10", "アプリケーション", apps[static_cast<std::size_t>(i)].name, apps[static_cast<std::size_t>(i)].version},
           "T_ApplInst");
    // Windows lists its installed fixes among the programs as well.
    for (int kb : r_.sample(4000, r_.between(70, 140)))
      line({"1", "10", "アプリケーション", format("Windows XP 用セキュリティ更新プログラム (KB%d)", 890000 + kb * 17), "1"},
           "T_ApplInst");
  }

  void adapter(int n) {
    static const char* const connections[] = {"ローカル エリア接続", "ローカル エリア接続 2", "ワイヤレス ネットワーク接続"};
    const std::string no = std::to_string(n);
    const std::string subnet = format("192.168.%d.", r_.between(1, 60));
    const bool dhcp = r_.chance(70);
    auto value = [&](const char* key, std::string_view caption, std::string_view v) {
      line({"1", "11", "NIC", no, key, caption, v});
    };
    value("10", "接続名", connections[n - 1]);
    if (r_.chance(80)) value("11", "Adapter name", r_.pick(c_.networkAdapters));
    else value("17", "説明", r_.pick(c_.networkAdapters));
    value("11", "物理アドレス", format("00-0C-29-%02X-%02X-%02X", r_.between(0, 255), r_.between(0, 255), r_.between(0, 255)));
    line({"1", "11", "NIC", no, "12", "IP アドレス", subnet + std::to_string(r_.between(10, 250)), "マスク:", "255.255.255.0"});
    value("13", "デフォルト ゲートウェイ", subnet + "1");
    value("14", "DHCP サーバー", dhcp ? subnet + "2" : "");
    value("15", "プライマリ WINS", "192.168.0.5");
    value("16", "セカンダリ WINS", r_.chance(50) ? "192.168.0.6" : "");
    value("18", "DHCP 有効", dhcp ? "はい" : "いいえ");
    ++out_.rows["T_NIC"];
  }

  void network() {
    static const char* const captions[] = {"ホスト名", "プライマリ DNS サフィックス", "DNS サーバー", "ノード タイプ",
                                           "IP ルーティング有効", "WINS プロキシ有効", "DNS による NetBIOS 解決"};
    std::string suffix = domain_ + ".example.co.jp";
    for (char& ch : suffix) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    const std::string values[] = {name_, suffix, "192.168.0.10 192.168.0.11", "ハイブリッド", "いいえ", "いいえ", "はい"};
    for (int i = 0; i < 7; ++i) line({"1", "11", "ネットワーク", "0", std::to_string(i + 1), captions[i], values[i]});
    int adapters = r_.chance(70) ? 1 : r_.chance(80) ? 2 : 3;
    for (int n = 1; n <= adapters; ++n) adapter(n);
  }

  void users() {
    auto member = [&](std::string_view group, const std::string& who) {
      line({"1", "12", "グループ", group, who}, "T_Users");
    };
    const std::string local = name_ + "\\";
    const std::string domain = domain_ + "\\";
    member("Administrators", local + "Administrator");
    member("Administrators", domain + "Domain Admins");
    if (r_.chance(30)) member("Administrators", domain + user_);
    member("Users", domain + "Domain Users");
    member("Users", "NT AUTHORITY\\INTERACTIVE");
    member("Users", "NT AUTHORITY\\Authenticated Users");
    member("Users", domain + user_);
    if (r_.chance(30)) member("Power Users", domain + user_);
    if (r_.chance(20)) member("Remote Desktop Users", domain + user_);
    if (r_.chance(20)) member("Backup Operators", local + "backup");
    member("Guests", local + "Guest");
    member("HelpServicesGroup", local + "SUPPORT_388945a0");
    if (r_.chance(20)) member("Debugger Users", local + "Administrator");
  }

  void services() {
    line({"1", "13", "サービス", "<開始の種類>", "<状態>", "<名前>", "<説明>"});
    for (std::size_t i = 0; i < c_.services.size(); ++i) {
      const ServiceModel& m = c_.services[i];
      if (!r_.chance(i < 82 ? 96 : 35)) continue;  // the first ones come with Windows
      bool running = m.start == "2" ? r_.chance(95) : m.start == "3" && r_.chance(30);
      line({"1", "13", "サービス", m.start, running ? "開始" : "停止", m.name, m.explanation}, "T_Service");
    }
  }

  void registryChecks() {
    static const char* const files[] = {"netapi32.dll", "win32k.sys", "mshtml.dll", "gdiplus.dll", "ole32.dll",
                                        "kernel32.dll", "msxml3.dll", "ntoskrnl.exe", "srv.sys", "tcpip.sys"};
    for (int i = 0, n = r_.between(4, 12); i < n; ++i) {
      std::string kb = format("KB%d", 950000 + r_.between(0, 9999));
      std::string version = "Ver:HKLM\\SOFTWARE\\Microsoft\\Updates\\Windows XP\\SP4\\" + kb + " file:" + windowsDir_ +
                            "\\system32\\" + files[r_.between(0, 9)] + ")";
      line({"1", "14", "レジストリチェック", format("MS08-%03d", r_.between(1, 78)), kb,
            r_.chance(85) ? "適用済み" : "未適用", version},
           "T_WinUpdRegCheck");
    }
  }

  void startUps() {
    for (int i : r_.sample(static_cast<int>(c_.startUps.size()), r_.between(4, 12))) {
      const StartUpModel& m = c_.startUps[static_cast<std::size_t>(i)];
      line({"1", "15", "スタートアップ", m.type, m.name, m.command}, "T_StartUp");
    }
  }

  void directories() {
    line({"2", "1", "Windows ディレクトリ", windowsDir_});
    line({"2", "2", "システム ディレクトリ", windowsDir_ + "\\system32"});
  }

  void updates() {
    for (int kb : r_.sample(6000, r_.between(300, 440)))
      line({"3", "1", "Windows Update", format("KB%d", 820000 + kb * 29), r_.pick(c_.updateComments)}, "T_WinUpdate");
    for (int q : r_.sample(3000, r_.between(20, 60)))
      line({"3", "2", "HotFix", format("Q%d", 810000 + q * 31), r_.pick(c_.hotfixComments)}, "T_WinUpdate");
    for (int i : r_.sample(static_cast<int>(c_.browserItems.size()), r_.between(5, 10))) {
      const NamedVersion& item = c_.browserItems[static_cast<std::size_t>(i)];
      line({"3", "3", "Internet Explorer", item.name, item.version}, "T_WinUpdate");
    }
  }

  void antiVirus() {
    if (!r_.chance(90)) return;
    const AntiVirusModel& av = r_.pick(c_.antiVirus);
    std::string pattern = format("%d.%03d.00", r_.between(3, 5), r_.between(100, 999));
    line({"11", "1", av.vendor, av.software, av.major, av.minor, "パターンファイル", pattern});
  }

  Random r_;
  const Catalog& c_;
  Computer out_;
  std::string name_, domain_, user_, date_, windowsDir_;
  int deviceNo_ = 0;
};

}  // namespace

std::string pcIdOf(int index) { return format("PC%05d", index); }

Computer makeComputer(std::uint64_t seed, int index, Profile profile) {
  ComputerBuilder builder(seed, index);
  return profile == Profile::Slim ? builder.buildSlim() : builder.build();
}

}  // namespace tavrix::samples
