// Fresh databases on the suite's server, made and dropped through libpq, and servers of a test's own.
#include "tests/support/server_database.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "tests/support/test_support.h"

namespace tavrix::test {

namespace {

std::string connectionTo(const std::string& database) {
  return "host=" + serverSocketFolder() + " user=postgres dbname=" + database;
}

struct ConnectionCloser {
  void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct ResultClearer {
  void operator()(PGresult* result) const { PQclear(result); }
};

std::vector<std::string> run(const std::string& database, const std::string& sql) {
  std::unique_ptr<PGconn, ConnectionCloser> connection(PQconnectdb(connectionTo(database).c_str()));
  if (PQstatus(connection.get()) != CONNECTION_OK)
    throw std::runtime_error("the test server does not answer: " + std::string(PQerrorMessage(connection.get())));
  std::unique_ptr<PGresult, ResultClearer> result(PQexec(connection.get(), sql.c_str()));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
    throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
  std::vector<std::string> rows;
  for (int r = 0; r < PQntuples(result.get()); ++r) {
    std::string row;
    for (int c = 0; c < PQnfields(result.get()); ++c)
      row += (c ? "|" : "") + std::string(PQgetisnull(result.get(), r, c) ? "<null>" : PQgetvalue(result.get(), r, c));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

std::string serverSocketFolder() {
  const char* folder = std::getenv("TAVRIX_PG_SOCKET");
  if (!folder || !*folder) throw std::runtime_error("TAVRIX_PG_SOCKET is not set: run the test through CTest");
  return folder;
}

ServerDatabase::ServerDatabase() {
  static std::atomic<int> made{0};
  name_ = "tavrix_" + std::to_string(::getpid()) + "_" + std::to_string(++made);
  run("postgres", "CREATE DATABASE " + name_ + " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C.UTF-8'");
}

ServerDatabase::~ServerDatabase() {
  try {
    run("postgres", "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
  } catch (const std::exception&) {
    // a server already stopped takes its databases with it
  }
}

std::string ServerDatabase::connectionString() const { return connectionTo(name_); }

std::vector<std::string> ServerDatabase::rows(const std::string& sql) const { return run(name_, sql); }

OwnServer::OwnServer(std::string folder) : folder_(std::move(folder)) {
  // As root the server runs as the postgres user, who must reach the folder through its parents.
  namespace fs = std::filesystem;
  for (fs::path up = fs::path(folder_).parent_path(); up.has_relative_path(); up = up.parent_path()) {
    if ((fs::status(up).permissions() & fs::perms::others_exec) == fs::perms::none)
      fs::permissions(up, fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
  }
  script("start");
}

OwnServer::~OwnServer() {
  try {
    script("stop");
  } catch (const std::exception&) {
    // the folder goes with the test's temporary folder
  }
}

std::string OwnServer::connectionString() const { return "host=" + folder_ + " user=postgres dbname=postgres"; }

void OwnServer::restart() { script("restart"); }

void OwnServer::script(const std::string& action) const {
  const std::string command = "bash '" + sourceDir() + "/tools/pg-test-server.sh' " + action + " '" + folder_ + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace tavrix::test
