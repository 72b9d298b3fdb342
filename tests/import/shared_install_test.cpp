// One installation, several users: the service account and a member of its group take turns on
// the same folders (root too), and each finds everything the others made writable for the group
// and closed to every other user. Real users, made for the test and removed after it (root only).
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/instance_lock.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

namespace fs = std::filesystem;

constexpr int kWrongMode = 90;  // a child's status: a side file of the database was not the group's

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A group, its service account (the group is its own) and a member (the group is an extra one).
class SharedInstall : public ImportFixture {
 protected:
  void SetUp() override {
    if (::getuid() != 0) GTEST_SKIP() << "making users needs root; run as root to check several users";
    const std::string tag = "tvx" + std::to_string(::getpid() % 100000);
    group_ = tag + "g", service_ = tag + "s", member_ = tag + "m";
    ASSERT_EQ(std::system(("groupadd " + group_).c_str()), 0);
    ASSERT_EQ(std::system(("useradd -M -N -g " + group_ + " " + service_).c_str()), 0);
    ASSERT_EQ(std::system(("useradd -M -N -G " + group_ + " " + member_).c_str()), 0);
    outsider_ = tag + "o";
    ASSERT_EQ(std::system(("useradd -M -N " + outsider_).c_str()), 0);
    gid_ = ::getgrnam(group_.c_str())->gr_gid;
    // The program folder as the package lays it out: the group's (setgid), readable by everyone,
    // the ini too; the data folders the batch makes in it are the group's alone.
    ASSERT_EQ(::chown(dir.path().c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 02775), 0);
    ASSERT_EQ(::chmod(dir.file("Tavrix.ini").c_str(), 0644), 0);
    fs::remove_all(csvDir());
    ASSERT_TRUE(paths::makeFolder(csvDir()));
    ASSERT_EQ(::chown(csvDir().c_str(), 0, gid_), 0);
    writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "FLEET_COUNTS=ON\r\n");
  }
  void TearDown() override {
    for (const std::string& user : {service_, member_, outsider_})
      if (!user.empty()) std::system(("userdel " + user + " 2>/dev/null").c_str());
    if (!group_.empty()) std::system(("groupdel " + group_ + " 2>/dev/null").c_str());
  }
  // One delivered inventory, readable by the group as the collector leaves it.
  void deliver(const std::string& pcId) {
    const std::string path = csvDir() + "/" + pcId + ".csv";
    writeFile(path, inventory(pcId));
    ASSERT_EQ(::chown(path.c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0660), 0);
  }
  // The batch as user ("" for root) under the user's umask 022; while its first file is imported,
  // the database's -wal and -shm files must be the group's.
  int runAs(const std::string& user) {
    struct SideFiles : ImportProgress {
      explicit SideFiles(std::string db) : db(std::move(db)) {}
      void fileStarted(int, int, const std::string&) override {
        for (const char* side : {"-wal", "-shm"})
          if (modeOf(db + side) != paths::kGroupFileMode) _exit(kWrongMode);
      }
      std::string db;
    } check(dbPath());
    int messagesPipe[2];
    if (::pipe(messagesPipe) != 0) return -1;
    const ChildRun ran = runBounded([&] {
      ::close(messagesPipe[0]);
      ::umask(022);
      if (!user.empty()) {
        const passwd* pw = ::getpwnam(user.c_str());
        if (!pw || ::initgroups(user.c_str(), pw->pw_gid) != 0 || ::setgid(pw->pw_gid) != 0 || ::setuid(pw->pw_uid) != 0)
          return 99;
      }
      runBatchOnce(&check);
      for (const std::string& text : messages.texts()) {
        const std::string line = text + "\n";
        if (::write(messagesPipe[1], line.data(), line.size()) < 0) break;
      }
      return static_cast<int>(exitStatusOf(lastRun()));
    });
    ::close(messagesPipe[1]);
    shown.clear();
    char buffer[4096];
    for (ssize_t n; (n = ::read(messagesPipe[0], buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<std::size_t>(n));
    ::close(messagesPipe[0]);
    return ran.signal ? -ran.signal : ran.status;
  }

  std::string group_, service_, member_, outsider_;
  std::string shown;  // the messages of the last run, one a line
  gid_t gid_ = 0;
};

TEST_F(SharedInstall, TheServiceAMemberAndRootTakeTurnsOnTheSameFolders) {
  const struct {
    const char* who;
    std::string user;
  } turns[] = {{"root", ""}, {"the service", service_}, {"a member", member_}, {"the service again", service_}};
  int n = 0;
  for (const auto& turn : turns) {
    deliver("PC0" + std::to_string(++n));
    EXPECT_EQ(runAs(turn.user), 0) << turn.who;
    EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{}) << turn.who;
  }
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf"), std::vector<std::string>{"4"});
  // Made by whichever user came first; each the group's, none readable by others.
  for (const std::string& folder : {dir.file("db"), dir.file("log"), dir.file("save"), saveDir()})
    EXPECT_EQ(modeOf(folder), paths::kGroupFolderMode) << folder;
  for (const std::string& file : {dbPath(), dbPath() + ".counts", dir.file("log/run.log")})
    EXPECT_EQ(modeOf(file), paths::kGroupFileMode) << file;
  struct stat st {};
  ASSERT_EQ(::stat(dbPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, gid_) << "the database is not the group's";
}

// Root's batch holding the folders: a member's start at the same moment does nothing and says so.
TEST_F(SharedInstall, RootAndAMemberAtOnceOneImportsTheOtherExitsFour) {
  deliver("PC01");
  FolderLock rootsBatch;
  ASSERT_TRUE(rootsBatch.acquire(csvDir()));
  EXPECT_EQ(runAs(member_), static_cast<int>(ExitStatus::AlreadyRunning));
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{"PC01.csv"});
  EXPECT_FALSE(fs::exists(dir.file("log"))) << "the second batch touched the log";
  rootsBatch.release();
  EXPECT_EQ(runAs(member_), 0);
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{});
}

// A user outside the group is told which folder refused and why, and changes nothing.
TEST_F(SharedInstall, AUserOutsideTheGroupIsToldWhichFolderRefused) {
  deliver("PC01");
  ASSERT_EQ(runAs(service_), 0);
  deliver("PC02");
  const std::string logBefore = readFile(dir.file("log/run.log"));
  EXPECT_EQ(runAs(outsider_), static_cast<int>(ExitStatus::ConfigurationError));
  EXPECT_EQ(shown, dir.file("db") + "/: Permission denied\n");
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{"PC02.csv"});
  EXPECT_EQ(readFile(dir.file("log/run.log")), logBefore);
}

}  // namespace
}  // namespace tavrix::test
