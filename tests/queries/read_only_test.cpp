// tavrix-report only reads: a read-only file or folder works, a WAL database is read without files made
// beside it, and a missing, empty or foreign file gives an error naming it and stays as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "tests/queries/fleet_fixture.h"

namespace tavrix::test {
namespace {

namespace fs = std::filesystem;

// As root a folder's permissions stop nothing: the report then runs as an unprivileged member of
// the files' group (the database is the group's, closed to others).
std::string unprivileged() {
  return geteuid() == 0 ? "setpriv --reuid=65534 --regid=" + std::to_string(getegid()) + " --clear-groups " : "";
}

// Every file of a folder with its size and change time.
std::vector<std::string> folderState(const std::string& folder) {
  std::vector<std::string> state;
  for (const auto& entry : fs::directory_iterator(folder))
    state.push_back(entry.path().filename().string() + " " +
                    (entry.is_regular_file() ? std::to_string(entry.file_size()) : "folder") + " " +
                    std::to_string(entry.last_write_time().time_since_epoch().count()));
  std::sort(state.begin(), state.end());
  return state;
}

TEST_F(FleetFixture, ReadOnlyFilesAndFoldersAreReadAndNothingIsWritten) {
  const std::string db = dir.file("db"), listed = report("updates").out;
  ASSERT_EQ(listed, "KB100\t1\nKB200\t2\n");
  {
    // A writer holding the database open: its log is read too, from a read-only folder.
    db::Connection writer;
    writer.open(dbPath());
    writer.execute("INSERT INTO T_WinUpdate (RNO, PCid, WinUpdName) VALUES (4, 'PC00', 'KB300')");
    fs::permissions(db, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec);
    fs::permissions(dir.path(), fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
    for (const char* side : {"-wal", "-shm"})  // the group's to read only, as the rest here
      fs::permissions(dbPath() + side, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto before = folderState(db);
    ASSERT_TRUE(std::ranges::any_of(before, [](const std::string& f) { return f.starts_with("Tavrix.mdb-wal "); }));
    const ProgramRun live = runReport(dir, "--db '" + dbPath() + "' updates", unprivileged());
    EXPECT_EQ(live.out, "KB100\t1\nKB200\t2\nKB300\t1\n") << live.err;
    EXPECT_EQ(folderState(db), before);
  }
  // Closed, the log is gone: read as an unchanging file, in a read-only folder and in a writable one.
  for (bool writable : {false, true}) {
    SCOPED_TRACE(writable ? "writable folder" : "read-only folder");
    if (writable) fs::permissions(db, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::permissions(dbPath(), fs::perms::owner_read | fs::perms::group_read);
    const auto before = folderState(db);
    ASSERT_EQ(before.size(), 1u) << before[1];
    const ProgramRun run = runReport(dir, "--db '" + dbPath() + "' updates", unprivileged());
    EXPECT_EQ(run.out, "KB100\t1\nKB200\t2\nKB300\t1\n") << run.err;
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(folderState(db), before);
  }
}

TEST(ReadOnlyReport, MissingEmptyAndForeignFilesAreRefusedAndLeftAsTheyWere) {
  TempDir scratch;
  const std::string files = scratch.file("files");
  writeFile(files + "/empty.db", "");
  writeFile(files + "/text.db", std::string(5000, 'x'));
  writeFile(files + "/short.db", "SQLite format 3");
  fs::create_directory(files + "/folder.db");
  struct Case {
    const char* file;
    std::string err;  // after "tavrix-report: ", with {} for the file
  };
  const std::vector<Case> cases = {
      {"none.db", "database not found: {}"},
      {"empty.db", "cannot read database {}: the file is empty, not a database ({})"},
      {"text.db", "cannot read database {}: file is not a database ({})"},
      {"short.db", "cannot read database {}: file is not a database ({})"},
      {"folder.db", "database not found: {}"},
  };
  const auto before = folderState(files);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = files + "/" + c.file;
    const ProgramRun run = runReport(scratch, "--db '" + path + "' list");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tavrix-report: " + text::replaceAll(c.err, "{}", path) + "\n");
  }
  EXPECT_EQ(folderState(files), before);
}

}  // namespace
}  // namespace tavrix::test
