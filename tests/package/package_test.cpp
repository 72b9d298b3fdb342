// The Debian package made from this build tree: its files, links and control fields; then the
// programs unpacked from it import generated inventories and list them, with the package's
// Tavrix.ini moved into the unpacked root.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

#include "batch/run_state.h"
#include "batch/settings.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/support/test_support.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

const std::string kVersion = std::to_string(TAVRIX_VERSION_MAJOR) + "." + std::to_string(TAVRIX_VERSION_MINOR) +
                             "." + std::to_string(TAVRIX_VERSION_PATCH);

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string inQuotes(const std::string& path) { return "'" + path + "'"; }

// One entry of `dpkg-deb -c`: "mode owner path" plus " -> target" for a link.
std::vector<std::string> listing(const std::string& text) {
  std::vector<std::string> entries;
  std::istringstream in(text);
  std::string mode, owner, size, day, time, rest;
  while (in >> mode >> owner >> size >> day >> time && std::getline(in, rest)) {
    rest.erase(0, rest.find_first_not_of(' '));
    if (mode[0] != 'd') entries.push_back(mode + " " + owner + " " + rest);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

class PackageTest : public ::testing::Test {
 protected:
  // The package is made once, by cpack on this build tree, into a folder shared by the tests.
  static void SetUpTestSuite() {
    if (shell("command -v dpkg-deb >/dev/null") != 0) return;
    out_ = std::make_unique<TempDir>();
    const std::string command = std::string(TAVRIX_CPACK_COMMAND) + " -G DEB --config " +
                                inQuotes(binaryDir() + "/CPackConfig.cmake") + " -B " + inQuotes(out_->path()) +
                                " >" + inQuotes(out_->file("cpack.txt")) + " 2>&1";
    if (shell(command) == 0) deb_ = out_->file("tavrix_" + kVersion + "_amd64.deb");
  }
  static void TearDownTestSuite() { out_.reset(); }

  void SetUp() override {
    if (!out_) GTEST_SKIP() << "dpkg-deb is missing: install dpkg to build and check the Debian package";
    ASSERT_TRUE(paths::fileExists(deb_)) << "cpack made no package:\n" << readFile(out_->file("cpack.txt"));
  }
  // Standard output of a command, which must succeed.
  std::string output(const std::string& command) {
    const std::string file = dir.file("output.txt");
    EXPECT_EQ(shell(command + " >" + inQuotes(file)), 0) << command;
    return readFile(file);
  }

  static inline std::unique_ptr<TempDir> out_;
  static inline std::string deb_;
  TempDir dir;
};

TEST_F(PackageTest, FilesLinksAndConfiguration) {
  std::vector<std::string> expected = {
      "-rw-r--r-- root/root ./etc/tavrix/Tavrix.ini",
      "-rw-r--r-- root/root ./lib/systemd/system/tavrix-digest-mail.service",
      "-rw-r--r-- root/root ./lib/systemd/system/tavrix-import.service",
      "-rw-r--r-- root/root ./lib/systemd/system/tavrix-import.timer",
      "-rwxr-xr-x root/root ./opt/tavrix/tavrix",
      "-rwxr-xr-x root/root ./opt/tavrix/tavrix-report",
      "lrwxrwxrwx root/root ./opt/tavrix/Tavrix.ini -> /etc/tavrix/Tavrix.ini",
      "lrwxrwxrwx root/root ./usr/bin/tavrix -> /opt/tavrix/tavrix",
      "lrwxrwxrwx root/root ./usr/bin/tavrix-report -> /opt/tavrix/tavrix-report",
      "-rw-r--r-- root/root ./usr/share/applications/org.tavrix.Tavrix.desktop",
      "-rw-r--r-- root/root ./usr/share/doc/tavrix/changelog.gz",
      "-rw-r--r-- root/root ./usr/share/doc/tavrix/copyright",
      "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/tavrix.svg",
      "-rw-r--r-- root/root ./usr/share/lintian/overrides/tavrix",
      "-rw-r--r-- root/root ./usr/share/man/man1/tavrix-report.1.gz",
      "-rw-r--r-- root/root ./usr/share/man/man1/tavrix.1.gz",
      "-rw-r--r-- root/root ./usr/share/metainfo/org.tavrix.Tavrix.metainfo.xml",
  };
  // Every delivered script, and nothing else of dstrb/.
  for (const char* pattern : {"*.sql", "*.squ"}) {
    const auto scripts = paths::listFiles(sourceDir() + "/dstrb", pattern);
    for (const std::string& name : scripts.value()) expected.push_back("-rw-r--r-- root/root ./opt/tavrix/dstrb/" + name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listing(output("dpkg-deb -c " + inQuotes(deb_))), expected);

  // The package's settings point every folder at /var/lib/tavrix and /var/log/tavrix.
  ASSERT_EQ(shell("dpkg-deb -x " + inQuotes(deb_) + " " + inQuotes(dir.file("root"))), 0);
  RecordingMessageSink messages;
  FixedClock clock{DateTime{2026, 12, 5, 9, 0, 0}};
  RunState s(messages, clock);
  s.ProgramFolder = "/opt/tavrix";
  s.IniPath = dir.file("root/etc/tavrix/Tavrix.ini");
  ASSERT_FALSE(F_READ_INI(s));
  EXPECT_EQ((std::vector<std::string>{s.LOG_DIR + s.LOG_FILE, s.MDB_DIR + s.MDB_NAME, s.CSV_DIR, s.CSV_SAVE_DIR,
                                      s.DSTRB_DIR, s.RunMode}),
            (std::vector<std::string>{"/var/log/tavrix/Tavrix.log", "/var/lib/tavrix/db/Tavrix.mdb",
                                      "/var/lib/tavrix/csv/", "/var/lib/tavrix/save/", "/opt/tavrix/dstrb/", ""}));
}

TEST_F(PackageTest, ControlFieldsAndMaintainerScript) {
  const std::string fields = output("dpkg-deb -f " + inQuotes(deb_) + " Package Version Architecture Section");
  EXPECT_EQ(fields, "Package: tavrix\nVersion: " + kVersion + "\nArchitecture: " + output("dpkg --print-architecture") +
                        "Section: admin\n");
  const std::string depends = output("dpkg-deb -f " + inQuotes(deb_) + " Depends");
  for (const char* package : {"adduser", "fonts-ipafont-gothic", "qt6-qpa-plugins", "qt6-translations-l10n", "libqt6widgets6 (>= ",
                              "libsqlite3-0 (>= ", "libc6 (>= "})
    EXPECT_NE(depends.find(package), std::string::npos) << package << " not in " << depends;
  EXPECT_NE(output("dpkg-deb -f " + inQuotes(deb_) + " Maintainer").find('@'), std::string::npos);
  EXPECT_EQ(output("dpkg-deb -f " + inQuotes(deb_) + " Suggests"), "default-mta | mail-transport-agent\n");
  const std::vector<std::string> description = text::split(output("dpkg-deb -f " + inQuotes(deb_) + " Description"), '\n');
  EXPECT_EQ(description.front(), "PC inventory importer and viewer");
  EXPECT_GE(description.size(), 5u);  // the summary, then a paragraph or more

  ASSERT_EQ(shell("dpkg-deb -e " + inQuotes(deb_) + " " + inQuotes(dir.file("control"))), 0);
  EXPECT_EQ(readFile(dir.file("control/conffiles")), "/etc/tavrix/Tavrix.ini\n");
  EXPECT_EQ(std::filesystem::status(dir.file("control/postinst")).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::owner_exec);
  for (const char* script : {"postinst", "prerm", "postrm"}) {
    EXPECT_EQ(std::filesystem::status(dir.file(std::string("control/") + script)).permissions() &
                  std::filesystem::perms::owner_exec,
              std::filesystem::perms::owner_exec)
        << script;
    EXPECT_EQ(shell("sh -n " + inQuotes(dir.file(std::string("control/") + script))), 0) << script;
  }
  EXPECT_NE(readFile(dir.file("control/postinst")).find("adduser --system"), std::string::npos);
  // Removal stops the timer, and no link to it outlives the package.
  EXPECT_NE(readFile(dir.file("control/prerm")).find("stop tavrix-import.timer"), std::string::npos);
  EXPECT_NE(readFile(dir.file("control/postrm")).find("timers.target.wants/tavrix-import.timer"), std::string::npos);
}

// The daily import's unit, as systemd rates it offline: an exposure of 4.0 or less.
TEST_F(PackageTest, TheServiceIsHardened) {
  if (shell("command -v systemd-analyze >/dev/null") != 0) GTEST_SKIP() << "no systemd-analyze on this machine";
  ASSERT_EQ(shell("dpkg-deb -x " + inQuotes(deb_) + " " + inQuotes(dir.file("root"))), 0);
  const std::string unit = dir.file("root/lib/systemd/system/tavrix-import.service");
  ASSERT_TRUE(paths::fileExists(unit));
  const std::string rating = output("systemd-analyze security --offline=yes " + inQuotes(unit) + " 2>&1");
  const std::string overall = "Overall exposure level for tavrix-import.service: ";
  const std::size_t at = rating.find(overall);
  ASSERT_NE(at, std::string::npos) << rating;
  const double exposure = std::stod(rating.substr(at + overall.size()));
  EXPECT_LE(exposure, 4.0) << rating;
  for (const char* setting : {"ProtectSystem=strict", "ReadWritePaths=/var/lib/tavrix /var/log/tavrix", "UMask=0007"})
    EXPECT_NE(readFile(unit).find(setting), std::string::npos) << setting;
  // Both units as systemd reads them, the service starting the unpacked program.
  const std::string units = dir.file("units");
  std::filesystem::create_directory(units);
  writeFile(units + "/tavrix-import.service", text::replaceAll(readFile(unit), "ExecStart=/usr/bin/tavrix",
                                                               "ExecStart=" + dir.file("root/opt/tavrix/tavrix")));
  std::filesystem::copy_file(dir.file("root/lib/systemd/system/tavrix-import.timer"), units + "/tavrix-import.timer");
  writeFile(units + "/tavrix-digest-mail.service",
            text::replaceAll(readFile(dir.file("root/lib/systemd/system/tavrix-digest-mail.service")),
                             "ExecStart=/usr/bin/tavrix-report", "ExecStart=" + dir.file("root/opt/tavrix/tavrix-report")));
  EXPECT_NE(readFile(unit).find("OnSuccess=tavrix-digest-mail.service"), std::string::npos);
  EXPECT_EQ(output("systemd-analyze verify --man=no " + inQuotes(units + "/tavrix-import.service") + " " +
                   inQuotes(units + "/tavrix-import.timer") + " " + inQuotes(units + "/tavrix-digest-mail.service") + " 2>&1"),
            "");
}

TEST_F(PackageTest, UnpackedProgramsImportAndList) {
  const std::string root = dir.file("root");
  ASSERT_EQ(shell("dpkg -x " + inQuotes(deb_) + " " + inQuotes(root)), 0);
  // The package's settings with /var moved into the root, in place of the link to /etc.
  const std::string ini = readFile(root + "/etc/tavrix/Tavrix.ini");
  std::filesystem::remove(root + "/opt/tavrix/Tavrix.ini");
  writeFile(root + "/opt/tavrix/Tavrix.ini", text::replaceAll(ini, "=/var/", "=" + root + "/var/"));
  const int computers = 6;
  samples::writeFleet(root + "/var/lib/tavrix/csv", computers, 11);

  // Started through links elsewhere, as /usr/bin/tavrix is: the settings are found beside the real file.
  std::filesystem::create_directory(dir.file("bin"));
  std::filesystem::create_symlink(root + "/opt/tavrix/tavrix", dir.file("bin/tavrix"));
  std::filesystem::create_symlink(root + "/opt/tavrix/tavrix-report", dir.file("bin/tavrix-report"));
  const std::string run = "cd " + inQuotes(dir.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY timeout 120 ";
  ASSERT_EQ(shell(run + "bin/tavrix --update-only </dev/null 2>err.txt"), 0) << readFile(dir.file("err.txt"));
  EXPECT_EQ(readFile(dir.file("err.txt")), "");
  const std::vector<std::string> log = logMessages(root + "/var/log/tavrix/Tavrix.log");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "Tavrix CSV取込処理を終了しました。 ");
  // Every file imported and moved to the day's save folder.
  EXPECT_EQ(paths::listFiles(root + "/var/lib/tavrix/csv", "*")->size(), 0u);
  std::size_t saved = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/var/lib/tavrix/save"))
    saved += entry.is_regular_file() && entry.path().extension() == ".csv";
  EXPECT_EQ(saved, static_cast<std::size_t>(computers));

  // The list names every generated computer once (the computer id is the fifth column).
  std::vector<std::string> ids;
  for (const std::string& line : text::split(output(run + "bin/tavrix-report list"), '\n')) {
    if (line.empty()) continue;
    const std::vector<std::string> columns = text::split(line, '\t');
    ASSERT_EQ(columns.size(), 6u) << line;
    ids.push_back(columns[4]);
  }
  std::sort(ids.begin(), ids.end());
  std::vector<std::string> expected;
  for (int i = 1; i <= computers; ++i) expected.push_back(samples::pcIdOf(i));
  EXPECT_EQ(ids, expected);
}

}  // namespace
}  // namespace tavrix::test
