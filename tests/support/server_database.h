// A database of its own on the test suite's PostgreSQL server (tools/pg-test-server.sh, started by
// CTest before the tests that need it and stopped after them).
#pragma once

#include <string>
#include <vector>

namespace tavrix::test {

// The folder of the suite's server socket (TAVRIX_PG_SOCKET, set by CTest); throws when unset.
std::string serverSocketFolder();

// A fresh, empty database (UTF-8, collation C, character classes C.UTF-8), dropped when it goes.
class ServerDatabase {
 public:
  ServerDatabase();  // throws std::runtime_error when the server does not answer
  ~ServerDatabase();
  ServerDatabase(const ServerDatabase&) = delete;
  ServerDatabase& operator=(const ServerDatabase&) = delete;

  const std::string& name() const { return name_; }
  // libpq's key=value form: the socket folder, the superuser and this database.
  std::string connectionString() const;
  // Runs sql on the database and returns each row's fields joined by "|" (NULL as "<null>").
  std::vector<std::string> rows(const std::string& sql) const;

 private:
  std::string name_;
};

// A PostgreSQL server of a test's own in folder (tools/pg-test-server.sh), for a test that restarts
// or starves it; stopped and removed when it goes. The folder's path must be short (a socket's is).
class OwnServer {
 public:
  explicit OwnServer(std::string folder);  // throws std::runtime_error when it does not start
  ~OwnServer();
  OwnServer(const OwnServer&) = delete;
  OwnServer& operator=(const OwnServer&) = delete;

  // Its postgres database, as the superuser.
  std::string connectionString() const;
  // A fast restart: every session ends, the server answers again when it returns.
  void restart();

 private:
  void script(const std::string& action) const;
  std::string folder_;
};

}  // namespace tavrix::test
