// A file read ahead into memory reads as the file itself: the same lines, the same failures.
#include <gtest/gtest.h>

#include "platform/line_reader.h"
#include "tests/support/test_support.h"

namespace tavrix::paths {
namespace {

struct Pass {
  bool open = false;
  std::vector<std::string> lines;  // "<too long>" for a line over the limit, "#n" after a wrong number
  bool failed = false;
  std::string error;
  bool operator==(const Pass&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pass& p) {
  out << (p.open ? "open" : "closed") << " [";
  for (const auto& line : p.lines) out << line << "|";
  return out << "] failed=" << p.failed << " error=" << p.error;
}

Pass readAll(LineReader& reader) {
  Pass pass{reader.isOpen(), {}, false, {}};
  std::string line;
  while (reader.next(line)) {
    pass.lines.push_back(reader.tooLong() ? "<too long>" : line);
    if (reader.lineNumber() != static_cast<long>(pass.lines.size())) pass.lines.push_back("#" + std::to_string(reader.lineNumber()));
  }
  pass.failed = reader.failed();
  pass.error = reader.errorText();
  return pass;
}

TEST(FileBytes, ReadAheadGivesWhatReadingTheFileGives) {
  const std::string big(200000, 'x');
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"crlf, lf, empty line, no last end", "a\r\nb\n\r\nlast"},
      {"cr alone and cr lf", "a\rb\r\nc\r"},
      {"overlong line", "a\r\n" + big + "\r\nb\r\n"},
      {"cr at a buffer's end", std::string(65535, 'y') + "\r\nz"},
      {"empty file", ""},
      {"only an end", "\r\n"},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::writeFile(dir.file("t"), c.bytes);
    LineReader fromFile(dir.file("t"), 8);
    FileBytes bytes = readFileBytes(dir.file("t"), 1 << 20);
    ASSERT_TRUE(bytes.held()) << c.name;
    EXPECT_TRUE(bytes.complete) << c.name;
    LineReader fromMemory(bytes, 8);
    EXPECT_EQ(readAll(fromMemory), readAll(fromFile)) << c.name;
  }
  // A folder and a missing file fail to open with the same text.
  for (const std::string& path : {dir.path(), dir.file("missing")}) {
    LineReader fromFile(path);
    FileBytes bytes = readFileBytes(path, 1 << 20);
    ASSERT_TRUE(bytes.held()) << path;
    LineReader fromMemory(bytes);
    const Pass pass = readAll(fromMemory);
    EXPECT_FALSE(pass.open) << path;
    EXPECT_FALSE(pass.error.empty()) << path;
    EXPECT_EQ(pass, readAll(fromFile)) << path;
  }
}

TEST(FileBytes, ALargeFileIsLeftToItsPathAndAReadErrorComesAfterTheBytesBeforeIt) {
  test::TempDir dir;
  test::writeFile(dir.file("t"), "0123456789\n");
  FileBytes large = readFileBytes(dir.file("t"), 10);
  EXPECT_FALSE(large.held());
  EXPECT_EQ(large.bytes, "");
  EXPECT_TRUE(readFileBytes(dir.file("t"), 11).held());

  // What a read that failed after two and a half lines left: the half line is not given.
  FileBytes broken{true, false, "a\r\nb\r\nc", "Input/output error"};
  LineReader reader(broken);
  EXPECT_EQ(readAll(reader), (Pass{true, {"a", "b"}, true, "Input/output error"}));
}

}  // namespace
}  // namespace tavrix::paths
