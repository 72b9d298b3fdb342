// Where a database lives: a file for the embedded engine, or a database on a PostgreSQL server.
// Everything that names, opens or keeps files beside a database takes this value.
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
  // A database on a server: libpq's connection string (without a password), and how messages
  // name it. Made by serverLocation (db.h), which checks the string.
  static Location server(std::string connectionString, std::string shown) {
    Location location;
    location.server_ = true;
    location.path_ = std::move(connectionString);
    location.shown_ = std::move(shown);
    return location;
  }

  bool empty() const { return path_.empty(); }
  bool isServer() const { return server_; }
  // A file other connections can open too.
  bool isSharedFile() const { return !server_ && !path_.empty() && path_ != ":memory:"; }
  // The file's path, for the engine that opens it; "" for a server.
  const std::string& filePath() const { return server_ ? kNone : path_; }
  // The server's connection string; "" for a file.
  const std::string& connectionString() const { return server_ ? path_ : kNone; }
  // A file kept beside the database under its name and suffix; none without a shared file.
  std::optional<std::string> besideFile(std::string_view suffix) const {
    if (!isSharedFile()) return std::nullopt;
    return path_ + std::string(suffix);
  }
  // How messages and the log name the database: the file's path, or the server's host, port and
  // database (never the rest of its connection string).
  const std::string& shown() const { return server_ ? shown_ : path_; }
  bool operator==(const Location&) const = default;

 private:
  static inline const std::string kNone;
  bool server_ = false;
  std::string path_;   // the file's path, or the server's connection string
  std::string shown_;  // a server's host:port/database
};

}  // namespace tavrix::db
