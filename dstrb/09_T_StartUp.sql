' ==================================================================
' Tavrix 在庫データベース  T_StartUp: スタートアップ (CSV の 1,15 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_StartUp

-- 前の定義があれば削除して作り直す
DROP TABLE T_StartUp;

CREATE TABLE T_StartUp (
    RNO         長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid        テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate  日付/時刻型,    -- CSV作成日時
    StartT      テキスト(255),  -- 見出し
    StartType   テキスト(255),  -- 種類
    StartName   テキスト(255),  -- 名前
    StartCmd    メモ型);

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_StartUp_RNO ON T_StartUp (RNO);
