// Reading a text file line by line, with every kind of line end and a bound on a line's length.
#include "platform/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrix::paths {

namespace {

// A descriptor for reading path, or -1 with error set; a folder is refused.
int openForReading(const std::string& path, std::string& error, struct stat& st) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    error = std::strerror(EISDIR);
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads fd to its end into bytes; the error text of a failed read, else "".
std::string readAll(int fd, std::string& bytes) {
  char chunk[65536];
  while (true) {
    ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n > 0) bytes.append(chunk, static_cast<std::size_t>(n));
    else if (n == 0) return {};
    else if (errno != EINTR) return std::strerror(errno);
  }
}

}  // namespace

FileBytes readFileBytes(const std::string& path, std::size_t maxBytes) {
  FileBytes file;
  struct stat st {};
  int fd = openForReading(path, file.error, st);
  if (fd < 0) return file;
  file.opened = true;
  if (st.st_size >= 0 && static_cast<std::size_t>(st.st_size) <= maxBytes) {
    file.bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
    file.error = readAll(fd, file.bytes);
    // A file that grew while read past the bound is read again from its path at its turn.
    file.complete = file.error.empty() && file.bytes.size() <= maxBytes;
    if (!file.complete && file.error.empty()) file.bytes = std::string();
  }
  ::close(fd);
  return file;
}

LineReader::LineReader(const std::string& path, std::size_t limit) : limit_(limit) {
  struct stat st {};
  fd_ = openForReading(path, error_, st);
}

LineReader::LineReader(const FileBytes& file, std::size_t limit) : limit_(limit) {
  if (file.opened) memory_ = &file;
  else error_ = file.error;
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

// Gives all the bytes read ahead at once, then their read error or the end.
bool LineReader::fillFromMemory() {
  if (!memoryGiven_ && !memory_->bytes.empty()) {
    memoryGiven_ = true;
    data_ = memory_->bytes.data();
    pos_ = 0;
    end_ = memory_->bytes.size();
    return true;
  }
  if (!memory_->error.empty()) {
    failed_ = true;
    error_ = memory_->error;
  } else {
    eof_ = true;
  }
  return false;
}

// Refills the buffer; false at the end of the file or on a read error.
bool LineReader::fill() {
  if (eof_ || failed_) return false;
  if (memory_) return fillFromMemory();
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
  if (!isOpen()) return false;
  bool any = false;
  while (true) {
    if (pos_ == end_ && !fill()) {
      if (failed_) return false;
      if (!any) return false;
      break;  // the last line has no end
    }
    if (skipLf_) {
      skipLf_ = false;
      if (data_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    any = true;
    const char* start = data_ + pos_;
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
