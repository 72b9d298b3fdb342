// The suite's own PostgreSQL server: every server test gets a database of its own that compares and
// classifies text as the embedded file does.
#include <gtest/gtest.h>

#include "tests/support/server_database.h"

namespace tavrix::test {
namespace {

TEST(TestServer, EachTestGetsAFreshUtf8DatabaseOrderedByteForByte) {
  ServerDatabase first, second;
  EXPECT_NE(first.name(), second.name());
  EXPECT_EQ(first.rows("SELECT current_setting('server_encoding'), current_setting('lc_collate'),"
                       " current_setting('lc_ctype')"),
            std::vector<std::string>{"UTF8|C|C.UTF-8"});
  first.rows("CREATE TABLE \"T_Device\" (\"Name\" text COLLATE \"C\")");
  first.rows("INSERT INTO \"T_Device\" VALUES ('b'), ('B'), ('ア'), ('a'), ('Ａ'), ('ｱ')");
  // Byte order of UTF-8; lower() of a C-collated text folds ASCII letters only, as NOCASE does.
  EXPECT_EQ(first.rows("SELECT \"Name\", lower(\"Name\") FROM \"T_Device\" ORDER BY \"Name\""),
            (std::vector<std::string>{"B|b", "a|a", "b|b", "ア|ア", "Ａ|Ａ", "ｱ|ｱ"}));
  EXPECT_EQ(second.rows("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace tavrix::test
