// The CSV files read ahead on their own thread come back in order, each with its own bytes or its
// own failure, and no more than the bound are read before their turn.
#include <gtest/gtest.h>

#include <filesystem>

#include "import/csv_prefetch.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

std::string nameOf(int i) { return "PC" + std::to_string(100 + i) + ".csv"; }

TEST(CsvPrefetcher, FilesComeInOrderWithTheirBytesOrFailures) {
  test::TempDir dir;
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) {
    names.push_back(nameOf(i));
    test::writeFile(dir.file(nameOf(i)), "0,1,x," + std::to_string(i) + "\r\n");
  }
  test::writeFile(dir.file(nameOf(3)), std::string(100, 'z'));  // over the bound: read at its turn
  std::filesystem::remove(dir.file(nameOf(4)));
  std::filesystem::create_directory(dir.file("folder.csv"));
  names[5] = "folder.csv";

  CsvPrefetcher files(dir.path() + "/", names, {2, 64});
  EXPECT_EQ(files.take(0).bytes, "0,1,x,0\r\n");
  // Two files ahead at most: after the first is taken, files from index 3 on are not read yet.
  for (int i = 6; i < 20; ++i) std::filesystem::remove(dir.file(nameOf(i)));
  test::writeFile(dir.file(nameOf(7)), "new\r\n");

  const struct {
    std::size_t index;
    bool opened, held;
    std::string bytes, error;
  } expected[] = {
      {1, true, true, "0,1,x,1\r\n", ""},
      {3, true, false, "", ""},
      {4, false, true, "", "No such file or directory"},
      {5, false, true, "", "Is a directory"},
      {7, true, true, "new\r\n", ""},  // 6 skipped: dropped unread
      {19, false, true, "", "No such file or directory"},
  };
  for (const auto& e : expected) {
    paths::FileBytes file = files.take(e.index);
    EXPECT_EQ(file.opened, e.opened) << e.index;
    EXPECT_EQ(file.held(), e.held) << e.index;
    EXPECT_EQ(file.bytes, e.bytes) << e.index;
    EXPECT_EQ(file.error, e.error) << e.index;
  }
}

TEST(CsvPrefetcher, FilesNotTakenAreDroppedWhenItEnds) {
  test::TempDir dir;
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back(nameOf(i));
    test::writeFile(dir.file(nameOf(i)), "x");
  }
  { CsvPrefetcher none(dir.path() + "/", names); }
  CsvPrefetcher some(dir.path() + "/", names, {1, 64});
  EXPECT_EQ(some.take(2).bytes, "x");
}

}  // namespace
}  // namespace tavrix
