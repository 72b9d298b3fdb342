' ==================================================================
' Tavrix 在庫データベース  T_Video: ディスプレイ (CSV の 1,8 行)
' 文字コードは Shift_JIS、改行は CR LF。この表を作り直すと中身は消えます。
' ==================================================================
MDBNAME Tavrix.mdb            -- 在庫データベースのファイル名
TABLENAME T_Video

-- 前の定義があれば削除して作り直す
DROP TABLE T_Video;

CREATE TABLE T_Video (
    RNO               長整数型,       -- 取込番号 (T_BasicInf の RNO)
    PCid              テキスト(255),  -- コンピュータID (CSVファイル名の最初の . の前)
    CreateDate        日付/時刻型,    -- CSV作成日時
    VideoT            テキスト(255),  -- 見出し
    VideoNo           テキスト(50),   -- 画面番号 (文字列で保存)
    VideoResolution   テキスト(255),  -- 解像度
    VideoColor        テキスト(255),  -- 色数
    VideoRefreshRate  テキスト(255),  -- リフレッシュレート
    MonitorT          テキスト(255),  -- モニタの見出し
    MonitorName       テキスト(255),  -- モニタ名
    AdapterT          テキスト(255),  -- アダプタの見出し
    AdapterName       テキスト(255));

-- 取込番号での読み出しと削除のための索引 (端末ごとの削除は T_BasicInf の RNO から引く)
CREATE INDEX IX_T_Video_RNO ON T_Video (RNO);
