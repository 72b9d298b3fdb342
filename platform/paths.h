// File-system helpers: program folder, existence tests, listing by pattern, reading and writing files.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix::paths {

// Folder of the running executable, without a trailing "/".
std::string programFolder();

// A folder setting brought from Windows: every "\" becomes "/".
std::string toSlashes(std::string_view path);

bool fileExists(const std::string& path);       // regular files only
bool directoryExists(const std::string& path);  // a trailing "/" is allowed
bool removeFile(const std::string& path);
// Size in bytes of a regular file; -1 when it is missing or no regular file.
long long fileSize(const std::string& path);

// What tells one file from another under the same name: the same inode, size and times mean the
// file was not replaced or written since.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  long long size = -1;  // -1: unknown
  timespec modified{}, changed{};
  bool known() const { return size >= 0; }
  bool operator==(const FileIdentity& o) const;
  bool operator!=(const FileIdentity& o) const { return !(*this == o); }
  // The same file with the same contents, its change time aside (a rename sets that).
  bool sameWrite(const FileIdentity& o) const;
};
FileIdentity identityOf(const struct stat& st);
// The identity of the file path names (links followed, as an open does, unless told not to);
// unknown when nothing is there.
FileIdentity identityOf(const std::string& path, bool followLinks = true);
// Something (a file, a folder, a link even if dangling) has this name.
bool entryExists(const std::string& path);
bool isLink(const std::string& path);
// The real path of the file that path leads to (through links), when that file lies in path's own
// folder; "" when it lies elsewhere or nowhere.
std::string linkTargetWithinFolder(const std::string& path);
extern const char* const kLinkLeadsOutside;  // why such a link is neither listed nor read

// A name that matched a listing's pattern but is not listed, and why.
struct SkippedEntry {
  std::string name;
  std::string reason;
};
struct Listing {
  std::vector<std::string> names;     // sorted by name
  std::vector<SkippedEntry> skipped;  // sorted by name
};
// The non-hidden names of folder that match a wildcard pattern: regular files (or links to
// regular files) listed, the rest skipped with their reason. With linksInside, a link to a file
// in another folder is skipped too. Nullopt when the folder cannot be listed.
std::optional<Listing> listFolder(const std::string& folder, std::string_view pattern, bool linksInside);

// Regular, non-hidden files of folder whose names match a wildcard pattern such as "*.csv"
// ("*" any run, "?" one character, compared without regard to ASCII case), sorted by name.
// Returns nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> listFiles(const std::string& folder, std::string_view pattern);
bool matchesPattern(std::string_view name, std::string_view pattern);

// Whole file as bytes; nullopt (with errorText set) when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::string* errorText = nullptr);
// Writes bytes as the whole file (made the group's, synced); false when it cannot.
bool writeFile(const std::string& path, std::string_view bytes);
// Creates one folder; false with errorText on failure.
bool makeFolder(const std::string& path, std::string* errorText = nullptr);
// Copies, replacing the destination, through a short hidden name beside it (so any name within the
// file system's limit works); false with errorText on failure. With synced false the copy may
// still sit in the page cache: call syncFileSystem before relying on it.
bool copyFile(const std::string& from, const std::string& to, std::string* errorText = nullptr, bool synced = true);
// What the batch makes is its group's to write and nobody else's to read, whatever the umask of
// the user who runs it: folders rwxrws--- (files made in them take the folder's group), files
// rw-rw---- (SQLite gives a database's -wal and -shm files the database file's mode).
constexpr mode_t kGroupFolderMode = 02770;
constexpr mode_t kGroupFileMode = 0660;
// Gives path (a folder or a file this user owns) those modes; a path that cannot be changed keeps its own.
void shareWithGroup(const std::string& path);

// Moves a file to a name that must not exist yet: a rename on the same file system; across file
// systems a synced copy under a short hidden name beside the destination, renamed into place,
// then the original removed. False with errorText (the original stays) on failure.
// With expected known, only that file is moved: one replaced or written since (another inode, size
// or modification time) stays, and the result is false with *replaced set.
bool moveFile(const std::string& from, const std::string& to, std::string* errorText = nullptr,
              const FileIdentity* expected = nullptr, bool* replaced = nullptr);
// What flushes a copy's data to disk (fsync); tests stand in one that fails. Returns the one before;
// nullptr restores fsync.
using FileSync = int (*)(int fd);
FileSync setFileSync(FileSync sync);
// Writes everything cached for the file system that holds path to disk.
void syncFileSystem(const std::string& path);

}  // namespace tavrix::paths
