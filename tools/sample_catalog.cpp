// The parts a sample computer is made of: devices, programs, services, printers and the like, as
// the collector names them on Japanese Windows desktops. No text here may hold a comma.
#include "tools/sample_catalog.h"

namespace tavrix::samples {
namespace {

void addHardware(Catalog& c) {
  c.devices = {
      {"ACPI Fixed Feature Button", "ACPI", 1}, {"ACPI 電源ボタン", "ACPI", 1},
      {"Microsoft ACPI-Compliant System", "ACPI", 1}, {"ACPI Uniprocessor PC", "ROOT", 1},
      {"PCI バス", "ACPI", 1}, {"PCI 標準 ISA ブリッジ", "PCI", 1},
      {"PCI 標準ホスト CPU ブリッジ", "PCI", 1}, {"PCI 標準 PCI-to-PCI ブリッジ", "PCI", 2},
      {"Intel(R) 82801DB/DBM USB Universal Host Controller - 24C2", "PCI", 3},
      {"Intel(R) 82801DB/DBM USB2 Enhanced Host Controller - 24CD", "PCI", 1},
      {"Intel(R) 82801DB Ultra ATA Storage Controllers - 24CB", "PCI", 1},
      {"Intel(R) 82845G/GL/GE/PE/GV Processor to I/O Controller - 2560", "PCI", 1},
      {"Intel(R) 82801DB SMBus Controller - 24C3", "PCI", 1},
      {"Intel(R) PRO/100 VE Network Connection", "PCI", 1}, {"SoundMAX Integrated Digital Audio", "PCI", 1},
      {"標準 101/102 キーボードまたは Microsoft Natural PS/2 キーボード", "ACPI", 1},
      {"PS/2 互換マウス", "ACPI", 1}, {"HID 準拠マウス", "HID", 2}, {"HID キーボード デバイス", "HID", 1},
      {"USB ヒューマン インターフェイス デバイス", "USB", 3}, {"USB ルート ハブ", "USB", 5},
      {"USB 大容量記憶装置デバイス", "USB", 2}, {"USB Composite Device", "USB", 2}, {"汎用ボリューム", "STORAGE", 3},
      {"通信ポート (COM1)", "ACPI", 1}, {"ECP プリンタ ポート (LPT1)", "ACPI", 1},
      {"フロッピー ディスク コントローラ", "ACPI", 1}, {"フロッピー ディスク ドライブ", "FDC", 1},
      {"プライマリ IDE チャネル", "PCIIDE", 1}, {"セカンダリ IDE チャネル", "PCIIDE", 1},
      {"ST380011A", "IDE", 1}, {"WDC WD800JB-00JJC0", "IDE", 1}, {"HL-DT-ST CD-RW GCE-8483B", "IDE", 1},
      {"MATSHITA DVD-ROM SR-8178", "IDE", 1}, {"ダイレクト メモリ アクセス コントローラ", "ACPI", 1},
      {"システム タイマ", "ACPI", 1}, {"システム CMOS/リアルタイム クロック", "ACPI", 1},
      {"システム スピーカー", "ACPI", 1}, {"数値データ プロセッサ", "ACPI", 1},
      {"プログラム可能な割り込みコントローラ", "ACPI", 1}, {"マザーボード リソース", "ACPI", 4},
      {"Intel(R) Pentium(R) 4 CPU 2.40GHz", "ACPI", 1}, {"プラグ アンド プレイ モニタ", "DISPLAY", 1},
      {"Intel(R) 82845G/GL/GE/PE/GV Graphics Controller", "PCI", 1}, {"ボリューム マネージャ", "ROOT", 1},
      {"ターミナル サーバー デバイス リダイレクタ", "ROOT", 1}, {"ターミナル サーバー キーボード ドライバ", "ROOT", 1},
      {"ターミナル サーバー マウス ドライバ", "ROOT", 1}, {"プラグ アンド プレイ ソフトウェア デバイス列挙子", "ROOT", 1},
      {"Microsoft システム管理 BIOS ドライバ", "ROOT", 1}, {"オーディオ コーデック", "SW", 1},
      {"レガシ オーディオ ドライバ", "SW", 1}, {"レガシ ビデオ キャプチャ デバイス", "SW", 1},
      {"メディア コントロール デバイス", "SW", 1}, {"ビデオ コーデック", "SW", 1},
      {"Microsoft カーネル システム オーディオ デバイス", "SW", 1}, {"Microsoft カーネル ウェーブ オーディオ ミキサー", "SW", 1},
      {"Microsoft WINMM WDM オーディオ互換性ドライバ", "SW", 1}, {"WAN ミニポート (L2TP)", "ROOT", 1},
      {"WAN ミニポート (PPTP)", "ROOT", 1}, {"WAN ミニポート (PPPOE)", "ROOT", 1}, {"WAN ミニポート (IP)", "ROOT", 1},
      {"ダイレクト パラレル", "ROOT", 1}, {"RAS 非同期アダプタ", "ROOT", 1}, {"パケット スケジューラ ミニポート", "ROOT", 2},
      {"Generic Bluetooth Radio", "USB", 1}, {"Microsoft USB IntelliMouse Optical", "USB", 1},
      {"Canon LBP3410 (USB プリンタ サポート)", "USB", 1}, {"USB 印刷サポート", "USB", 1},
      {"Ricoh R5C552 IEEE 1394 Controller", "PCI", 1}, {"OHCI 準拠 IEEE 1394 ホスト コントローラ", "PCI", 1},
      {"1394 ネット アダプタ", "V1394", 1}, {"ＰＣカード スロット ①", "PCI", 1},
  };
  c.hiddenDrivers = {
      "AFD ネットワーク サポート環境", "Beep", "dmboot", "dmio", "dmload", "Fips", "Generic Packet Classifier",
      "HTTP", "IP ネットワーク アドレス変換", "IPSEC ドライバ", "ksecdd", "mnmdd", "mountmgr", "NDIS システム ドライバ",
      "NDIS ユーザー モード I/O プロトコル", "NDProxy", "NetBios over Tcpip", "Null", "PartMgr", "ParVdm", "RDPCDD",
      "Remote Access IP ARP Driver", "Remote Access Auto Connection Driver", "TCP/IP プロトコル ドライバ",
      "VgaSave", "VolSnap", "WAN ミニポート (ATW)", "Kernel Security Driver", "RAS Mux Driver", "IPv6 ドライバ",
      "Secdrv", "Cdrom ドライバ", "Disk ドライバ", "Ftdisk", "Atapi ドライバ", "Intel Processor Driver",
      "Parallel Port Driver", "Serial Port Driver", "Audio Stub Driver", "Volume Shadow Copy Driver",
  };
  c.systems = {
      {"Microsoft Windows XP Professional Service Pack 2", "5.1.2600", "C:\\WINDOWS"},
      {"Microsoft Windows XP Professional Service Pack 3", "5.1.2600", "C:\\WINDOWS"},
      {"Microsoft Windows 2000 Professional Service Pack 4", "5.0.2195", "C:\\WINNT"},
      {"Microsoft Windows XP Home Edition Service Pack 2", "5.1.2600", "C:\\WINDOWS"},
      {"Microsoft Windows Vista Business Service Pack 1", "6.0.6001", "C:\\Windows"},
  };
  c.processors = {
      {"2394", "Intel(R) Pentium(R) 4 CPU 2.40GHz", "533MHz", "512 KB"},
      {"2793", "Intel(R) Pentium(R) 4 CPU 2.80GHz", "800MHz", "1024 KB"},
      {"1694", "Intel(R) Pentium(R) M processor 1.70GHz", "400MHz", "2048 KB"},
      {"2992", "Intel(R) Pentium(R) D CPU 3.00GHz", "800MHz", "2048 KB"},
      {"1862", "Intel(R) Core(TM)2 CPU 6300 @ 1.86GHz", "1066MHz", "2048 KB"},
      {"2009", "AMD Athlon(tm) 64 Processor 3200+", "200MHz", "512 KB"},
      {"1196", "Intel(R) Celeron(R) CPU 1.20GHz", "100MHz", "256 KB"},
  };
  c.memorySizes = {"256MB", "512MB", "768MB", "1024MB", "1536MB", "2048MB"};
}

void addSoftware(Catalog& c) {
  c.applications = {
      {"Microsoft Office Professional Edition 2003", "11.0.8173.0"}, {"Microsoft Office Standard 2007", "12.0.6425.1000"},
      {"Microsoft Office 2000 Premium", "9.00.9327"}, {"Microsoft Office 互換機能パック", "12.0.6425.1000"},
      {"Microsoft Office Outlook Connector", "12.0.4518.1014"}, {"Microsoft Visio Viewer 2003", "11.0.3216.5614"},
      {"Microsoft Word Viewer 2003", "11.0.8173.0"}, {"Microsoft Excel Viewer 2003", "11.0.8173.0"},
      {"Microsoft PowerPoint Viewer 2007", "12.0.4518.1014"}, {"Microsoft .NET Framework 1.1", "1.1.4322"},
      {"Microsoft .NET Framework 2.0 Service Pack 2", "2.2.30729"}, {"Microsoft .NET Framework 3.0 Service Pack 2", "3.2.30729"},
      {"Microsoft .NET Framework 3.5 SP1", "3.5.30729.01"}, {"Microsoft .NET Framework 1.1 Japanese Language Pack", "1.1.4322"},
      {"Microsoft Visual C++ 2005 Redistributable", "8.0.56336"}, {"Microsoft Visual C++ 2008 Redistributable - x86 9.0.30729.17", "9.0.30729"},
      {"MSXML 4.0 SP2 (KB954430)", "4.20.9870.0"}, {"MSXML 6.0 Parser", "6.10.1129.0"},
      {"Microsoft Silverlight", "3.0.40818.0"}, {"Windows Media Player 10", ""}, {"Windows Media Format 11 runtime", ""},
      {"Windows Installer 3.1 (KB893803)", "3.1"}, {"Windows Genuine Advantage Validation Tool (KB892130)", ""},
      {"Windows Genuine Advantage Notifications (KB905474)", "1.9.0040.0"}, {"Windows Search 4.0", "04.00.6001.503"},
      {"Microsoft IME 2007", "10.0.6225.0"}, {"Microsoft Baseline Security Analyzer 2.1", "2.1.2104"},
      {"Adobe Reader 8.1.2 - 日本語", "8.1.2"}, {"Adobe Reader 9.1 - Japanese", "9.1.0"}, {"Adobe Flash Player 10 ActiveX", "10.0.32.18"},
      {"Adobe Flash Player 10 Plugin", "10.0.32.18"}, {"Adobe Shockwave Player", "11.0"}, {"Adobe AIR", "1.5.2.8870"},
      {"Java(TM) 6 Update 16", "6.0.160"}, {"Java(TM) 6 Update 7", "6.0.70"}, {"J2SE Runtime Environment 5.0 Update 11", "1.5.0.110"},
      {"Lhaplus", "1.57"}, {"Lhaca デラックス版", "1.20"}, {"+Lhaca", "1.20"}, {"7-Zip 4.65", "4.65.00.0"},
      {"Becky! Internet Mail", "2.50"}, {"秀丸エディタ", "7.10"}, {"サクラエディタ", "1.6.5.0"}, {"TeraPad", "0.93"},
      {"Mozilla Firefox (3.5.3)", "3.5.3 (ja)"}, {"Mozilla Thunderbird (2.0.0.23)", "2.0.0.23 (ja)"}, {"Opera 9.64", "9.64"},
      {"Google Toolbar for Internet Explorer", "5.0.2124.6042"}, {"Google デスクトップ", "5.9.911.3589"},
      {"Yahoo! ツールバー", "6.3.0"}, {"ATOK 2008", "21.0.3"}, {"一太郎2008", "18.0.0.4"}, {"花子2008", "18.0.0.2"},
      {"JUST PDF", "1.1"}, {"ウイルスバスター コーポレートエディション クライアント/サーバー", "8.0"},
      {"Symantec AntiVirus", "10.1.5000.5"}, {"McAfee VirusScan Enterprise", "8.5.0i"}, {"LiveUpdate 3.2 (Symantec Corporation)", "3.2.0.68"},
      {"筆ぐるめ Ver.15", "15.0"}, {"筆まめVer.18", "18.0"}, {"弥生会計 08", "14.0.1"}, {"弥生給与 08", "13.0.1"},
      {"勘定奉行21", "6.20"}, {"給与奉行21", "6.20"}, {"ＰＣＡ会計９ ①", "9.10"}, {"駅すぱあと (Windows)", "2009.12"},
      {"Canon LBP3410 プリンタドライバ", "1.20"}, {"EPSON プリンタ ユーティリティ", "5.5"}, {"RICOH Ridoc Desk Navigator Lt", "3.1.1.0"},
      {"FUJI XEROX DocuWorks 6.2", "6.2"}, {"FUJI XEROX DocuWorks Viewer Light 6", "6.2"}, {"富士通 FMV 活用ガイド", "1.0"},
      {"NEC PC-Doctor for Windows", "5.1"}, {"Intel(R) Graphics Media Accelerator Driver", "6.14.10.4704"},
      {"SoundMAX", "5.12.01.3645"}, {"Realtek High Definition Audio Driver", "5.10.0.5735"},
      {"Intel(R) PROSet/Wireless WiFi Software", "12.4.1.0"}, {"Intel(R) Matrix Storage Manager", "8.9.0.1023"},
      {"Broadcom Management Programs", "10.27.03"}, {"Synaptics Pointing Device Driver", "10.1.8.0"},
      {"HP Update", "5.002.005.003"}, {"Dell Resource CD", "1.0"}, {"Roxio Easy Media Creator 9", "9.0.146"},
      {"InterVideo WinDVD 5", "5.0-B11.513"}, {"Sonic RecordNow!", "7.3.0"}, {"DVD Decrypter", "3.5.4.0"},
      {"QuickTime", "7.64.17.73"}, {"Apple Software Update", "2.1.1.116"}, {"iTunes", "9.0.1.8"},
      {"RealPlayer", "11.0"}, {"VLC media player 1.0.3", "1.0.3"}, {"Windows Live Messenger", "14.0.8089.0726"},
      {"Windows Live Mail", "14.0.8089.0726"}, {"Windows Live Writer", "14.0.8089.0726"}, {"Skype 4.1", "4.1.179"},
      {"Lotus Notes 7.0.3 日本語版", "7.0.3"}, {"Cybozu Office 6 クライアント", "6.5"}, {"desknet's スケジュール連携", "2.0"},
      {"VNC Viewer 4.1", "4.1.3"}, {"UltraVNC", "1.0.5.6"}, {"PuTTY version 0.60", "0.60"}, {"FFFTP", "1.96"},
      {"WinSCP 4.2.5", "4.2.5"}, {"TortoiseSVN 1.6.5", "1.6.5"}, {"CubePDF 0.9", "0.9"}, {"PrimoPDF", "4.1.0.9"},
      {"Visual Studio 2005 Professional Edition - JPN", "8.0.50727.42"}, {"SQL Server 2005 Express Edition", "9.2.3042.00"},
      {"Microsoft SQL Server Native Client", "9.00.3042.00"}, {"Microsoft Access 2003 Runtime", "11.0.5614.0"},
      {"ScanSnap Manager", "V4.2L20"}, {"ScanSnap Organizer", "V3.2L20"}, {"CD-ROM 簡易ビューア", "1.0"},
      {"ＳＫＹＳＥＡ Client View", "6.0"}, {"LanScope Cat5 MR", "5.3"}, {"Quillo インベントリ収集", "2.1"},
      {"WinZip 11.1", "11.1"}, {"Paint Shop Pro 7", "7.04"}, {"GIMP 2.6.7", "2.6.7"}, {"Dependency Walker", "2.2"},
      {"Windows Resource Kit Tools", "5.2.3790.0"}, {"Support Tools", "5.1.2600.2180"}, {"Microsoft User-Mode Driver Framework Feature Pack 1.0", ""},
      {"Windows XP Service Pack 3", "20080414.031525"}, {"Windows Internet Explorer 7", "20070813.185237"},
      {"Windows Internet Explorer 8", "20090308.140743"}, {"Windows Media Player 11", ""}, {"Windows PowerShell(TM) 1.0", ""},
      {"Windows Rights Management Client with Service Pack 2", "6.0.6406.0"}, {"Microsoft Compression Client Pack 1.0 for Windows XP", "1"},
      {"Windows Imaging Component", "3.0.0.0"}, {"Windows XP 用高品質 FAX 送信ドライバ～", "1.0"},
  };
  c.updateComments = {
      "Windows XP 用セキュリティ更新プログラム", "Windows XP 用更新プログラム", "Windows XP 用の累積的なセキュリティ更新プログラム",
      "Windows Media Player 用セキュリティ更新プログラム", "Outlook Express 用累積的なセキュリティ更新プログラム",
      "Windows XP 用修正プログラム", "DirectX 用セキュリティ更新プログラム", "Microsoft .NET Framework 用セキュリティ更新プログラム",
      "Windows XP 用の悪意のあるソフトウェアの削除ツール", "Windows XP 用のタイムゾーン更新プログラム",
      "Microsoft Data Access Components 用セキュリティ更新プログラム", "Windows Script 5.7 for Windows XP",
      "Windows XP 用の重要な更新プログラム", "Microsoft XML Core Services 用セキュリティ更新プログラム",
  };
  c.hotfixComments = {
      "Windows XP Hotfix", "Windows XP 修正プログラム", "Windows 2000 Hotfix", "Windows XP 用 Q 修正プログラム",
      "Windows Media Player Hotfix", "Windows XP 用の修正プログラム (SP3)",
  };
  c.browserItems = {
      {"IE6SP2", "Internet Explorer 6 Service Pack 2"}, {"IE7", "Windows Internet Explorer 7"},
      {"IE8", "Windows Internet Explorer 8"}, {"OE6SP2", "Outlook Express 6 Service Pack 2"},
      {"WMP10", "Windows Media Player 10"}, {"WMP11", "Windows Media Player 11"}, {"DX9C", "DirectX 9.0c"},
      {"MDAC28", "Microsoft Data Access Components 2.8"}, {"WSH57", "Windows Script Host 5.7"},
      {"JVM", "Microsoft VM for Java"}, {"NETFX20", ".NET Framework 2.0"}, {"WGA", "Windows Genuine Advantage"},
  };
}

void addServices(Catalog& c) {
  c.services = {
      {"Alerter", "選択されたユーザーとコンピュータに管理用警告を通知します。", "4"},
      {"ALG", "インターネット接続の共有とファイアウォールのサード パーティ プロトコル プラグインをサポートします。", "3"},
      {"AppMgmt", "IntelliMirror を介したソフトウェアの配置サービスを提供します。", "3"},
      {"AudioSrv", "Windows ベースのプログラムのオーディオ デバイスを管理します。", "2"},
      {"BITS", "アイドル状態のネットワーク帯域幅を使用してデータを転送します。", "3"},
      {"Browser", "ネットワーク上のコンピュータの最新の一覧を保持します。", "2"},
      {"CiSvc", "ローカルおよびリモート コンピュータ上のファイルにインデックスを付けます。", "3"},
      {"ClipSrv", "クリップブック ビューアで情報を保存しリモート コンピュータと共有できるようにします。", "4"},
      {"COMSysApp", "COM+ ベースのコンポーネントの構成と追跡を管理します。", "3"},
      {"CryptSvc", "カタログ データベース サービスなど 3 つの管理サービスを提供します。", "2"},
      {"DcomLaunch", "DCOM サービスの起動機能を提供します。", "2"},
      {"Dhcp", "IP アドレスを登録および更新してネットワーク構成を管理します。", "2"},
      {"dmadmin", "ディスクおよびボリュームの構成を行います。", "3"},
      {"dmserver", "新しいハード ディスク ドライブを検出および監視します。", "2"},
      {"Dnscache", "DNS 名を解決してキャッシュに保存します。", "2"},
      {"ERSvc", "標準ではない環境で実行しているサービスおよびアプリケーションのエラー報告を許可します。", "2"},
      {"Eventlog", "イベント ログ メッセージを表示可能にします。", "2"},
      {"EventSystem", "COM コンポーネントへのイベントの自動配布をサポートします。", "3"},
      {"FastUserSwitchingCompatibility", "複数ユーザー環境で管理が必要なアプリケーションの管理を提供します。", "3"},
      {"helpsvc", "ヘルプとサポート センターを実行できるようにします。", "2"},
      {"HidServ", "キーボード 1～3 の定義済みホット ボタンを使用できるようにします。", "4"},
      {"HTTPFilter", "HTTP SSL サービスを実装します。", "3"},
      {"ImapiService", "CD 書き込みを管理します。", "3"},
      {"lanmanserver", "ファイル 印刷 および名前付きパイプ共有をサポートします。", "2"},
      {"lanmanworkstation", "ネットワーク接続とリモート サーバーとの通信を作成および維持します。", "2"},
      {"LmHosts", "NetBIOS over TCP/IP サービスと NetBIOS 名前解決をサポートします。", "2"},
      {"Messenger", "クライアントとサーバー間で net send と警告サービスのメッセージを転送します。", "4"},
      {"mnmsrvc", "承認されたユーザーがネットワークを使ってリモート デスクトップにアクセスできるようにします。", "3"},
      {"MSDTC", "データベース 信頼性の高いメッセージキュー ファイル システムにまたがるトランザクションを調整します。", "3"},
      {"MSIServer", "Windows インストーラ パッケージでの追加 変更 削除を行います。", "3"},
      {"NetDDE", "動的データ交換 (DDE) 用にネットワーク転送とセキュリティを提供します。", "4"},
      {"NetDDEdsdm", "動的データ交換 (DDE) のネットワーク共有を管理します。", "4"},
      {"Netlogon", "ユーザーとサービスを認証するためのセキュリティで保護されたチャネルを提供します。", "3"},
      {"Netman", "ネットワークとダイヤルアップ接続フォルダ内のオブジェクトを管理します。", "3"},
      {"Nla", "ネットワーク構成および位置情報を収集して保存します。", "3"},
      {"NtLmSsp", "名前付きパイプ以外のトランスポートで RPC プログラムのセキュリティを提供します。", "3"},
      {"NtmsSvc", "リムーバブル メディアを管理 カタログ化および制御します。", "3"},
      {"PlugPlay", "ユーザーの入力をほとんど必要とせずにハードウェアの変更を認識して適合させます。", "2"},
      {"PolicyAgent", "IP セキュリティ ポリシーを管理し ISAKMP/Oakley ドライバを起動します。", "2"},
      {"ProtectedStorage", "重要なデータに対する保護された記憶域を提供します。", "2"},
      {"RasAuto", "プログラムがリモート DNS 名またはアドレスを参照するたびにリモート ネットワークへの接続を作成します。", "3"},
      {"RasMan", "ダイヤルアップおよび VPN 接続を管理します。", "3"},
      {"RDSessMgr", "リモート アシスタンスを管理および制御します。", "3"},
      {"RemoteAccess", "ローカル エリアとワイド エリア ネットワーク環境で企業にルーティング サービスを提供します。", "4"},
      {"RemoteRegistry", "リモート ユーザーがこのコンピュータのレジストリ設定を変更できるようにします。", "2"},
      {"RpcLocator", "RPC ネーム サービス データベースを管理します。", "3"},
      {"RpcSs", "エンドポイント マッパーとその他の RPC サービスを提供します。", "2"},
      {"RSVP", "QoS を認識するプログラムと制御アプリケーション用のネットワーク信号とローカル トラフィックを提供します。", "3"},
      {"SamSs", "ローカル ユーザー アカウントのセキュリティ情報を格納します。", "2"},
      {"SCardSvr", "このコンピュータによって読み取られるスマート カードへのアクセスを管理します。", "3"},
      {"Schedule", "コンピュータ上で自動化タスクを構成してスケジュールできるようにします。", "2"},
      {"seclogon", "プロセスを代替の資格情報で起動できるようにします。", "2"},
      {"SENS", "システム イベントを追跡して COM+ イベント システムのサブスクライバに通知します。", "2"},
      {"SharedAccess", "ホームまたは小規模オフィスのネットワークにネットワーク アドレス変換を提供します。", "2"},
      {"ShellHWDetection", "自動再生ハードウェア イベントの通知を提供します。", "2"},
      {"Spooler", "後で印刷するためにファイルをメモリに読み込みます。", "2"},
      {"srservice", "システムの復元機能を実行します。", "2"},
      {"SSDPSRV", "ホーム ネットワーク上の UPnP デバイスの検出を有効にします。", "3"},
      {"stisvc", "スキャナとカメラのイメージ取得サービスを提供します。", "3"},
      {"SwPrv", "ボリューム シャドウ コピー サービスによって使用されるソフトウェア ベースのボリューム シャドウ コピーを管理します。", "3"},
      {"SysmonLog", "事前に構成されたスケジュールに基づきローカルまたはリモート コンピュータからパフォーマンス データを収集します。", "3"},
      {"TapiSrv", "テレフォニー API をサポートします。", "3"},
      {"TermService", "複数のユーザーが対話的にコンピュータに接続できるようにします。", "3"},
      {"Themes", "ユーザー エクスペリエンス テーマ管理を提供します。", "2"},
      {"TlntSvr", "リモート ユーザーがログオンしてプログラムを実行できるようにします。", "4"},
      {"TrkWks", "コンピュータ内またはネットワーク内のコンピュータ間で NTFS ファイルのリンクを維持します。", "2"},
      {"upnphost", "ユニバーサル プラグ アンド プレイ デバイスをホストするためのサポートを提供します。", "3"},
      {"UPS", "コンピュータに接続された無停電電源装置 (UPS) を管理します。", "3"},
      {"VSS", "バックアップおよびその他の目的で使用されるボリューム シャドウ コピーを管理および実装します。", "3"},
      {"W32Time", "ネットワーク上のすべてのクライアントとサーバーで日付と時刻の同期を維持します。", "2"},
      {"WebClient", "Windows ベースのプログラムがインターネット ベースのファイルを作成 アクセス および変更できるようにします。", "2"},
      {"winmgmt", "Windows オペレーティング システムで管理情報にアクセスするための共通インターフェイスを提供します。", "2"},
      {"WmdmPmSN", "ポータブル メディア プレーヤーのシリアル番号を取得します。", "3"},
      {"Wmi", "WMI プロバイダとの間でシステム管理情報を提供します。", "3"},
      {"WmiApSrv", "ネットワーク上の WMI HiPerf プロバイダからのパフォーマンス ライブラリ情報を提供します。", "3"},
      {"wscsvc", "システムのセキュリティ設定と構成を監視します。", "2"},
      {"wuauserv", "Windows の更新プログラムのダウンロードとインストールを有効にします。", "2"},
      {"WZCSVC", "802.11 アダプタの自動構成を提供します。", "2"},
      {"xmlprov", "ネットワーク プロビジョニングを管理します。", "3"},
      {"AeLookupSvc", "アプリケーションの起動時にアプリケーション互換性キャッシュ要求を処理します。", "2"},
      {"FontCache3.0.0.0", "WPF アプリケーションのパフォーマンスを最適化します。", "3"},
      {"idsvc", "ユーザーのデジタル ID を安全に共有できるようにします。", "3"},
      {"NetTcpPortSharing", "net.tcp プロトコルを使用して TCP ポートを共有します。", "4"},
      {"WudfSvc", "ユーザー モード ドライバ ホスト プロセスを管理します。", "3"},
      {"Irmon", "赤外線デバイスを監視します。", "2"},
      {"JavaQuickStarterService", "Java アプレットの起動を高速にします。", "2"},
      {"gupdate1c9b3a2d7f", "Google ソフトウェアを最新の状態に保ちます。", "2"},
      {"iPod Service", "iPod ハードウェアの管理サービス", "3"},
      {"Bonjour Service", "ネットワーク上のデバイスとサービスを検出します。", "2"},
      {"Apple Mobile Device", "Apple モバイル デバイスとの通信を提供します。", "2"},
      {"SavRoam", "Symantec AntiVirus のローミング サービス", "3"},
      {"Symantec AntiVirus", "ウイルスを検出して駆除します。", "2"},
      {"ccSetMgr", "Symantec Settings Manager", "2"},
      {"ccEvtMgr", "Symantec Event Manager", "2"},
      {"LiveUpdate", "Symantec の製品を最新の状態に保ちます。", "3"},
      {"TmListen", "ウイルスバスター コーポレートエディション リスナー", "2"},
      {"TmProxy", "ウイルスバスター コーポレートエディション プロキシ", "2"},
      {"ntrtscan", "ウイルスバスター コーポレートエディション リアルタイムスキャン", "2"},
      {"McShield", "McAfee オンアクセス スキャナ", "2"},
      {"McTaskManager", "McAfee タスク マネージャ", "2"},
      {"FrameworkService", "McAfee Framework サービス", "2"},
      {"SkyseaClientView", "ＳＫＹＳＥＡ クライアント サービス", "2"},
      {"LanScopeCat", "LanScope Cat クライアント", "2"},
      {"QuilloAgent", "Quillo インベントリ収集エージェント", "2"},
      {"IntelPROSet", "Intel(R) PROSet 監視サービス", "2"},
      {"Ati HotKey Poller", "ATI ホットキー ポーリング", "2"},
      {"NVSvc", "NVIDIA Driver Helper Service", "2"},
      {"SoundMAX Agent Service", "SoundMAX エージェント サービス", "2"},
      {"Pml Driver HPZ12", "HP プリンタ監視", "3"},
      {"Net Driver HPZ12", "HP ネットワーク プリンタ サポート", "3"},
      {"MSSQL$SQLEXPRESS", "データの保存 処理 および制御されたアクセスを提供します。", "2"},
      {"SQLBrowser", "SQL Server 接続情報をクライアントに提供します。", "4"},
      {"Notes Diagnostics", "Lotus Notes 診断サービス", "3"},
      {"CybozuOfficeSync", "サイボウズ Office 同期サービス", "3"},
      {"ScanSnapManager", "ScanSnap 監視サービス", "3"},
  };
}

void addSettings(Catalog& c) {
  c.startUps = {
      {"Run", "ctfmon.exe", "C:\\WINDOWS\\system32\\ctfmon.exe"},
      {"Run", "IMJPMIG8.1", "\"C:\\WINDOWS\\IME\\imjp8_1\\IMJPMIG.EXE\" /Spoil /RemAdvDef /Migration32"},
      {"Run", "SoundMAXPnP", "C:\\Program Files\\Analog Devices\\SoundMAX\\SMax4PNP.exe"},
      {"Run", "igfxtray", "C:\\WINDOWS\\system32\\igfxtray.exe"},
      {"Run", "igfxhkcmd", "C:\\WINDOWS\\system32\\hkcmd.exe"},
      {"Run", "igfxpers", "C:\\WINDOWS\\system32\\igfxpers.exe"},
      {"Run", "SunJavaUpdateSched", "\"C:\\Program Files\\Java\\jre6\\bin\\jusched.exe\""},
      {"Run", "Adobe Reader Speed Launcher", "\"C:\\Program Files\\Adobe\\Reader 9.0\\Reader\\Reader_sl.exe\""},
      {"Run", "OfficeScanNT Monitor", "\"C:\\Program Files\\Trend Micro\\OfficeScan Client\\pccntmon.exe\" -HideWindow"},
      {"Run", "vptray", "C:\\PROGRA~1\\SYMANT~1\\VPTray.exe"},
      {"Run", "ShStatEXE", "\"C:\\Program Files\\McAfee\\VirusScan Enterprise\\SHSTAT.EXE\" /STANDALONE"},
      {"Run", "QuickTime Task", "\"C:\\Program Files\\QuickTime\\qttask.exe\" -atboottime"},
      {"Run", "iTunesHelper", "\"C:\\Program Files\\iTunes\\iTunesHelper.exe\""},
      {"Run", "ATOK21 Tray", "\"C:\\Program Files\\JUSTSYSTEM\\ATOK21\\ATOK21TR.EXE\""},
      {"Run", "SynTPEnh", "C:\\Program Files\\Synaptics\\SynTP\\SynTPEnh.exe"},
      {"Run", "ScanSnap Manager", "C:\\Program Files\\PFU\\ScanSnap\\Driver\\PfuSsMon.exe"},
      {"Run", "Cybozu Desktop", "\"C:\\Program Files\\Cybozu\\desktop\\cbdesk.exe\" /startup"},
      {"RunOnce", "GrpConv", "grpconv -o"},
      {"RunServices", "QuilloAgent", "C:\\Program Files\\Quillo\\qagent.exe"},
      {"Startup", "Microsoft Office.lnk", "C:\\PROGRA~1\\MICROS~2\\Office10\\OSA.EXE -b -l"},
      {"Startup", "Lotus Notes 自動起動.lnk", "C:\\lotus\\notes\\nlnotes.exe"},
      {"Common Startup", "Adobe Gamma Loader.lnk", "C:\\Program Files\\Common Files\\Adobe\\Calibration\\Adobe Gamma Loader.exe"},
      {"Common Startup", "髙速起動ツール.lnk", "C:\\Program Files\\Tools\\fastboot.exe"},
  };
  c.printers = {
      "EPSON LP-S5000 (総務部)", "EPSON PX-G5100", "Canon LBP3410", "Canon iR C3080 LIPS", "RICOH imagio MP C2500 RPCS",
      "FUJI XEROX DocuCentre-II C3000", "FUJI XEROX DocuPrint C2250", "NEC MultiWriter 8400N", "HP LaserJet 4250 PCL 6",
      "Brother HL-5270DN", "㈱本社 複合機①", "経理部 プリンタ②", "Microsoft Office Document Image Writer",
      "Adobe PDF", "CubePDF", "PrimoPDF", "FAX", "Microsoft XPS Document Writer", "営業部 カラーレーザー",
  };
  c.monitors = {"Plug and Play モニタ", "既定のモニタ", "NEC LCD1770NX", "EIZO FlexScan S1701", "Dell 1907FP",
                "MITSUBISHI RDT171S", "IODATA LCD-A173V", "汎用 PnP モニタ"};
  c.displayAdapters = {"Intel(R) 82845G/GL/GE/PE/GV Graphics Controller", "NVIDIA GeForce FX 5200", "NVIDIA Quadro NVS 285",
                       "RADEON 9200 SE", "Intel(R) 82945G Express Chipset Family", "Matrox Millennium G450 DualHead",
                       "Mobile Intel(R) 965 Express Chipset Family"};
  c.resolutions = {"1024x768", "1280x1024", "1280x800", "1400x1050", "1600x1200", "1680x1050"};
  c.networkAdapters = {"Intel(R) PRO/100 VE Network Connection", "Intel(R) PRO/1000 MT Network Connection",
                       "Broadcom NetXtreme 57xx Gigabit Controller", "Realtek RTL8139 Family PCI Fast Ethernet NIC",
                       "Realtek RTL8168/8111 PCI-E Gigabit Ethernet NIC", "Intel(R) PRO/Wireless 3945ABG Network Connection",
                       "1394 ネット アダプタ", "Marvell Yukon 88E8055 PCI-E Gigabit Ethernet Controller"};
  c.antiVirus = {{"Trend Micro", "ウイルスバスター コーポレートエディション", "8.0", ".1"},
                 {"Symantec", "Symantec AntiVirus", "10.1", ".5000"},
                 {"McAfee", "VirusScan Enterprise", "8.5", ".0i"},
                 {"Trend Micro", "ウイルスバスター2008", "16.", "0.1234"}};
  c.familyNames = {"tanaka", "suzuki", "sato", "takahashi", "watanabe", "ito", "yamamoto", "nakamura", "kobayashi",
                   "kato", "yoshida", "yamada", "sasaki", "yamaguchi", "matsumoto", "inoue", "kimura", "hayashi",
                   "shimizu", "yamazaki", "mori", "abe", "ikeda", "hashimoto", "ishikawa", "ogawa", "maeda", "okada"};
  c.kanjiNames = {"田中", "鈴木", "佐藤", "髙橋", "渡辺", "伊藤", "山本", "中村", "小林", "加藤", "吉田", "山田"};
  c.departments = {"SOUMU", "KEIRI", "EIGYO", "JINJI", "KAIHATSU", "SEIZO", "HINSHITSU", "KOUBAI", "SHISETSU", "JOHO"};
  c.localGroups = {"Administrators", "Users", "Power Users", "Remote Desktop Users", "Backup Operators",
                   "Network Configuration Operators", "Guests", "HelpServicesGroup", "Debugger Users"};
  c.domains = {"CORP", "HONSHA", "SHITEN", "KOJO"};
}

Catalog build() {
  Catalog c;
  addHardware(c);
  addSoftware(c);
  addServices(c);
  addSettings(c);
  return c;
}

}  // namespace

const Catalog& catalog() {
  static const Catalog c = build();
  return c;
}

}  // namespace tavrix::samples
