// Reading a text file line by line, with every kind of line end and a bound on a line's length.
#include "platform/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrix::paths {

LineReader::LineReader(const std::string& path, std::size_t limit) : limit_(limit) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = std::strerror(errno);
    return;
  }
  struct stat st {};
  if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    error_ = std::strerror(EISDIR);
    ::close(fd_);
    fd_ = -1;
  }
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

// Refills the buffer; false at the end of the file or on a read error.
bool LineReader::fill() {
  if (eof_ || failed_) return false;
  while (true) {
    ssize_t n = ::read(fd_, buffer_, sizeof(buffer_));
    if (n > 0) {
      pos_ = 0;
      end_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    failed_ = true;
    error_ = std::strerror(errno);
    return false;
  }
}

bool LineReader::next(std::string& line) {
  line.clear();
  tooLong_ = false;
  if (fd_ < 0) return false;
  bool any = false;
  while (true) {
    if (pos_ == end_ && !fill()) {
      if (failed_) return false;
      if (!any) return false;
      break;  // the last line has no end
    }
    if (skipLf_) {
      skipLf_ = false;
      if (buffer_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    any = true;
    const char* start = buffer_ + pos_;
    std::size_t avail = end_ - pos_;
    const char* stop = static_cast<const char*>(std::memchr(start, '\n', avail));
    if (const char* cr = static_cast<const char*>(std::memchr(start, '\r', stop ? stop - start : avail))) stop = cr;
    std::size_t take = stop ? static_cast<std::size_t>(stop - start) : avail;
    if (!tooLong_ && line.size() + take > limit_) {
      tooLong_ = true;
      line.clear();
      line.shrink_to_fit();
    }
    if (!tooLong_) line.append(start, take);
    pos_ += take;
    if (stop) {
      skipLf_ = *stop == '\r';
      ++pos_;
      break;
    }
  }
  ++lineNumber_;
  return true;
}

}  // namespace tavrix::paths
