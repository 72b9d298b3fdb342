' ==================================================================
' Tavrix 在庫データベース  T_Device: デバイス (CSV の 1,6 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_Device

-- 前の定義があれば削除して作り直す
DROP TABLE T_Device;

CREATE TABLE T_Device (
    RNO           長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid          テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate    日付/時刻型,    -- CSV作成日時
    DeviceT       テキスト(255),  -- 見出し
    DeviceName    テキスト(255),  -- デバイス名
    DeviceType    テキスト(255),  -- 種類
    DriverName    テキスト(255),  -- ドライバ
    DeviceOption  メモ型,         -- オプション (長い値あり)
    DeviceSpaceT  テキスト(255),  -- 容量の見出し
    DeviceSpace   テキスト(255),  -- 容量
    deviceNo      テキスト(50));

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_Device_RNO ON T_Device (RNO);
