' ==================================================================
' Tavrix 在庫データベース  T_BasicInf: 基本情報 (1台に1行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_BasicInf

-- 前の定義があれば削除して作り直す
DROP TABLE T_BasicInf;

CREATE TABLE T_BasicInf (
    RNO              オートナンバー型,  -- 取込番号 (自動採番)
    PCid             テキスト(255),     -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate       日付/時刻型,       -- CSV作成日時
    QuilloVer        テキスト(50),      -- 収集プログラムのバージョン
    ComputerNameT    テキスト(255),     -- コンピュータ名の見出し
    ComputerName     テキスト(255),     -- コンピュータ名
    UserNameT        テキスト(255),     -- ユーザー名の見出し
    UserName         テキスト(255),     -- ユーザー名
    OSVersionT       テキスト(255),     -- OS名の見出し
    OSVersion        テキスト(255),     -- OS名
    OSVersionID      長整数型,          -- OS番号
    CPUT             テキスト(255),     -- CPUの見出し
    CPUMHz           テキスト(255),     -- CPUクロック
    CPUName          テキスト(255),     -- CPU名
    CPUExtClockT     テキスト(255),     -- 外部クロックの見出し
    CPUExtClock      テキスト(255),     -- 外部クロック
    CPUL2CacheSizeT  テキスト(255),     -- L2キャッシュの見出し
    CPUL2CacheSize   テキスト(255),     -- L2キャッシュ
    MemoryT          テキスト(255),     -- メモリの見出し
    MemorySize       テキスト(255),     -- メモリ容量
    VrsT             テキスト(255),     -- ウィルス対策ソフトの見出し
    VrsName          テキスト(255),     -- ウィルス対策ソフトの会社・製品名
    VrsSoftName      テキスト(255),     -- ウィルス対策ソフト名
    VrsVersion       テキスト(255),     -- ウィルス対策ソフトのバージョン
    VrsDefT          テキスト(255),     -- パターンファイルの見出し
    VrsDef           テキスト(255),     -- パターンファイル
    WinDirT          テキスト(255),     -- Windowsフォルダの見出し
    WinDir           テキスト(255),     -- Windowsフォルダ
    SystemDirT       テキスト(255),     -- システムフォルダの見出し
    SystemDir        テキスト(255),     -- システムフォルダ
    NIC_HostNameT    テキスト(255),     -- ホスト名の見出し
    NIC_HostName     テキスト(255),     -- ホスト名
    NIC_DomainNameT  テキスト(255),     -- ドメイン名の見出し
    NIC_DomainName   テキスト(255),     -- ドメイン名
    NIC_DnsServerT   テキスト(255),     -- DNSサーバーの見出し
    NIC_DnsServer    メモ型,            -- DNSサーバー
    NIC_NodeTypeT    テキスト(255),     -- ノードタイプの見出し
    NIC_NodeType     テキスト(255),     -- ノードタイプ
    NIC_RoutingSTST  テキスト(255),     -- ルーティングの見出し
    NIC_RoutingSTS   テキスト(255),     -- ルーティング
    NIC_ProxySTST    テキスト(255),     -- プロキシの見出し
    NIC_ProxySTS     テキスト(255),     -- プロキシ
    NIC_DnsSTST      テキスト(255),     -- DNS有効の見出し
    NIC_DnsSTS       テキスト(255));

-- RNO は行のキー (自動採番) なので索引はいらない。端末ごとの削除のため PCid に索引を作る
CREATE INDEX IX_T_BasicInf_PCid ON T_BasicInf (PCid);
