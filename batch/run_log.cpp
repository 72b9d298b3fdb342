// F_WRITE_LOG: the run log, one time-stamped line per call.
#include "batch/run_log.h"

#include <cstdio>
#include <string>

namespace tavrix {

void F_WRITE_LOG(const RunState& s, std::string_view message) {
  // Opened and closed per line, so the log is complete on disk even after an abrupt stop.
  std::string path = s.LOG_DIR + s.LOG_FILE;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return;
  std::string line = s.TheClock.now().logStamp();
  line += ' ';
  line.append(message);
  line += "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}

}  // namespace tavrix
