// F_READ_INI: absent keys, "@@@", quotes, "*" expansion and the trailing separator.
#include "batch/settings.h"

#include "tests/batch/batch_fixture.h"

namespace tavrix {
namespace {

using test::BatchFixture;

class SettingsTest : public BatchFixture {};

TEST_F(SettingsTest, FolderNormalisation) {
  struct Case {
    const char* value;
    std::string expected;
  };
  const std::string prog = dir.path();
  const Case cases[] = {
      {"*\\LOG", prog + "/LOG/"},       {"*/LOG/", prog + "/LOG/"},   {"/data", "/data/"},
      {"/data/", "/data/"},             {"*DB", prog + "DB/"},        {"/a*b", "/a*b/"},
      {"\"/quoted dir/\"", "/quoted dir/"}, {"@@@", "/"},             {"", "/"},
      {"  * /x  ", prog + " /x/"},      {"D:\\DATA", "D:/DATA/"},     {"rel\\sub", "rel/sub/"},
  };
  for (const auto& c : cases) {
    writeIni(std::string("CSV_DIR=") + c.value + "\r\n");
    ASSERT_FALSE(F_READ_INI(*state));
    EXPECT_EQ(state->CSV_DIR, c.expected) << c.value;
  }
}

TEST_F(SettingsTest, SectionOnlyOrMissingFileGivesRootFoldersAndEmptyNames) {
  for (bool withFile : {true, false}) {
    if (withFile) writeIni("");
    else std::remove(state->IniPath.c_str());
    ASSERT_FALSE(F_READ_INI(*state));
    for (const std::string* folder : {&state->LOG_DIR, &state->MDB_DIR, &state->CSV_DIR, &state->DSTRB_DIR, &state->CSV_SAVE_DIR})
      EXPECT_EQ(*folder, "/");
    EXPECT_EQ(state->LOG_FILE, "");
    EXPECT_EQ(state->MDB_NAME, "");
    EXPECT_EQ(state->RunMode, "");
  }
}

TEST_F(SettingsTest, NamesRunModeAndCp932Values) {
  test::writeFile(state->IniPath, test::cp932("[TAVRIX SECTION]\r\nLOG_FILE = run.log \r\nMDB_NAME=@@@\r\nRUNMODE=UpdateOnly\r\n"
                                        "MDB_DIR=*\\データベース\r\n"));
  ASSERT_FALSE(F_READ_INI(*state));
  EXPECT_EQ(state->LOG_FILE, "run.log");
  EXPECT_EQ(state->MDB_NAME, "");
  EXPECT_EQ(state->RunMode, "UPDATEONLY");
  EXPECT_EQ(state->MDB_DIR, dir.path() + "/データベース/");
}

}  // namespace
}  // namespace tavrix
