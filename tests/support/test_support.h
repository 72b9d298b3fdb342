// Test helpers: temporary folders, files with CP932 bytes, run-log reading.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix::test {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;

 private:
  std::string path_;
};

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
// UTF-8 text written as CP932 bytes.
std::string cp932(std::string_view utf8);
// One inventory CSV: the header line (no date when createDate is empty), the name, user and OS lines, more lines.
struct Inventory {
  std::string fileName, createDate, computerName, userName, osName;
  std::vector<std::string> moreLines = {};  // detail lines, UTF-8, without their ends
};
// Writes it into folder as CP932 with CR LF.
void writeInventory(const std::string& folder, const Inventory& inv);
// Lines of a text file without their ends.
std::vector<std::string> readLines(const std::string& path);
// Names in a folder, sorted; none when it is missing.
std::vector<std::string> folderNames(const std::string& folder);
// The messages of a run log: each line's "yyyy/mm/dd hh:mm:ss " stamp checked and removed.
std::vector<std::string> logMessages(const std::string& path);
// Tavrix.ini in folder with every other folder under it ("*\\log", "*\\db", ...) and the scripts in dstrb.
void writeProgramIni(const std::string& folder, const std::string& runMode, const std::string& dstrb);
// Source and build folders (set by CTest), for the delivered scripts and the built programs.
std::string sourceDir();
std::string binaryDir();

// A finished program: its exit status (-1 when it did not exit), standard output and standard error.
struct ProgramRun {
  int status = -1;
  std::string out, err;
};
// Runs a shell command line, its output caught in files of scratch.
ProgramRun runProgram(const TempDir& scratch, const std::string& command);

// How a child run ended: its exit status, or the signal that ended it (SIGALRM when it ran out of time).
struct ChildRun {
  int status = -1;  // -1 when it did not exit
  int signal = 0;
};
// Runs body in a forked child whose result is its exit status, under a time limit (seconds) and an
// address-space limit (bytes; left off under AddressSanitizer, whose shadow memory needs more), so
// that a run that would hang or grow without end fails fast instead.
ChildRun runBounded(const std::function<int()>& body, unsigned seconds = 60,
                    unsigned long long addressSpace = 2ULL << 30);

}  // namespace tavrix::test
