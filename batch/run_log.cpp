// F_WRITE_LOG: the run log, one time-stamped line per call.
#include "batch/run_log.h"

#include <cstdio>
#include <string>

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
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return;
  std::string line = s.TheClock.now().logStamp();
  line += ' ';
  appendEscaped(line, message);
  line += "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}

}  // namespace tavrix
