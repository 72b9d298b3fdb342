// Where a database lives: a file for the embedded engine. Everything that names, opens or keeps files
// beside a database takes this value, so a database that is not a file needs no change in its callers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrix::db {

class Location {
 public:
  Location() = default;
  // A database file (":memory:" is SQLite's database without a file).
  Location(std::string path) : path_(std::move(path)) {}  // NOLINT: a path is a location
  Location(const char* path) : path_(path) {}              // NOLINT

  bool empty() const { return path_.empty(); }
  // A file other connections can open too.
  bool isSharedFile() const { return !path_.empty() && path_ != ":memory:"; }
  // The file's path, for the engine that opens it.
  const std::string& filePath() const { return path_; }
  // A file kept beside the database under its name and suffix; none without a shared file.
  std::optional<std::string> besideFile(std::string_view suffix) const {
    if (!isSharedFile()) return std::nullopt;
    return path_ + std::string(suffix);
  }
  // How messages and the log name the database.
  const std::string& shown() const { return path_; }
  bool operator==(const Location&) const = default;

 private:
  std::string path_;
};

}  // namespace tavrix::db
