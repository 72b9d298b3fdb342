' ==================================================================
' Tavrix 在庫データベース  T_NIC: ネットワークアダプタ (CSV の 1,11 行をアダプタごとに1行へ)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_NIC

-- 前の定義があれば削除して作り直す
DROP TABLE T_NIC;

CREATE TABLE T_NIC (
    RNO             長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid            テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate      日付/時刻型,    -- CSV作成日時
    NICno           長整数型,       -- アダプタ番号
    NameT           テキスト(255),  -- 名前の見出し
    Name            テキスト(255),  -- 名前
    AdapterNameT    テキスト(255),  -- アダプタ名の見出し
    AdapterName     テキスト(255),  -- アダプタ名
    MACAddressT     テキスト(255),  -- MACアドレスの見出し
    MACAddress      テキスト(255),  -- MACアドレス
    IPAddressT      テキスト(255),  -- IPアドレスの見出し
    IPAddress       メモ型,         -- IPアドレス
    IPMaskT         テキスト(255),  -- サブネットマスクの見出し
    IPMask          メモ型,         -- サブネットマスク
    GateWayT        テキスト(255),  -- ゲートウェイの見出し
    GateWay         メモ型,         -- ゲートウェイ
    DHCPServerT     テキスト(255),  -- DHCPサーバーの見出し
    DHCPServer      テキスト(255),  -- DHCPサーバー
    DHCPT           テキスト(255),  -- DHCP有効の見出し
    DHCP            テキスト(255),  -- DHCP有効
    PriWinsServerT  テキスト(255),  -- プライマリWINSの見出し
    PriWinsServer   テキスト(255),  -- プライマリWINS
    SecWinsServerT  テキスト(255),  -- セカンダリWINSの見出し
    SecWinsServer   テキスト(255));

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_NIC_RNO ON T_NIC (RNO);
