// F_WRITE_LOG: the run log, one time-stamped line per call.
#include "batch/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/paths.h"

namespace tavrix {
namespace {

// Control characters (a newline in a file name) would break the one-line-per-event log.
void appendEscaped(std::string& line, std::string_view message) {
  static const char* const hex = "0123456789ABCDEF";
  for (char c : message) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7F) {
      line += c;
    } else if (c == '\t') {
      line += c;
    } else {
      line += "\\x";
      line += hex[u >> 4];
      line += hex[u & 15];
    }
  }
}

}  // namespace

void F_WRITE_LOG(const RunState& s, std::string_view message) {
  // Opened and closed per line, so the log is complete on disk even after an abrupt stop.
  std::string path = s.LOG_DIR + s.LOG_FILE;
  // A new log is the group's to write, whoever of it runs the batch first.
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, paths::kGroupFileMode);
  if (fd >= 0) fchmod(fd, paths::kGroupFileMode);
  else fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return;
  std::string line = s.TheClock.now().logStamp();
  line += ' ';
  appendEscaped(line, message);
  line += "\r\n";
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace tavrix
