// File-system helpers: program folder, existence tests, listing by pattern, reading and writing files.
#pragma once

#include <cstdio>
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

// Regular, non-hidden files of folder whose names match a wildcard pattern such as "*.csv"
// ("*" any run, "?" one character, compared without regard to ASCII case), sorted by name.
// Returns nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> listFiles(const std::string& folder, std::string_view pattern);
bool matchesPattern(std::string_view name, std::string_view pattern);

// Whole file as bytes; nullopt (with errorText set) when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::string* errorText = nullptr);
// Creates one folder; false with errorText on failure.
bool makeFolder(const std::string& path, std::string* errorText = nullptr);
// Copies, replacing the destination; false with errorText on failure. With synced false the copy
// may still sit in the page cache: call syncFileSystem before relying on it.
bool copyFile(const std::string& from, const std::string& to, std::string* errorText = nullptr, bool synced = true);
// Writes everything cached for the file system that holds path to disk.
void syncFileSystem(const std::string& path);

// Reads a text file line by line; CR LF and LF both end a line; the last line may lack its end.
class LineReader {
 public:
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  bool isOpen() const { return file_ != nullptr; }
  const std::string& errorText() const { return error_; }
  // Next line without its end, as raw bytes; false at the end of the file or on a read error.
  bool next(std::string& line);
  bool failed() const { return failed_; }

 private:
  std::FILE* file_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  std::string error_;
  bool failed_ = false;
};

}  // namespace tavrix::paths
