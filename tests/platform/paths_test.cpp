// File listing, existence tests, copying, line reading (from files and read ahead), the lock and dates.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/datetime.h"
#include "platform/instance_lock.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

TEST(PathsTest, ListingMatchesExtensionWithoutCaseSkipsHiddenAndFoldersSortsByName) {
  test::TempDir dir;
  for (const char* name : {"b.csv", "A.CSV", "c.Csv", ".hidden.csv", "d.csv.bak", "e.sql", "x.sqx", "f.squ"})
    test::writeFile(dir.file(name), "x");
  ::mkdir(dir.file("folder.csv").c_str(), 0755);

  EXPECT_EQ(*paths::listFiles(dir.path() + "/", "*.csv"), (std::vector<std::string>{"A.CSV", "b.csv", "c.Csv"}));
  EXPECT_EQ(*paths::listFiles(dir.path(), "*.sq*"), (std::vector<std::string>{"e.sql", "f.squ", "x.sqx"}));
  EXPECT_FALSE(paths::listFiles(dir.file("missing"), "*.csv").has_value());
}

TEST(PathsTest, WildcardMatching) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {{"PC01.csv", "*.csv", true},   {"PC01.old.CSV", "*.csv", true}, {"csv", "*.csv", false},
                        {"a.csvx", "*.csv", false},     {"a.sql", "*.sq?", true},        {"a.s", "*.sq*", false},
                        {"", "*", true},                {"abc", "a*c", true},            {"ab", "a*c", false}};
  for (const auto& c : cases) EXPECT_EQ(paths::matchesPattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}

TEST(PathsTest, CopyReplacesAndReportsFailure) {
  test::TempDir dir;
  test::writeFile(dir.file("a"), "new");
  test::writeFile(dir.file("b"), "old content");
  ASSERT_TRUE(paths::copyFile(dir.file("a"), dir.file("b")));
  EXPECT_EQ(test::readFile(dir.file("b")), "new");
  std::string error;
  EXPECT_FALSE(paths::copyFile(dir.file("missing"), dir.file("c"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(paths::copyFile(dir.file("a"), dir.file("no/such/folder/c"), &error));
  EXPECT_FALSE(paths::fileExists(dir.file("c")));
}

// Lines as the reader gives them, "<too long>" for a line over the limit (8 bytes unless given); the
// same from the file and from its bytes read ahead into memory.
TEST(PathsTest, LineReaderEndsLinesAtCrLfLfAndCrAndSkipsOverlongOnes) {
  const std::string big(200000, 'x'), edge(65535, 'y');  // big spans several buffers
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
    std::size_t limit = 8;
  } cases[] = {
      {"crlf, lf, empty line, no last end", "a\r\nb\n\r\nlast", {"a", "b", "", "last"}},
      {"cr alone", "a\rb\rc", {"a", "b", "c"}},
      {"lone cr inside a crlf file", "S-628\r1,2\r\nnext\r\n", {"S-628", "1,2", "next"}},
      {"lf cr is two ends", "a\n\rb", {"a", "", "b"}},
      {"cr cr lf", "a\r\r\nb", {"a", "", "b"}},
      {"exactly the limit", "12345678\n123456789\nok", {"12345678", "<too long>", "ok"}},
      {"overlong across buffers", "a\r\n" + big + "\r\nb\r\n", {"a", "<too long>", "b"}},
      {"overlong last line", "a\n" + big, {"a", "<too long>"}},
      {"empty file", "", {}},
      {"only an end", "\r\n", {""}},
      {"cr ending one buffer, its lf starting the next", edge + "\r\nz", {edge, "z"}, paths::LineReader::kDefaultLimit},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::writeFile(dir.file("t"), c.bytes);
    const paths::FileBytes held = paths::readFileBytes(dir.file("t"), 1 << 20);
    ASSERT_TRUE(held.held() && held.complete) << c.name;
    paths::LineReader fromFile(dir.file("t"), c.limit), fromMemory(held, c.limit);
    for (paths::LineReader* reader : {&fromFile, &fromMemory}) {
      std::vector<std::string> lines;
      std::string line;
      while (reader->next(line)) {
        lines.push_back(reader->tooLong() ? "<too long>" : line);
        EXPECT_EQ(reader->lineNumber(), static_cast<long>(lines.size())) << c.name;
      }
      EXPECT_FALSE(reader->failed()) << c.name;
      EXPECT_EQ(lines, c.lines) << c.name << (reader == &fromFile ? " (file)" : " (memory)");
    }
  }
  // A folder and a missing file fail to open, read ahead or not, with the same text.
  for (const std::string& path : {dir.path(), dir.file("missing")}) {
    const paths::FileBytes held = paths::readFileBytes(path, 1 << 20);
    ASSERT_TRUE(held.held()) << path;
    paths::LineReader fromFile(path), fromMemory(held);
    EXPECT_FALSE(fromFile.isOpen() || fromMemory.isOpen()) << path;
    EXPECT_FALSE(fromFile.errorText().empty()) << path;
    EXPECT_EQ(fromMemory.errorText(), fromFile.errorText()) << path;
    EXPECT_EQ(fromMemory.failed(), fromFile.failed()) << path;
  }
}

TEST(PathsTest, ALargeFileIsLeftToItsPathAndAReadErrorComesAfterTheBytesBeforeIt) {
  test::TempDir dir;
  test::writeFile(dir.file("t"), "0123456789\n");
  EXPECT_FALSE(paths::readFileBytes(dir.file("t"), 10).held());
  EXPECT_EQ(paths::readFileBytes(dir.file("t"), 10).bytes, "");
  EXPECT_TRUE(paths::readFileBytes(dir.file("t"), 11).held());
  // What a read that failed after two and a half lines left: the half line is not given.
  paths::FileBytes broken{true, false, "a\r\nb\r\nc", "Input/output error", {}};
  paths::LineReader reader(broken);
  std::vector<std::string> lines;
  for (std::string line; reader.next(line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(reader.errorText(), "Input/output error");
}

// A file written on while it is read (a collector still at work) fails instead of being read on
// without end; lines before the growth are given as usual.
TEST(PathsTest, AFileIsReadNoFurtherThanTheSizeItHadWhenOpened) {
  test::TempDir dir;
  test::writeFile(dir.file("t"), "a\nb\n");
  paths::LineReader reader(dir.file("t"));
  test::writeFile(dir.file("t"), "a\nb\nc\n");  // the same file, longer
  std::string line;
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(reader.errorText(), "the file grew while it was read");

  paths::LineReader shorter(dir.file("t"));
  test::writeFile(dir.file("t"), "a\n");
  std::vector<std::string> lines;
  while (shorter.next(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a"}));
  EXPECT_FALSE(shorter.failed());
}

// One instance per program folder (the same user), one batch per CSV folder; each free again once
// released, and a folder that is not there guards nothing.
TEST(InstanceLockTest, SecondHolderIsRefusedUntilRelease) {
  test::TempDir dir;
  InstanceLock first, second, elsewhere;
  ASSERT_TRUE(first.acquire(dir.path()));
  EXPECT_FALSE(second.acquire(dir.path()));
  EXPECT_TRUE(elsewhere.acquire(dir.file("other")));
  first.release();
  EXPECT_TRUE(second.acquire(dir.path()));

  FolderLock batch, other;
  ASSERT_TRUE(batch.acquire(dir.path()));
  EXPECT_FALSE(other.acquire(dir.path() + "/"));
  batch.release();
  EXPECT_TRUE(other.acquire(dir.path()));
  EXPECT_TRUE(other.held());
  EXPECT_TRUE(batch.acquire(dir.file("missing")));
  EXPECT_FALSE(batch.held());
  EXPECT_EQ(test::folderNames(dir.path()), std::vector<std::string>{}) << "a lock left something behind";
}

TEST(DateTimeTest, ParsesHeaderDatesAndRejectsImpossibleOnes) {
  struct Case {
    const char* text;
    const char* stored;  // nullptr: no date
  };
  const Case cases[] = {
      {"2004/10/24 10:30", "2004-10-24 10:30:00"}, {"2004/10/24 10:30:15", "2004-10-24 10:30:15"},
      {"2004-10-24 10:30", "2004-10-24 10:30:00"}, {"2004/1/5 9:05", "2004-01-05 09:05:00"},
      {" 2004/10/24 ", "2004-10-24 00:00:00"},     {"2004/02/30 10:00", nullptr},
      {"2004/10/24 24:00", nullptr},               {"abc", nullptr},
      {"", nullptr},                               {"2004/10-24 10:30", nullptr},
      {"2004/10/24 10:30x", nullptr},              {"2000/02/29 00:00", "2000-02-29 00:00:00"},
  };
  for (const auto& c : cases) {
    const auto t = DateTime::parse(c.text);
    EXPECT_EQ(t ? t->storageText() : "no date", c.stored ? c.stored : "no date") << c.text;
  }
  DateTime t{2004, 10, 24, 9, 5, 30};
  EXPECT_EQ(t.minuteText(), "2004/10/24 09:05");
  EXPECT_EQ(t.compactDay(), "20041024");
  EXPECT_EQ(t.logStamp(), "2004/10/24 09:05:30");
  EXPECT_EQ(DateTime::zero().storageText(), "1899-12-30 00:00:00");
  EXPECT_TRUE(DateTime::zero().before1900());
}

}  // namespace
}  // namespace tavrix
