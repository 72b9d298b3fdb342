// F_READ_INI: absent keys, "@@@", quotes, "*" expansion and the trailing separator, names, run mode.
#include "batch/settings.h"

#include "tests/batch/batch_fixture.h"

namespace tavrix {
namespace {

using test::BatchFixture;

class SettingsTest : public BatchFixture {};

TEST_F(SettingsTest, FoldersNamesAndRunMode) {
  const std::string prog = dir.path(), sectionOnly = "[Tavrix Section]\r\n";
  const std::string names = test::cp932("[TAVRIX SECTION]\r\nLOG_FILE = run.log \r\nMDB_NAME=@@@\r\nRUNMODE=UpdateOnly\r\n"
                                        "MDB_DIR=*\\データベース\r\n");
  const struct {
    std::string ini;  // the file's bytes; "-" for no file
    std::string RunState::*field;
    std::string expected;
  } cases[] = {
      {"CSV_DIR=*\\LOG", &RunState::CSV_DIR, prog + "/LOG/"},    {"CSV_DIR=*/LOG/", &RunState::CSV_DIR, prog + "/LOG/"},
      {"CSV_DIR=/data", &RunState::CSV_DIR, "/data/"},           {"CSV_DIR=/data/", &RunState::CSV_DIR, "/data/"},
      {"CSV_DIR=*DB", &RunState::CSV_DIR, prog + "DB/"},         {"CSV_DIR=/a*b", &RunState::CSV_DIR, "/a*b/"},
      {"CSV_DIR=\"/quoted dir/\"", &RunState::CSV_DIR, "/quoted dir/"}, {"CSV_DIR=@@@", &RunState::CSV_DIR, "/"},
      {"CSV_DIR=", &RunState::CSV_DIR, "/"},                     {"CSV_DIR=  * /x  ", &RunState::CSV_DIR, prog + " /x/"},
      {"CSV_DIR=D:\\DATA", &RunState::CSV_DIR, "D:/DATA/"},      {"CSV_DIR=rel\\sub", &RunState::CSV_DIR, "rel/sub/"},
      // A section without keys, or no file at all: root folders and empty names.
      {"", &RunState::LOG_DIR, "/"},      {"", &RunState::MDB_DIR, "/"},      {"", &RunState::CSV_DIR, "/"},
      {"", &RunState::DSTRB_DIR, "/"},    {"", &RunState::CSV_SAVE_DIR, "/"}, {"", &RunState::LOG_FILE, ""},
      {"", &RunState::MDB_NAME, ""},      {"", &RunState::RunMode, ""},       {"-", &RunState::CSV_SAVE_DIR, "/"},
      {"-", &RunState::MDB_DIR, "/"},     {"-", &RunState::LOG_FILE, ""},     {"-", &RunState::RunMode, ""},
      // Keys and section in any case, blanks around a name, "@@@" as nothing, CP932 values.
      {names, &RunState::LOG_FILE, "run.log"},        {names, &RunState::MDB_NAME, ""},
      {names, &RunState::RunMode, "UPDATEONLY"},      {names, &RunState::MDB_DIR, prog + "/データベース/"},
  };
  for (const auto& c : cases) {
    reset();
    std::remove(state->IniPath.c_str());
    if (c.ini != "-") test::writeFile(state->IniPath, c.ini.starts_with("[") ? c.ini : sectionOnly + c.ini + "\r\n");
    ASSERT_FALSE(F_READ_INI(*state));
    EXPECT_EQ((*state).*c.field, c.expected) << c.ini;
  }
}

}  // namespace
}  // namespace tavrix
