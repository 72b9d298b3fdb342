' ==================================================================
' Tavrix 在庫データベース  T_ApplInst: インストール済みプログラム (CSV の 1,10 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_ApplInst

-- 前の定義があれば削除して作り直す
DROP TABLE T_ApplInst;

CREATE TABLE T_ApplInst (
    RNO         長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid        テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate  日付/時刻型,    -- CSV作成日時
    ApplT       テキスト(255),  -- 見出し
    Appl        テキスト(255),  -- プログラム名
    Version     テキスト(255));

-- 端末ごとの削除 (PCid) と取込番号での読み出し (RNO) のための索引
CREATE INDEX IX_T_ApplInst_PCid ON T_ApplInst (PCid);
CREATE INDEX IX_T_ApplInst_RNO ON T_ApplInst (RNO);
