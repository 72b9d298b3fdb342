// The Jet-to-SQLite rewrites: each rewritten form, and text that must pass unchanged.
#include <gtest/gtest.h>

#include "platform/jet_dialect.h"

namespace tavrix::db {
namespace {

struct Case {
  const char* name;
  const char* jet;
  const char* sqlite;
};

class TranslateJet : public testing::TestWithParam<Case> {};

TEST_P(TranslateJet, Rewrites) { EXPECT_EQ(translateJet(GetParam().jet), GetParam().sqlite); }

INSTANTIATE_TEST_SUITE_P(
    Forms, TranslateJet,
    testing::Values(
        Case{"DateMinute", "Select * from T_BasicInf Where PCid = 'PC01' and CreateDate = #2024/01/02 10:30#",
             "Select * from T_BasicInf Where PCid = 'PC01' and CreateDate = '2024-01-02 10:30:00'"},
        Case{"DateSeconds", "x = #2024/12/31 23:59:58#", "x = '2024-12-31 23:59:58'"},
        Case{"DateOnly", "x < #2004/02/03#", "x < '2004-02-03 00:00:00'"},
        Case{"ZeroDate", "x = #1899/12/30 00:00#", "x = '1899-12-30 00:00:00'"},
        Case{"NoRealDate", "x = #2004/02/30 00:00#", "x = #2004/02/30 00:00#"},
        Case{"HashNotDate", "SELECT '#' || a || '#' FROM t", "SELECT '#' || a || '#' FROM t"},
        Case{"DateInsideLiteral", "x = '#2024/01/02 10:30#'", "x = '#2024/01/02 10:30#'"},
        Case{"DeleteFieldList", "Delete PCid,CreateDate FROM T_Device Where PCid = 'PC01'",
             "Delete FROM T_Device Where PCid = 'PC01'"},
        Case{"DeleteStar", "DELETE * FROM T_X;", "DELETE FROM T_X;"},
        Case{"DeleteFromUnchanged", "DELETE FROM T_X WHERE a=1", "DELETE FROM T_X WHERE a=1"},
        Case{"DeleteQuoteInId", "Delete PCid,CreateDate FROM T_Users Where PCid = 'O''Neil'",
             "Delete FROM T_Users Where PCid = 'O''Neil'"},
        Case{"DropIndexOn", "DROP INDEX IX_T_X_PCid ON T_X;", "DROP INDEX IX_T_X_PCid;"},
        Case{"DropIndexPlain", "drop index ix", "drop index ix"},
        Case{"DropTableUnchanged", "DROP TABLE T_X;", "DROP TABLE T_X;"},
        Case{"GroupField", "SELECT distinct Group FROM T_Users where RNO=5 order by Group",
             "SELECT distinct \"Group\" FROM T_Users where RNO=5 order by \"Group\""},
        Case{"UsersAndUser", "SELECT distinct Users,User FROM T_Users where RNO=5 order by Users,User",
             "SELECT distinct Users,\"User\" FROM T_Users where RNO=5 order by Users,\"User\""},
        Case{"GroupInCondition", "SELECT * FROM T_Users where RNO=5 and (Group='Administrators') order by Group, Users",
             "SELECT * FROM T_Users where RNO=5 and (\"Group\"='Administrators') order by \"Group\", Users"},
        Case{"GroupByClause", "SELECT PCid FROM T_X GROUP BY PCid", "SELECT PCid FROM T_X GROUP BY PCid"},
        Case{"GroupByLowerCase", "select a from t group\nby a", "select a from t group\nby a"},
        Case{"GroupInLiteral", "x = 'Group User'", "x = 'Group User'"},
        Case{"AlreadyQuoted", "SELECT [Group], \"User\" FROM T_Users", "SELECT [Group], \"User\" FROM T_Users"},
        Case{"LongerWords", "SELECT Groups, UserName, T_Users FROM x", "SELECT Groups, UserName, T_Users FROM x"},
        Case{"CreateIndexOnGroup", "CREATE INDEX ix ON T_Users (Group);", "CREATE INDEX ix ON T_Users (\"Group\");"},
        Case{"PlainSelect", "SELECT * FROM T_Device where RNO=12 order by DeviceNo",
             "SELECT * FROM T_Device where RNO=12 order by DeviceNo"},
        Case{"Japanese", "INSERT INTO T_X VALUES ('ウィルス対策ソフト', 1);", "INSERT INTO T_X VALUES ('ウィルス対策ソフト', 1);"},
        Case{"UnterminatedLiteral", "x = 'abc Group", "x = 'abc Group"},
        Case{"Empty", "", ""}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrix::db
