// File-system helpers: program folder, existence tests, listing by pattern, reading and writing files.
#pragma once

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

// Regular, non-hidden files of folder whose names match a wildcard pattern such as "*.csv"
// ("*" any run, "?" one character, compared without regard to ASCII case), sorted by name.
// Returns nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> listFiles(const std::string& folder, std::string_view pattern);
bool matchesPattern(std::string_view name, std::string_view pattern);

// Whole file as bytes; nullopt (with errorText set) when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::string* errorText = nullptr);
// Creates one folder; false with errorText on failure.
bool makeFolder(const std::string& path, std::string* errorText = nullptr);
// Copies, replacing the destination, through a short hidden name beside it (so any name within the
// file system's limit works); false with errorText on failure. With synced false the copy may
// still sit in the page cache: call syncFileSystem before relying on it.
bool copyFile(const std::string& from, const std::string& to, std::string* errorText = nullptr, bool synced = true);
// Moves a file to a name that must not exist yet: a rename on the same file system; across file
// systems a synced copy under a short hidden name beside the destination, renamed into place,
// then the original removed. False with errorText (the original stays) on failure.
bool moveFile(const std::string& from, const std::string& to, std::string* errorText = nullptr);
// Writes everything cached for the file system that holds path to disk.
void syncFileSystem(const std::string& path);

}  // namespace tavrix::paths
