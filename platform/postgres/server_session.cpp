// Opening a database on a PostgreSQL server.
#include <libpq-fe.h>

#include <memory>

#include "platform/db.h"

namespace tavrix::db {

namespace {

struct ConnectionCloser {
  void operator()(PGconn* connection) const { PQfinish(connection); }
};

// libpq's reason, its first line: the rest repeats it or adds hints.
std::string firstLine(const char* message) {
  std::string text = message ? message : "";
  if (const auto end = text.find('\n'); end != std::string::npos) text.erase(end);
  return text;
}

}  // namespace

// A server that cannot be reached fails as a missing file does; callers name the database by its
// location's shown text, and libpq's reason names the server's address, never the password.
void Connection::openServer(const Location& location, OpenMode) {
  std::unique_ptr<PGconn, ConnectionCloser> server(PQconnectdb(location.connectionString().c_str()));
  if (PQstatus(server.get()) != CONNECTION_OK)
    throw DbError("cannot reach the server: " + firstLine(PQerrorMessage(server.get())), 0);
  throw DbError("this version cannot keep the inventory on a server yet", 0);
}

}  // namespace tavrix::db
