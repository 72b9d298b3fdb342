// Reading a text file line by line, with every kind of line end and a bound on a line's length.
#include "platform/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrix::paths {

namespace {

int openWithoutBlocking(const std::string& path, int flags) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | flags);
}

// A descriptor for reading path, or -1 with error set. Opened without blocking, so that a FIFO put
// in a file's place cannot hold the batch; only a regular file is read. Within its folder, a link
// is followed only to a file of that same folder.
int openForReading(const std::string& path, Links links, std::string& error, struct stat& st) {
  int fd = openWithoutBlocking(path, links == Links::WithinFolder ? O_NOFOLLOW : 0);
  if (fd < 0 && errno == ELOOP && links == Links::WithinFolder) {
    const std::string target = linkTargetWithinFolder(path);
    if (target.empty()) {
      error = kLinkLeadsOutside;
      return -1;
    }
    fd = openWithoutBlocking(target, O_NOFOLLOW);
  }
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

const char* const kGrew = "the file grew while it was read";

// Reads fd to its end into bytes, but no more than one byte past limit; the error text of a failed
// read, else "".
std::string readAll(int fd, std::string& bytes, std::size_t limit) {
  char chunk[65536];
  while (true) {
    ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n > 0) bytes.append(chunk, static_cast<std::size_t>(n));
    else if (n == 0) return {};
    else if (errno != EINTR) return std::strerror(errno);
    if (bytes.size() > limit) return kGrew;
  }
}

}  // namespace

FileBytes readFileBytes(const std::string& path, std::size_t maxBytes, Links links) {
  FileBytes file;
  struct stat st {};
  int fd = openForReading(path, links, file.error, st);
  if (fd < 0) return file;
  file.opened = true;
  file.identity = identityOf(st);
  if (static_cast<std::size_t>(st.st_size) <= maxBytes) {
    file.bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
    // A file still being written is left for the next run.
    file.error = readAll(fd, file.bytes, static_cast<std::size_t>(st.st_size));
    file.complete = file.error.empty();
  }
  ::close(fd);
  return file;
}

LineReader::LineReader(const std::string& path, std::size_t limit, Links links) : limit_(limit) {
  struct stat st {};
  fd_ = openForReading(path, links, error_, st);
  if (fd_ >= 0) {
    identity_ = identityOf(st);
    bytesLeft_ = static_cast<std::size_t>(st.st_size);
  }
}

LineReader::LineReader(const FileBytes& file, std::size_t limit) : limit_(limit) {
  if (file.opened) memory_ = &file;
  else error_ = file.error;
  identity_ = file.identity;
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
    if (n > 0 && static_cast<std::size_t>(n) > bytesLeft_) {
      failed_ = true;
      error_ = kGrew;
      return false;
    }
    if (n > 0) {
      bytesLeft_ -= static_cast<std::size_t>(n);
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
