// Entries of the CSV folder that are not plain inventory files, found at the listing or put in a
// file's place after it: each costs that entry only, the batch ends, and nothing leaves the folder
// unread. Every batch runs as a bounded child, so a run that would hang or grow fails fast.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int kNotAll = static_cast<int>(ExitStatus::FilesNotImported);

class CsvFolderEntries : public ImportFixture {
 protected:
  // Runs the batch in a child; afterListing acts once the CSV folder is listed, before any file is read.
  ChildRun run(std::function<void()> afterListing = {}) {
    struct Hook : ImportProgress {
      explicit Hook(std::function<void()> act) : act(std::move(act)) {}
      void filesListed(int) override {
        if (act) act();
      }
      void fileStarted(int, int, const std::string&) override {}
      std::function<void()> act;
    } hook(std::move(afterListing));
    return runBounded([&] {
      runBatchOnce(&hook);
      return static_cast<int>(exitStatusOf(lastRun()));
    });
  }
  Lines importedPrinters() const {
    return queryRows(dbPath(), "SELECT PCid || ':' || PrinterName FROM T_Printer ORDER BY PCid");
  }
  bool logged(const std::string& line) const {
    const Lines lines = log();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::string outside() const { return dir.file("elsewhere"); }
};

std::string notListed(const std::string& name, const std::string& reason) {
  return name + " は取り込みません（" + reason + "）。CSVフォルダに残します。";
}

TEST_F(CsvFolderEntries, EntriesThatAreNoFilesOfTheFolderStayWithALogLineEach) {
  fs::create_directories(outside());
  writeFile(outside() + "/OUT.dat", inventory("OUT"));
  writeFile(csvDir() + "/inside.dat", inventory("IN"));
  writeFile(csvDir() + "/PC01.csv", inventory("P1"));
  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
    const char* reason;  // "" for an entry that is imported
  } entries[] = {
      {"FIFO.csv", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "FIFO"},
      {"ZERO.csv", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, "device"},
      {"DIR.csv", [](const std::string& p) { fs::create_directory(p); }, "folder"},
      {"GONE.csv", [](const std::string& p) { fs::create_symlink("nothing.dat", p); }, "dangling link"},
      {"OUT.csv", [&](const std::string& p) { fs::create_symlink(outside() + "/OUT.dat", p); },
       "link to a file outside the folder"},
      {"UP.csv", [&](const std::string& p) { fs::create_symlink("../elsewhere/OUT.dat", p); },
       "link to a file outside the folder"},
      {"IN.csv", [](const std::string& p) { fs::create_symlink("inside.dat", p); }, ""},
  };
  Lines left = {"inside.dat"};
  for (const auto& e : entries) {
    e.make(csvDir() + "/" + e.name);
    if (*e.reason) left.push_back(e.name);
  }
  std::sort(left.begin(), left.end());

  const ChildRun ran = run();
  ASSERT_EQ(ran.signal, 0) << "the batch did not end by itself";
  EXPECT_EQ(ran.status, kNotAll);
  EXPECT_EQ(importedPrinters(), (Lines{"IN:IN", "PC01:P1"}));
  for (const auto& e : entries) {
    if (*e.reason) {
      EXPECT_TRUE(logged(notListed(e.name, e.reason))) << e.name;
    }
  }
  EXPECT_EQ(folderNames(csvDir()), left);
  EXPECT_EQ(fs::read_symlink(saveDir() + "/IN.csv"), "inside.dat") << "the link itself is what leaves";
  EXPECT_EQ(readFile(saveDir() + "/PC01.csv"), inventory("P1"));
  EXPECT_EQ(invariantViolations(dbPath()), Lines{});
}

TEST_F(CsvFolderEntries, AnEntryPutInAFilesPlaceAfterTheListingCostsThatFileOnly) {
  const std::string kept = " を取り込めませんでした（";
  const struct {
    const char* name;
    std::function<void(const std::string&)> swap;  // PC02.csv, already removed
    std::string logLine;
    bool stays;  // something named PC02.csv is left in the CSV folder
  } cases[] = {
      {"FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); },
       "PC02.csv" + kept + "not a regular file）。CSVフォルダに残し、次回取り込みます。", true},
      {"link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
       "PC02.csv" + kept + "link to a file outside the folder）。CSVフォルダに残し、次回取り込みます。", true},
      {"link to a file elsewhere",
       [&](const std::string& p) {
         writeFile(outside() + "/PC02.dat", inventory("OUTSIDE"));
         fs::create_symlink(outside() + "/PC02.dat", p);
       },
       "PC02.csv" + kept + "link to a file outside the folder）。CSVフォルダに残し、次回取り込みます。", true},
      {"folder", [](const std::string& p) { fs::create_directory(p); },
       "PC02.csv" + kept + "Is a directory）。CSVフォルダに残し、次回取り込みます。", true},
      {"nothing", [](const std::string&) {}, "PC02.csv は一覧の作成後に無くなりました（No such file or directory）。取り込みません。",
       false},
  };
  for (const auto& c : cases) {
    for (const char* folder : {"db", "save", "csv", "elsewhere", "log"}) fs::remove_all(dir.file(folder));
    fs::create_directories(csvDir());
    fs::create_directories(outside());
    for (const char* pc : {"PC01", "PC02", "PC03"}) writeFile(csvDir() + "/" + pc + ".csv", inventory(pc));
    const std::string swapped = csvDir() + "/PC02.csv";

    const ChildRun ran = run([&] {
      fs::remove(swapped);
      c.swap(swapped);
    });
    ASSERT_EQ(ran.signal, 0) << c.name << ": the batch did not end by itself";
    EXPECT_EQ(ran.status, kNotAll) << c.name;
    EXPECT_EQ(importedPrinters(), (Lines{"PC01:PC01", "PC03:PC03"})) << c.name;
    EXPECT_TRUE(logged(c.logLine)) << c.name;
    EXPECT_EQ(folderNames(csvDir()), c.stays ? Lines{"PC02.csv"} : Lines{}) << c.name;
    EXPECT_EQ(folderNames(saveDir()), (Lines{"PC01.csv", "PC03.csv"})) << c.name;
  }
}

}  // namespace
}  // namespace tavrix::test
