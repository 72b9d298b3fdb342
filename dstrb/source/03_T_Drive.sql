' ==================================================================
' Tavrix 在庫データベース  T_Drive: ドライブ (CSV の 1,7 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_Drive

-- 前の定義があれば削除して作り直す
DROP TABLE T_Drive;

CREATE TABLE T_Drive (
    RNO          長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid         テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate   日付/時刻型,    -- CSV作成日時
    DriveT       テキスト(255),  -- 見出し
    DriveLetter  テキスト(255),  -- ドライブ文字
    DriveType    テキスト(255),  -- 種類
    FileSystem   テキスト(255),  -- ファイルシステム
    AllSpaceT    テキスト(255),  -- 全容量の見出し
    AllSpace     テキスト(255),  -- 全容量 (文字列で保存)
    FreeSpaceT   テキスト(255),  -- 空き容量の見出し
    FreeSpace    テキスト(255));

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_Drive_RNO ON T_Drive (RNO);
