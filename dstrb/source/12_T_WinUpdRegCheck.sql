' ==================================================================
' Tavrix 在庫データベース  T_WinUpdRegCheck: レジストリ確認 (CSV の 1,14 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_WinUpdRegCheck

-- 前の定義があれば削除して作り直す
DROP TABLE T_WinUpdRegCheck;

CREATE TABLE T_WinUpdRegCheck (
    RNO          長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid         テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate   日付/時刻型,    -- CSV作成日時
    RegChkT      テキスト(255),  -- 見出し
    RegChkFunc1  テキスト(255),  -- 機能1
    RegChkFunc2  テキスト(255),  -- 機能2
    RegChkMSG    メモ型,         -- メッセージ
    RegChkVer    メモ型,         -- バージョン情報 (元の値)
    RegChkReg    メモ型,         -- レジストリキー
    RegChkFile   メモ型);

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_WinUpdRegCheck_RNO ON T_WinUpdRegCheck (RNO);
