' comment
MDBNAME Tavrix.mdb -- name
TABLENAME T_X
DROP TABLE T_X;
CREATE TABLE T_X (
	RNO 長整数型, -- n
  PCid テキスト(255));
CREATE INDEX IX ON T_X (PCid);
