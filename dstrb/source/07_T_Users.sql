' ==================================================================
' Tavrix 在庫データベース  T_Users: ローカルグループとユーザー (CSV の 1,12 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_Users

-- 前の定義があれば削除して作り直す
DROP TABLE T_Users;

CREATE TABLE T_Users (
    RNO         長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid        テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate  日付/時刻型,    -- CSV作成日時
    UserT       テキスト(255),  -- 見出し
    Group       テキスト(255),  -- グループ名
    Users       テキスト(255),  -- メンバー (コンピュータ名付き)
    User        テキスト(255));

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_Users_RNO ON T_Users (RNO);
