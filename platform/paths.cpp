// File-system helpers: program folder, existence tests, listing by pattern, reading and writing files.
#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavrix::paths {
namespace {

std::string systemError(int err) { return std::strerror(err); }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string programFolder() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return ".";
  std::string exe(buffer, static_cast<std::size_t>(n));
  std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string() : exe.substr(0, slash);
}

std::string toSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const std::string& path) { return unlink(path.c_str()) == 0; }

long long fileSize(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with one backtrack point for the last "*".
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::vector<std::string>> listFiles(const std::string& folder, std::string_view pattern) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.' || !matchesPattern(name, pattern)) continue;
    std::string full = folder;
    if (!full.empty() && full.back() != '/') full += '/';
    if (fileExists(full + name)) names.push_back(std::move(name));
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> readFile(const std::string& path, std::string* errorText) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errorText) *errorText = systemError(errno);
    return std::nullopt;
  }
  std::string data;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.append(buffer, n);
  bool bad = std::ferror(f);
  int err = errno;
  std::fclose(f);
  if (bad) {
    if (errorText) *errorText = systemError(err);
    return std::nullopt;
  }
  return data;
}

bool makeFolder(const std::string& path, std::string* errorText) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  if (errorText) *errorText = systemError(errno);
  return false;
}

bool copyFile(const std::string& from, const std::string& to, std::string* errorText, bool synced) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    if (errorText) *errorText = systemError(errno);
    return false;
  }
  // Written beside the destination first, then renamed over it, so a crash never leaves half a file.
  std::size_t slash = to.rfind('/');
  std::string temp = (slash == std::string::npos ? std::string() : to.substr(0, slash + 1)) + ".tavrix-" +
                     std::to_string(getpid()) + ".part";
  int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) {
    if (errorText) *errorText = systemError(errno);
    close(in);
    return false;
  }
  char buffer[65536];
  bool ok = true;
  int err = 0;
  while (true) {
    ssize_t n = read(in, buffer, sizeof(buffer));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      err = errno;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        ok = false;
        err = errno;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (ok && synced && fsync(out) != 0) { ok = false; err = errno; }
  if (close(out) != 0 && ok) { ok = false; err = errno; }
  close(in);
  if (ok && rename(temp.c_str(), to.c_str()) != 0) { ok = false; err = errno; }
  if (!ok) {
    unlink(temp.c_str());
    if (errorText) *errorText = systemError(err);
  }
  return ok;
}

bool moveFile(const std::string& from, const std::string& to, std::string* errorText) {
  if (access(to.c_str(), F_OK) == 0) {
    if (errorText) *errorText = systemError(EEXIST);
    return false;
  }
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) {
    if (errorText) *errorText = systemError(errno);
    return false;
  }
  if (!copyFile(from, to, errorText, true)) return false;
  if (unlink(from.c_str()) != 0) {
    int err = errno;
    unlink(to.c_str());  // one copy only: the original stays where it was
    if (errorText) *errorText = systemError(err);
    return false;
  }
  return true;
}

void syncFileSystem(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  syncfs(fd);
  close(fd);
}

}  // namespace tavrix::paths
