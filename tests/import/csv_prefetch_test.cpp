// The CSV files read ahead on their own thread come back in order, each with its own bytes or its
// own failure, and no more than the bound are read before their turn.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

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

  CsvPrefetcher files(dir.path() + "/", names, {2, 64, {}});
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

// Each time the reader stops for room it holds exactly the bound, however long the files wait.
TEST(CsvPrefetcher, TheReaderStopsWithExactlyTheBoundHeld) {
  test::TempDir dir;
  std::vector<std::string> names;
  for (int i = 0; i < 6; ++i) {
    names.push_back(nameOf(i));
    test::writeFile(dir.file(nameOf(i)), std::to_string(i));
  }
  std::mutex mutex;
  std::condition_variable stopped;
  std::vector<std::size_t> held;  // at each stop
  CsvPrefetcher::Limits limits{2, 64, {}};
  limits.waitingForRoom = [&](std::size_t files) {
    {
      std::lock_guard lock(mutex);
      held.push_back(files);
    }
    stopped.notify_all();
  };
  auto stops = [&](std::size_t count) {
    std::unique_lock lock(mutex);
    return stopped.wait_for(lock, std::chrono::seconds(30), [&] { return held.size() >= count; });
  };
  CsvPrefetcher files(dir.path() + "/", names, limits);
  ASSERT_TRUE(stops(1));
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(files.take(i).bytes, std::to_string(i));
    if (i < 3) {  // the last two files need no room
      ASSERT_TRUE(stops(i + 2)) << "no stop after taking " << i;
    }
  }
  std::lock_guard lock(mutex);
  EXPECT_EQ(held, (std::vector<std::size_t>{2, 2, 2, 2}));
}

TEST(CsvPrefetcher, FilesNotTakenAreDroppedWhenItEnds) {
  test::TempDir dir;
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back(nameOf(i));
    test::writeFile(dir.file(nameOf(i)), "x");
  }
  { CsvPrefetcher none(dir.path() + "/", names); }
  CsvPrefetcher some(dir.path() + "/", names, {1, 64, {}});
  EXPECT_EQ(some.take(2).bytes, "x");
}

}  // namespace
}  // namespace tavrix
