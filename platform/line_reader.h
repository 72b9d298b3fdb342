// Reading a text file line by line, with every kind of line end and a bound on a line's length.
#pragma once

#include <cstddef>
#include <string>

namespace tavrix::paths {

// CR LF, LF alone and CR alone each end a line; the last line may lack its end. A line longer
// than the limit is not kept: next() gives it empty with tooLong() set, having read past it, so
// memory never depends on the length of one line.
class LineReader {
 public:
  static constexpr std::size_t kDefaultLimit = 1024 * 1024;

  explicit LineReader(const std::string& path, std::size_t limit = kDefaultLimit);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  const std::string& errorText() const { return error_; }
  // Next line without its end, as raw bytes; false at the end of the file or on a read error.
  bool next(std::string& line);
  bool failed() const { return failed_; }
  // The line that next() gave last was longer than the limit and is given empty.
  bool tooLong() const { return tooLong_; }
  // Number of the line that next() gave last, counted from 1.
  long lineNumber() const { return lineNumber_; }

 private:
  bool fill();
  int fd_ = -1;
  std::size_t limit_;
  char buffer_[65536];
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  bool skipLf_ = false;  // the last line ended with CR: a LF right after it belongs to that end
  bool failed_ = false;
  bool tooLong_ = false;
  long lineNumber_ = 0;
  std::string error_;
};

}  // namespace tavrix::paths
