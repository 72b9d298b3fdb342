// File-system helpers: program folder, existence tests, listing by pattern, reading and writing files.
#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/text.h"

namespace tavrix::paths {
namespace {

std::string systemError(int err) { return std::strerror(err); }


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
    if (p < pattern.size() && (pattern[p] == '?' || text::lowerAscii(pattern[p]) == text::lowerAscii(name[n]))) {
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

bool FileIdentity::sameWrite(const FileIdentity& o) const {
  return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
         modified.tv_nsec == o.modified.tv_nsec;
}

bool FileIdentity::operator==(const FileIdentity& o) const {
  return sameWrite(o) && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
}

FileIdentity identityOf(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = static_cast<long long>(st.st_size);
  id.modified = st.st_mtim;
  id.changed = st.st_ctim;
  return id;
}

FileIdentity identityOf(const std::string& path, bool followLinks) {
  struct stat st {};
  if (path.empty() || (followLinks ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return {};
  return identityOf(st);
}

bool entryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool isLink(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  struct stat st {};
  return !name.empty() && lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

namespace {

std::string realPath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string out = real;
  std::free(real);
  return out;
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Why the entry full is not a file to list, or "" when it is one.
std::string skipReason(const std::string& full, bool linksInside) {
  struct stat link {}, st {};
  if (lstat(full.c_str(), &link) != 0) return "vanished";
  if (stat(full.c_str(), &st) != 0) return S_ISLNK(link.st_mode) ? "dangling link" : "vanished";
  if (S_ISDIR(st.st_mode)) return "folder";
  if (S_ISFIFO(st.st_mode)) return "FIFO";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "device";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  if (linksInside && S_ISLNK(link.st_mode) && linkTargetWithinFolder(full).empty()) return kLinkLeadsOutside;
  return {};
}

}  // namespace

const char* const kLinkLeadsOutside = "link to a file outside the folder";

std::string linkTargetWithinFolder(const std::string& path) {
  const std::string target = realPath(path), folder = realPath(folderOf(path));
  return !target.empty() && !folder.empty() && folderOf(target) == folder ? target : std::string();
}

std::optional<Listing> listFolder(const std::string& folder, std::string_view pattern, bool linksInside) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  Listing listing;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.' || !matchesPattern(name, pattern)) continue;
    std::string full = folder;
    if (!full.empty() && full.back() != '/') full += '/';
    std::string reason = skipReason(full + name, linksInside);
    if (reason.empty()) listing.names.push_back(std::move(name));
    else if (reason != "vanished") listing.skipped.push_back({std::move(name), std::move(reason)});
  }
  closedir(dir);
  std::sort(listing.names.begin(), listing.names.end());
  std::sort(listing.skipped.begin(), listing.skipped.end(),
            [](const SkippedEntry& a, const SkippedEntry& b) { return a.name < b.name; });
  return listing;
}

std::optional<std::vector<std::string>> listFiles(const std::string& folder, std::string_view pattern) {
  auto listing = listFolder(folder, pattern, false);
  if (!listing) return std::nullopt;
  return std::move(listing->names);
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

namespace {
FileSync currentFileSync = ::fsync;
}  // namespace

bool writeFile(const std::string& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kGroupFileMode);
  if (fd < 0) return false;
  fchmod(fd, kGroupFileMode);
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = currentFileSync(fd) == 0 && ok;
  return close(fd) == 0 && ok;
}

void shareWithGroup(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return;
  chmod(path.c_str(), S_ISDIR(st.st_mode) ? kGroupFolderMode : kGroupFileMode);
}

bool makeFolder(const std::string& path, std::string* errorText) {
  if (mkdir(path.c_str(), kGroupFolderMode) == 0) {
    chmod(path.c_str(), kGroupFolderMode);  // whatever the umask, and setgid, which mkdir may drop
    return true;
  }
  if (errorText) *errorText = systemError(errno);
  return false;
}

FileSync setFileSync(FileSync sync) { return std::exchange(currentFileSync, sync ? sync : ::fsync); }

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
  int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kGroupFileMode);
  if (out < 0) {
    if (errorText) *errorText = systemError(errno);
    close(in);
    return false;
  }
  fchmod(out, kGroupFileMode);
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
  if (ok && synced && currentFileSync(out) != 0) { ok = false; err = errno; }
  if (close(out) != 0 && ok) { ok = false; err = errno; }
  close(in);
  if (ok && rename(temp.c_str(), to.c_str()) != 0) { ok = false; err = errno; }
  if (!ok) {
    unlink(temp.c_str());
    if (errorText) *errorText = systemError(err);
  }
  return ok;
}

namespace {

const char* const kReplaced = "replaced or written after it was read";

// Puts a file moved by mistake back under its name, unless a newer one took that name meanwhile.
void moveBack(const std::string& to, const std::string& from) {
  if (renameat2(AT_FDCWD, to.c_str(), AT_FDCWD, from.c_str(), RENAME_NOREPLACE) != 0 && errno == EINVAL &&
      access(from.c_str(), F_OK) != 0)
    rename(to.c_str(), from.c_str());
}

// True (with errorText and *replaced set) when path no longer leads to the file expected.
bool replacedMeanwhile(const std::string& path, const FileIdentity* expected, bool* replaced, std::string* errorText) {
  if (!expected || !expected->known() || identityOf(path).sameWrite(*expected)) return false;
  if (replaced) *replaced = true;
  if (errorText) *errorText = kReplaced;
  return true;
}

}  // namespace

bool moveFile(const std::string& from, const std::string& to, std::string* errorText, const FileIdentity* expected,
              bool* replaced) {
  if (replaced) *replaced = false;
  if (access(to.c_str(), F_OK) == 0) {
    if (errorText) *errorText = systemError(EEXIST);
    return false;
  }
  const FileIdentity entry = identityOf(from, false);  // the name itself (a link stays a link)
  if (replacedMeanwhile(from, expected, replaced, errorText)) return false;
  if (rename(from.c_str(), to.c_str()) == 0) {
    // A new file may have taken the name just before the rename: what moved is checked.
    if (!expected || identityOf(to, false).sameWrite(entry)) return true;
    if (replaced) *replaced = true;
    if (errorText) *errorText = kReplaced;
    moveBack(to, from);
    return false;
  }
  if (errno != EXDEV) {
    if (errorText) *errorText = systemError(errno);
    return false;
  }
  if (!copyFile(from, to, errorText, true)) return false;
  if (replacedMeanwhile(from, expected, replaced, errorText)) {
    unlink(to.c_str());
    return false;
  }
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
