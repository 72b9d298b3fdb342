// Fresh databases on the suite's server, made and dropped through libpq.
#include "tests/support/server_database.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <stdexcept>

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

}  // namespace tavrix::test
