' ==================================================================
' Tavrix 在庫データベース  T_WinUpdate: Windows更新 (CSV の 3,1 から 3,3 の行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_WinUpdate

-- 前の定義があれば削除して作り直す
DROP TABLE T_WinUpdate;

CREATE TABLE T_WinUpdate (
    RNO         長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid        テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate  日付/時刻型,    -- CSV作成日時
    TypeNo      テキスト(10),   -- 項目番号 (文字列で保存)
    WinUpdT     テキスト(255),  -- 見出し
    WinUpdName  テキスト(255),  -- 更新名
    WinUpdCmnt  メモ型);

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_WinUpdate_RNO ON T_WinUpdate (RNO);
