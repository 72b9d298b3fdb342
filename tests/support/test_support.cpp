// Test helpers: temporary folders, files with CP932 bytes, run-log reading.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "platform/text.h"

namespace tavrix::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavrix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may have taken write permission away; give it back so everything can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

void writeFile(const std::string& path, std::string_view bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string cp932(std::string_view utf8) { return text::utf8ToCp932(utf8); }

void writeInventory(const std::string& folder, const Inventory& inv) {
  std::string body = "0,1,Quillo,x,2.1," + inv.createDate + "\r\n1,1,コンピュータ名," + inv.computerName +
                     "\r\n1,2,ユーザ名," + inv.userName + "\r\n1,3,ＯＳ," + inv.osName + ",500\r\n";
  for (const std::string& line : inv.moreLines) body += line + "\r\n";
  writeFile(folder + "/" + inv.fileName, cp932(body));
}

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> logMessages(const std::string& path) {
  std::vector<std::string> messages;
  for (const auto& line : readLines(path)) {
    static const std::regex stamp("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} ");
    EXPECT_TRUE(std::regex_match(line.substr(0, 20), stamp)) << "log line without time stamp: " << line;
    messages.push_back(line.size() >= 20 ? line.substr(20) : line);
  }
  return messages;
}

void writeProgramIni(const std::string& folder, const std::string& runMode, const std::string& dstrb) {
  writeFile(folder + "/Tavrix.ini",
            "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=Tavrix.mdb\r\n"
            "CSV_DIR=*\\csv\r\nDSTRB_DIR=" + dstrb + "\r\nRUNMODE=" + runMode + "\r\nCSV_SAVE_DIR=*\\save\r\n");
}

std::string sourceDir() {
  const char* d = std::getenv("TAVRIX_SOURCE_DIR");
  return d ? d : ".";
}

std::string binaryDir() {
  const char* d = std::getenv("TAVRIX_BINARY_DIR");
  return d ? d : ".";
}

ProgramRun runProgram(const TempDir& scratch, const std::string& command) {
  const std::string out = scratch.file("program.out"), err = scratch.file("program.err");
  const int raw = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

ChildRun runBounded(const std::function<int()>& body, unsigned seconds, unsigned long long addressSpace) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGALRM, SIG_DFL);
    alarm(seconds);
    if (!kAddressSanitizer) {
      rlimit limit{addressSpace, addressSpace};
      setrlimit(RLIMIT_AS, &limit);
    }
    int status = 125;
    try {
      status = body();
    } catch (...) {
    }
    _exit(status);
  }
  ChildRun run;
  int raw = 0;
  if (child < 0 || waitpid(child, &raw, 0) != child) return run;
  if (WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) run.signal = WTERMSIG(raw);
  return run;
}

}  // namespace tavrix::test
