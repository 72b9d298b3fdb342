// Reading a text file line by line, with every kind of line end and a bound on a line's length.
#pragma once

#include <cstddef>
#include <string>

#include "platform/paths.h"

namespace tavrix::paths {

// How a file named through a link is opened: Follow as any open does; WithinFolder only when the
// link leads to a file of its own folder (an inventory folder's files stay its own).
enum class Links { Follow, WithinFolder };

// A file's bytes read into memory ahead of their use, for a LineReader to read later as it would
// read the file.
struct FileBytes {
  bool opened = false;
  bool complete = false;  // read to its end without error; false also when larger than asked for
  std::string bytes;      // what was read, up to a read error
  std::string error;      // why the file could not be opened or read on; "" otherwise
  FileIdentity identity;  // of the file as opened
  // A LineReader can read it from memory; else the file was too large and is read from its path.
  bool held() const { return !opened || complete || !error.empty(); }
};
// Reads the whole file when it holds at most maxBytes; a larger file is left unread (opened, not
// complete, no error) for a LineReader on its path. Only a regular file is opened, and never more
// is read than its size when opened: a file that grows meanwhile fails.
FileBytes readFileBytes(const std::string& path, std::size_t maxBytes, Links links = Links::Follow);

// CR LF, LF alone and CR alone each end a line; the last line may lack its end. A line longer
// than the limit is not kept: next() gives it empty with tooLong() set, having read past it, so
// memory never depends on the length of one line.
class LineReader {
 public:
  static constexpr std::size_t kDefaultLimit = 1024 * 1024;

  explicit LineReader(const std::string& path, std::size_t limit = kDefaultLimit, Links links = Links::Follow);
  // Reads the bytes of a file read ahead (which must outlive the reader): the same lines, the same
  // open failure, and a read error once the bytes read before it are used up.
  explicit LineReader(const FileBytes& file, std::size_t limit = kDefaultLimit);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool isOpen() const { return fd_ >= 0 || memory_ != nullptr; }
  // The file as it was opened: what was read came from it.
  const FileIdentity& identity() const { return identity_; }
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
  bool fillFromMemory();
  int fd_ = -1;
  const FileBytes* memory_ = nullptr;  // the bytes read ahead, when reading from memory
  std::size_t limit_;
  FileIdentity identity_;
  std::size_t bytesLeft_ = 0;  // what the file held when opened, less what was read
  const char* data_ = buffer_;  // buffer_, or the bytes read ahead
  bool memoryGiven_ = false;
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
