// The whole batch over a folder of good and bad CSVs, a second run with failures, and a missing CSV
// folder: every table's rows, the snapshot rules, the run log, the message boxes, where each CSV ends up.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kHeader = "0,1,x,x,2.1,2004/10/24 10:30\r\n";
const std::string kBasic = "CreateDate=2004-10-24 10:30:00 QuilloVer=2.1 OSVersionID=0";
const std::string kPrinter = kHeader + "1,9,プリンタ,P\r\n";

std::string crlf(const Lines& text) {
  std::string out;
  for (const auto& l : text) out += l + "\r\n";
  return out;
}

const std::string kFull = crlf({
    "0,1,QUILLO,FULL,2.1,2004/10/24 10:30", "0,2,収集プログラム,Quillo", "1,1,コンピュータ名,FULL-PC",
    "1,2,ユーザー名,髙橋", "1,3,OS,Microsoft Windows XP Professional,5.1.2600",
    "1,4,CPU,2394,Intel(R) Pentium(R) 4 CPU 2.40GHz,外部クロック,533MHz,L2キャッシュ,512 KB", "1,5,メモリ,1024MB",
    "1,6,デバイス,PCI バス,PCI,IRQ09,DMA2,I/O,D800-D81F,3", "01,006,デバイス,ＰＣカード スロット ①,PCI,,,,,",
    "1,7,ドライブ,C,ローカル ディスク,NTFS,全容量,76316MB,空き容量,23412MB", "1,7,ドライブ,E,CD-ROM ディスク,,,,,",
    "1,8,ディスプレイ,1,1280x1024,32ビット,60Hz,(モニタ,Plug and Play モニタ,(アダプタ,GeForce FX 5200",
    "1,9,プリンタ,㈱本社 複合機①", "1,10,アプリケーション,秀丸エディタ,7.10", "1,11,ネットワーク,0,1,ホスト名,full-pc",
    "1,11,ネットワーク,0,2,ドメイン,corp.example.co.jp", "1,11,ネットワーク,0,3,DNS サーバー,192.168.0.10 192.168.0.11",
    "1,11,ネットワーク,0,4,ノード タイプ,ハイブリッド", "1,11,ネットワーク,0,5,IP ルーティング有効,いいえ",
    "1,11,ネットワーク,0,6,WINS プロキシ有効,いいえ", "1,11,ネットワーク,0,7,DNS による NetBIOS 解決,はい",
    "1,11,NIC,1,10,接続名,ローカル エリア接続", "1,11,NIC,1,11,Adapter name,Intel(R) PRO/100 VE",
    "1,11,NIC,1,11,物理アドレス,00-0C-29-00-00-01", "1,11,NIC,1,12,IP アドレス,192.168.1.10,マスク:,255.255.255.0",
    "1,11,NIC,1,13,デフォルト ゲートウェイ,192.168.1.1", "1,11,NIC,1,14,DHCP サーバー,192.168.1.2",
    "1,11,NIC,1,15,プライマリ WINS,192.168.0.5", "1,11,NIC,1,16,セカンダリ WINS,192.168.0.6",
    "1,11,NIC,1,18,DHCP 有効,はい", "1,12,グループ,Administrators,FULL-PC\\Administrator",
    "1,12,グループ,Users,CORP\\SUB\\taro", "1,12,グループ,Users,Everyone", "1,13,サービス,<開始の種類>,<状態>,<名前>,<説明>",
    "1,13,サービス,2,開始,Alerter,警告を 1～3 人に通知します。",
    "1,14,レジストリチェック,MS08-067,KB958644,適用済み,Ver:HKLM\\Software\\X file:C:\\x.dll)",
    "1,15,スタートアップ,Run,ctfmon.exe,C:\\WINDOWS\\system32\\ctfmon.exe", "2,1,Windows ディレクトリ,C:\\WINDOWS",
    "2,2,システム ディレクトリ,C:\\WINDOWS\\system32", "3,1,Windows Update,KB896358,セキュリティ更新プログラム",
    "3,2,HotFix,Q816093,修正プログラム", "03,3.0,IE,IE6SP2,Internet Explorer 6 SP2", "10,1,収集終了,2004/10/24 10:31",
    "11,1,Trend Micro,ウイルスバスター,8.0,.1,パターンファイル,2004-10-01"});

// A line of every kind cut short.
const std::string kShort = kHeader + crlf({
    "1,1", "1,4,CPU,2400", "1,4,CPU,2400,X,FSB", "1,3,OS,Win,5.1.2600", "1,5,メモリ", "2,1", "11,1,V",
    "1,6,Dev,Name,Type,Drv,Opt,Cap,Size", "1,6", "1,7,ドライブ,C,Local", "1,8,ディスプレイ", "1,8,ディスプレイ,abc",
    "1,8,ディスプレイ,0,x", "1,8,V,1", "1,9,プリンタ", "1,10,アプリ", "1,11,N", "1,11,N,1", "1,12,U,G", "1,13,S",
    "1,13,S,<開始の種類>", "1,13,S,2", "1,14,R", "1,15,St", "3,1,WU", "1", ""});

// Adapter numbers with gaps, negative, halves and nonsense; network keys compared as text.
const std::string kAdapters = kHeader + crlf({
    "1,11,N,2,10,名前,LAN2", "1,11,N,5,10,名前,LAN5", "1,11,N,-1,10,名前,NEG", "1,11,N,2.5,12,IP,10.0.0.2,Mask,255.0.0.0",
    "1,11,N,3.5,10,名前,LAN4", "1,11,N,5,010,名前,X", "1,11,N,0,1,ホスト名,host01", "1,11,N,0, 1,ホスト,h",
    "1,11,N,2,11,Adapter name,Intel", "1,11,N,2,11,MAC,00-11", "1,11,N,1e9,10,x,y", "1,11,N,x,10,x,y",
    "1,11,N,0,8,x,y", "1,11,N,5,19,x,y"});

// The bad-input folder: every file's CP932 bytes by name.
void writeBadInputFolder(ImportFixture& f) {
  std::string longField;  // 1 MB of two-byte characters
  for (int i = 0; i < 500000; ++i) longField += "\x92\xB7";
  std::string garbage;  // random bytes
  for (unsigned i = 0, x = 12345; i < 4096; ++i) garbage += static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  std::string huge = std::string(2 * 1024 * 1024, ',');  // one line past the limit, all commas
  const std::map<std::string, std::string> files = {
      {"HUGE.csv", cp932(kHeader) + "1,9," + huge + "\r\n" + cp932("1,9,プリンタ,AFTER\r\n")},
      {"CRONLY.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r1,9,プリンタ,CR1\r1,9,プリンタ,CR2\r")},
      {"LONECR.csv", cp932(kHeader + "1,6,デバイス,SEIZO-628\r1,9,プリンタ,P3\r\n1,9,プリンタ,P4\r\n")},
      {"BOM8.csv", "\xEF\xBB\xBF" + kHeader + "1,9,プリンタ,髙橋①\r\n"},
      {"UTF16.csv", std::string("\xFF\xFE" "0\0,\0" "1\0,\0x\0\r\0\n\0", 16)},
      {"\x83\x65\x83\x58\x83\x67.csv", cp932(kHeader + "1,9,プリンタ,SJISNAME\r\n")},
      {"NL\nPC.csv", cp932(kHeader)},
      {"FULL.csv", cp932(kFull)},
      {"SHORT.csv", cp932(kShort)},
      {"NIC.csv", cp932(kAdapters)},
      {"HDR.csv", cp932(kHeader)},
      {"NOHDR.csv", cp932(crlf({"1,1,コンピュータ名,NOHDR-PC", "1,9,プリンタ,P1"}))},
      {"LATE.csv", cp932(crlf({"1,9,プリンタ,LBP", "0,1,x,x,2.0,2005/05/05 05:05", "0,1,x,x,9,2009/09/09 09:09"}))},
      {"SECS.csv", cp932(crlf({"0,1,x,x,2.1,2004/10/24 10:30:45", "1,9,プリンタ,P2"}))},
      {"DATES.csv", "00,1.0,x,x,2,2004-1-5 9:05\n1,9,P,LF\n"},
      {"BADDATE.csv", "0,1,x,x,2.1,2004/02/30 10:00\r\n"},
      {"NONNUM.csv", crlf({"a,1,x", "1,b,x", " ,1,x", "1.5,1,x", "1,6.5,x", "1,16,x", "4,1,x", "1", "0,1,x,x"})},
      {"EMPTY.csv", ""},
      {"GARBAGE.csv", garbage},
      {"BADSJIS.csv", cp932(kHeader + "1,1,コンピュータ名,") + "\x81\x20X\x80\xFD\r\n" + cp932("1,2,ユーザー名") + "\x81,taro\r\n"},
      {"LONG.csv", cp932(kHeader + "1,10,アプリ,") + longField + ",1.0\r\n"},
      {"Q'; DELETE FROM T_BasicInf; --.csv", cp932(kHeader + "1,9,プリンタ,O'NEIL's; printer\r\n1,9,プリンタ,\"A,B\"\r\n")},
      {"PC01.csv", cp932(crlf({"0,1,x,x,1,2004/01/01 00:00", "1,10,アプリ,A1,1"}))},
      {"PC01.old.csv", cp932(crlf({"0,1,x,x,1,2003/01/01 00:00", "1,10,アプリ,OLD,1"}))},
      {"pc01.csv", cp932(crlf({"0,1,x,x,1,2004/02/02 00:00", "1,10,アプリ,LOWER,1"}))},
      {"UPPER.CSV", cp932(crlf({"0,1,x,x,1.0,2006/06/06 06:06"}))},
      {"README.txt", "not an inventory"},
      {".hidden.csv", kHeader},
  };
  for (const auto& [name, bytes] : files) writeFile(f.csvDir() + "/" + name, bytes);
}

const std::map<std::string, Lines> kBadInputRows = {
    {"T_BasicInf",
     {"BADDATE: RNO=1 CreateDate=1899-12-30 00:00:00 QuilloVer=2.1 OSVersionID=0",
      "BADSJIS: RNO=2 CreateDate=2004-10-24 10:30:00 QuilloVer=2.1 ComputerNameT=コンピュータ名 ComputerName=\uFFFD X\uFFFD\uFFFD "
      "UserNameT=ユーザー名\uFFFD UserName=taro OSVersionID=0",
      "BOM8: RNO=3 " + kBasic, "CRONLY: RNO=4 " + kBasic,
      "DATES: RNO=5 CreateDate=2004-01-05 09:05:00 QuilloVer=2 OSVersionID=0",
      "FULL: RNO=6 CreateDate=2004-10-24 10:30:00 QuilloVer=2.1 ComputerNameT=コンピュータ名 ComputerName=FULL-PC "
      "UserNameT=ユーザー名 UserName=髙橋 OSVersionT=OS OSVersion=Microsoft Windows XP Professional OSVersionID=5 "
      "CPUT=CPU CPUMHz=2394 CPUName=Intel(R) Pentium(R) 4 CPU 2.40GHz CPUExtClockT=外部クロック CPUExtClock=533 "
      "CPUL2CacheSizeT=L2キャッシュ CPUL2CacheSize=512 MemoryT=メモリ MemorySize=1024MB VrsT=ウィルス対策ソフト "
      "VrsName=Trend Micro VrsSoftName=ウイルスバスター VrsVersion=8.0.1 VrsDefT=パターンファイル VrsDef=2004-10-01 "
      "WinDirT=Windows ディレクトリ WinDir=C:\\WINDOWS SystemDirT=システム ディレクトリ SystemDir=C:\\WINDOWS\\system32 "
      "NIC_HostNameT=ホスト名 NIC_HostName=full-pc NIC_DomainNameT=ドメイン NIC_DomainName=corp.example.co.jp "
      "NIC_DnsServerT=DNS サーバー NIC_DnsServer=192.168.0.10 192.168.0.11 NIC_NodeTypeT=ノード タイプ "
      "NIC_NodeType=ハイブリッド NIC_RoutingSTST=IP ルーティング有効 NIC_RoutingSTS=いいえ NIC_ProxySTST=WINS プロキシ有効 "
      "NIC_ProxySTS=いいえ NIC_DnsSTST=DNS による NetBIOS 解決 NIC_DnsSTS=はい",
      "HDR: RNO=7 " + kBasic, "HUGE: RNO=8 " + kBasic,
      "LATE: RNO=9 CreateDate=2005-05-05 05:05:00 QuilloVer=9 OSVersionID=0", "LONECR: RNO=10 " + kBasic,
      "LONG: RNO=11 " + kBasic, "NIC: RNO=12 " + kBasic + " NIC_HostNameT=ホスト名 NIC_HostName=host01",
      "NL\nPC: RNO=13 " + kBasic, "NONNUM: RNO=14 CreateDate=1899-12-30 00:00:00 OSVersionID=0",
      "pc01: RNO=21 CreateDate=2004-02-02 00:00:00 QuilloVer=1 OSVersionID=0",
      "Q'; DELETE FROM T_BasicInf; --: RNO=17 " + kBasic,
      "SECS: RNO=18 CreateDate=2004-10-24 10:30:45 QuilloVer=2.1 OSVersionID=0",
      "SHORT: RNO=19 CreateDate=2004-10-24 10:30:00 QuilloVer=2.1 OSVersionT=OS OSVersion=Win OSVersionID=5 CPUT=CPU "
      "CPUMHz=2400 CPUName=X CPUExtClockT=FSB MemoryT=メモリ VrsT=ウィルス対策ソフト VrsName=V",
      "UPPER: RNO=20 CreateDate=2006-06-06 06:06:00 QuilloVer=1.0 OSVersionID=0", "テスト: RNO=22 " + kBasic}},
    {"T_Device",
     {"FULL: DeviceT=デバイス DeviceName=PCI バス DeviceType=PCI DriverName=IRQ09 DeviceOption=DMA2 DeviceSpaceT=I/O "
      "DeviceSpace=D800-D81F deviceNo=3",
      "FULL: DeviceT=デバイス DeviceName=ＰＣカード スロット ① DeviceType=PCI deviceNo=0",
      "LONECR: DeviceT=デバイス DeviceName=SEIZO-628 deviceNo=0",
      "SHORT: DeviceT=Dev DeviceName=Name DeviceType=Type DriverName=Drv DeviceOption=Opt DeviceSpaceT=Cap "
      "DeviceSpace=Size deviceNo=0",
      "SHORT: deviceNo=0"}},
    {"T_Drive",
     {"FULL: DriveT=ドライブ DriveLetter=C DriveType=ローカル ディスク FileSystem=NTFS AllSpaceT=全容量 AllSpace=76316MB "
      "FreeSpaceT=空き容量 FreeSpace=23412MB",
      "FULL: DriveT=ドライブ DriveLetter=E DriveType=CD-ROM ディスク", "SHORT: DriveT=ドライブ DriveLetter=C DriveType=Local"}},
    {"T_Video",
     {"FULL: VideoT=ディスプレイ VideoNo=1 VideoResolution=1280x1024 VideoColor=32ビット VideoRefreshRate=60Hz "
      "MonitorT=(モニタ MonitorName=Plug and Play モニタ AdapterT=(アダプタ AdapterName=GeForce FX 5200",
      "SHORT: VideoT=V VideoNo=1"}},
    {"T_Printer",
     {"BOM8: PrinterT=プリンタ PrinterName=髙橋①", "CRONLY: PrinterT=プリンタ PrinterName=CR1",
      "CRONLY: PrinterT=プリンタ PrinterName=CR2", "DATES: PrinterT=P PrinterName=LF",
      "FULL: PrinterT=プリンタ PrinterName=㈱本社 複合機①", "HUGE: PrinterT=プリンタ PrinterName=AFTER",
      "LATE: PrinterT=プリンタ PrinterName=LBP", "LONECR: PrinterT=プリンタ PrinterName=P3",
      "LONECR: PrinterT=プリンタ PrinterName=P4",
      "Q'; DELETE FROM T_BasicInf; --: PrinterT=プリンタ PrinterName=O'NEIL's; printer",
      "Q'; DELETE FROM T_BasicInf; --: PrinterT=プリンタ PrinterName=\"A",  // no quoting: the comma ends the field
      "SECS: PrinterT=プリンタ PrinterName=P2", "SHORT: PrinterT=プリンタ", "テスト: PrinterT=プリンタ PrinterName=SJISNAME"}},
    {"T_NIC",
     {"FULL: NICno=1 NameT=接続名 Name=ローカル エリア接続 AdapterNameT=Adapter name AdapterName=Intel(R) PRO/100 VE "
      "MACAddressT=物理アドレス MACAddress=00-0C-29-00-00-01 IPAddressT=IP アドレス IPAddress=192.168.1.10 "
      "IPMaskT=マスク: IPMask=255.255.255.0 GateWayT=デフォルト ゲートウェイ GateWay=192.168.1.1 "
      "DHCPServerT=DHCP サーバー DHCPServer=192.168.1.2 DHCPT=DHCP 有効 DHCP=はい PriWinsServerT=プライマリ WINS "
      "PriWinsServer=192.168.0.5 SecWinsServerT=セカンダリ WINS SecWinsServer=192.168.0.6",
      "NIC: NICno=2 NameT=名前 Name=LAN2 AdapterNameT=Adapter name AdapterName=Intel MACAddressT=MAC "
      "MACAddress=00-11 IPAddressT=IP IPAddress=10.0.0.2 IPMaskT=Mask IPMask=255.0.0.0",
      "NIC: NICno=4 NameT=名前 Name=LAN4", "NIC: NICno=5 NameT=名前 Name=LAN5"}},
    {"T_Users",
     {"FULL: UserT=グループ Group=Administrators Users=FULL-PC\\Administrator User=Administrator",
      "FULL: UserT=グループ Group=Users Users=CORP\\SUB\\taro User=taro",
      "FULL: UserT=グループ Group=Users Users=Everyone User=Everyone", "SHORT: UserT=U Group=G"}},
    {"T_ApplInst",
     {"FULL: ApplT=アプリケーション Appl=秀丸エディタ Version=7.10", "LONG: ApplT=アプリ Appl=長長長長長長長長長長…(500000) Version=1.0",
      "pc01: ApplT=アプリ Appl=LOWER Version=1", "SHORT: ApplT=アプリ"}},
    {"T_StartUp",
     {"FULL: StartT=スタートアップ StartType=Run StartName=ctfmon.exe StartCmd=C:\\WINDOWS\\system32\\ctfmon.exe",
      "SHORT: StartT=St"}},
    {"T_Service",
     {"FULL: ServiceT=サービス ServiceStart=2 ServiceSTS=開始 ServiceName=Alerter ServiceExplanation=警告を 1～3 人に通知します。",
      "SHORT: ServiceT=S ServiceStart=2"}},
    {"T_WinUpdate",
     {"FULL: TypeNo=1 WinUpdT=Windows Update WinUpdName=KB896358 WinUpdCmnt=セキュリティ更新プログラム",
      "FULL: TypeNo=2 WinUpdT=HotFix WinUpdName=Q816093 WinUpdCmnt=修正プログラム",
      "FULL: TypeNo=3.0 WinUpdT=IE WinUpdName=IE6SP2 WinUpdCmnt=Internet Explorer 6 SP2", "SHORT: TypeNo=1 WinUpdT=WU"}},
    {"T_WinUpdRegCheck",
     {"FULL: RegChkT=レジストリチェック RegChkFunc1=MS08-067 RegChkFunc2=KB958644 RegChkMSG=適用済み "
      "RegChkVer=Ver:HKLM\\Software\\X file:C:\\x.dll) RegChkReg=HKLM\\Software\\X RegChkFile=C:\\x.dll",
      "SHORT: RegChkT=R"}},
};

const std::string kRejectedBox = "インベントリCSVではないファイルを取り込まずに rejected フォルダへ移します。";
// The day's save folder path, as the failing mkdir reports it; the fixture's folder is filled in by the test.
const std::string kSaveDirInTheWay = "<save>: File exists";

std::string kept(const std::string& file, const std::string& cause) {
  return file + " を取り込めませんでした（" + cause + "）。CSVフォルダに残し、次回取り込みます。";
}
std::string rejected(const std::string& file, const std::string& cause) {
  return file + " はインベントリCSVではありません（" + cause + "）。取り込まずに rejected フォルダへ移します。";
}

Lines badInputLog() {
  auto at = [](const std::string& file, int line, const std::string& what) {
    return "F06_READ_CSV: " + file + " line " + std::to_string(line) + ": " + what;
  };
  auto missing = [&](int line, int field) { return at("SHORT.csv", line, "field " + std::to_string(field) + " is missing"); };
  const std::string noHeader = "ヘッダ行 0,1 がありません";
  return {at("BADDATE.csv", 1, "field 5 is not a date: 2004/02/30 10:00"), rejected("EMPTY.csv", "空のファイルです"),
          rejected("GARBAGE.csv", noHeader), at("HUGE.csv", 2, "longer than 1048576 bytes, skipped"),
          at("NIC.csv", 12, "field 3 overflows an adapter number"), at("NIC.csv", 13, "field 3 is not a number: x"),
          rejected("NOHDR.csv", noHeader), at("NONNUM.csv", 9, "field 4 is missing"),
          at("NONNUM.csv", 9, "field 5 is missing"), missing(2, 2), missing(2, 3), missing(3, 4), missing(4, 6),
          missing(6, 3), missing(7, 2), missing(7, 3), missing(8, 3), missing(8, 4), missing(8, 5), missing(8, 6),
          missing(8, 7), missing(12, 3), at("SHORT.csv", 13, "field 3 is not a number: abc"), missing(18, 3),
          missing(19, 4), missing(21, 3), rejected("UTF16.csv", noHeader)};
}

struct RunCase {
  std::string name;
  std::function<void(ImportFixture&)> before;  // fills the CSV folder; may run the batch first
  std::map<std::string, Lines> rows;           // every table's rows after the run (none when left out)
  Lines log;                                   // the import's failure lines of the run log
  Lines messages, left, rejected;              // message boxes; what stays in the CSV folder; what is rejected
  ExitStatus status;
  std::function<void(ImportFixture&)> afterListing = {};  // once the CSV folder is listed
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const std::vector<RunCase> kCases = {
    {"BadInputFolder", writeBadInputFolder, kBadInputRows, badInputLog(),
     {kRejectedBox, "SHORT.csv: T_WinUpdate: field 3 is missing"}, {".hidden.csv", "README.txt"},
     {"EMPTY.csv", "GARBAGE.csv", "NOHDR.csv", "UTF16.csv"}, ExitStatus::FilesNotImported},
    // PC01 again; U.csv becomes a link to a file elsewhere once the folder is listed, so its read
    // fails; the day's save folder cannot be made, so the files stay.
    {"SecondRunWithFailures",
     [](ImportFixture& f) {
       writeFile(f.csvDir() + "/PC01.csv", cp932(kFull));
       writeFile(f.csvDir() + "/PC02.csv", cp932(kPrinter));
       writeFile(f.csvDir() + "/U.csv", cp932(kPrinter));
       f.runBatchOnce();
       writeFile(f.csvDir() + "/PC01.csv", cp932(crlf({"0,1,x,x,3,2004/11/01 08:00:59", "1,9,プリンタ,NEW", "1,6,デバイス,D"})));
       writeFile(f.csvDir() + "/U.csv", cp932(kPrinter));
       std::filesystem::remove_all(f.saveDir());
       writeFile(f.saveDir(), "a file where the day's save folder should be");
     },
     {{"T_BasicInf", {"PC01: RNO=4 CreateDate=2004-11-01 08:00:59 QuilloVer=3 OSVersionID=0", "PC02: RNO=2 " + kBasic,
                      "U: RNO=3 " + kBasic}},
      {"T_Device", {"PC01: DeviceT=デバイス DeviceName=D deviceNo=0"}},
      {"T_Printer", {"PC01: PrinterT=プリンタ PrinterName=NEW", "PC02: PrinterT=プリンタ PrinterName=P",
                     "U: PrinterT=プリンタ PrinterName=P"}}},
     {"F06_READ_CSV: U.csv: link to a file outside the folder", kept("U.csv", "link to a file outside the folder")},
     {"link to a file outside the folder", kSaveDirInTheWay}, {"PC01.csv", "U.csv"}, {}, ExitStatus::FilesNotImported,
     [](ImportFixture& f) {
       writeFile(f.dir.file("U.csv"), cp932(kPrinter));
       std::filesystem::remove(f.csvDir() + "/U.csv");
       std::filesystem::create_symlink(f.dir.file("U.csv"), f.csvDir() + "/U.csv");
     }},
    {"MissingCsvFolder", [](ImportFixture& f) { std::filesystem::remove_all(f.csvDir()); }, {},
     {"取り込み用(.CSV)ファイルのカウント処理中にエラーが発生しました。(2)"}, {}, {}, {}, ExitStatus::ConfigurationError},
};

class WholeBatch : public ImportFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(WholeBatch, LeavesTheRowsLogLinesBoxesAndFilesOfItsCase) {
  const RunCase& c = GetParam();
  c.before(*this);
  std::map<std::string, std::string> waiting;  // the CSV folder before the run
  for (const auto& name : folderNames(csvDir())) waiting[name] = readFile(csvDir() + "/" + name);
  messages.messages.clear();
  struct AfterListing : ImportProgress {
    AfterListing(const RunCase& c, ImportFixture& f) : c(c), f(f) {}
    void filesListed(int) override {
      if (c.afterListing) c.afterListing(f);
    }
    void fileStarted(int, int, const std::string&) override {}
    const RunCase& c;
    ImportFixture& f;
  } hook(c, *this);
  runBatchOnce(&hook);

  for (const auto& table : kTables) EXPECT_EQ(tableRows(dbPath(), table), c.rows.count(table) ? c.rows.at(table) : Lines{}) << table;
  EXPECT_EQ(invariantViolations(dbPath()), Lines{});
  Lines all = log(), importLines;
  for (const auto& line : all)
    if (line.starts_with("F06_READ_CSV: ") || line.starts_with("取り込み用") || line.find("を取り込めませんでした") != std::string::npos ||
        line.find("はインベントリCSVではありません") != std::string::npos)
      importLines.push_back(line);
  EXPECT_EQ(importLines, c.log);
  for (const auto& line : all) EXPECT_EQ(line.find_first_of("\n\r"), std::string::npos) << line;  // one event, one line
  EXPECT_EQ(all.size() > 1 ? all[all.size() - 2] : "", "Tavrix CSV取込処理を終了しました。 ");
  Lines boxes = c.messages;
  for (auto& box : boxes) box = text::replaceAll(box, "<save>", saveDir());
  EXPECT_EQ(messages.texts(), boxes);
  EXPECT_EQ(exitStatusOf(lastRun()), c.status);
  // Nothing lost: each CSV stays, or is in the day's save folder or its rejected folder, unchanged.
  EXPECT_EQ(folderNames(csvDir()), c.left);
  for (const auto& [name, bytes] : waiting) {
    auto listed = [&](const Lines& names) { return std::find(names.begin(), names.end(), name) != names.end(); };
    std::string folder = listed(c.left) ? csvDir() : listed(c.rejected) ? saveDir() + "/rejected" : saveDir();
    EXPECT_EQ(readFile(folder + "/" + name), bytes) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, WholeBatch, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tavrix::test
