// The Jet-to-SQLite rewrites: each rewritten form, and text that must pass unchanged.
#include <gtest/gtest.h>

#include "platform/jet_dialect.h"

namespace tavrix::db {
namespace {

TEST(TranslateJet, RewrittenFormsAndPassThrough) {
  struct Case {
    const char* name;
    const char* jet;
    const char* sqlite;
  };
  const Case cases[] = {
      {"minute", "Where PCid = 'PC01' and d = #2024/01/02 10:30#", "Where PCid = 'PC01' and d = '2024-01-02 10:30:00'"},
      {"seconds", "x = #2024/12/31 23:59:58#", "x = '2024-12-31 23:59:58'"},
      {"date only", "x < #2004/02/03#", "x < '2004-02-03 00:00:00'"},
      {"no real date", "x = #2004/02/30 00:00#", "x = #2004/02/30 00:00#"},
      {"hash, no date", "SELECT '#' || a || '#' FROM t", "SELECT '#' || a || '#' FROM t"},
      {"date inside a literal", "x = '#2024/01/02 10:30#'", "x = '#2024/01/02 10:30#'"},
      {"delete field list", "Delete PCid,CreateDate FROM T_Device Where a=1", "Delete FROM T_Device Where a=1"},
      {"delete star", "DELETE * FROM T_X;", "DELETE FROM T_X;"},
      {"delete from", "DELETE FROM T_X WHERE a=1", "DELETE FROM T_X WHERE a=1"},
      {"drop index on", "DROP INDEX IX_T_X_PCid ON T_X;", "DROP INDEX IX_T_X_PCid;"},
      {"drop index without ON", "drop index if exists ix", "drop index if exists ix"},
      {"Group", "SELECT distinct Group FROM t order by Group", "SELECT distinct \"Group\" FROM t order by \"Group\""},
      {"Users and User", "SELECT Users,User FROM t order by User", "SELECT Users,\"User\" FROM t order by \"User\""},
      {"GROUP BY", "SELECT PCid FROM T_X GROUP BY PCid", "SELECT PCid FROM T_X GROUP BY PCid"},
      {"group by over a line end", "select a from t group\nby a", "select a from t group\nby a"},
      {"Group in a literal", "x = 'Group User'", "x = 'Group User'"},
      {"already quoted", "SELECT [Group], \"User\" FROM T_Users", "SELECT [Group], \"User\" FROM T_Users"},
      {"longer words", "SELECT Groups, UserName, T_Users FROM x", "SELECT Groups, UserName, T_Users FROM x"},
      {"Japanese", "VALUES ('ウィルス対策ソフト', 1);", "VALUES ('ウィルス対策ソフト', 1);"},
      {"unterminated literal", "x = 'abc Group", "x = 'abc Group"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(translateJet(c.jet), c.sqlite) << c.name;
}

}  // namespace
}  // namespace tavrix::db
