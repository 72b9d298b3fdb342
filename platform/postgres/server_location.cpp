// Reading a server's connection string: whether it is one, whether it hides a password, and the
// host, port and database that messages may name.
#include <libpq-fe.h>

#include <memory>

#include "platform/db.h"

namespace tavrix::db {

namespace {

struct OptionsFreer {
  void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsFreer>;

// The value an option of the string has, or else libpq's default for it (the environment's PG*
// variables included); "" when neither.
std::string valueOf(const PQconninfoOption* given, const PQconninfoOption* defaults, std::string_view keyword) {
  for (const PQconninfoOption* o = given; o && o->keyword; ++o)
    if (keyword == o->keyword && o->val && *o->val) return o->val;
  for (const PQconninfoOption* o = defaults; o && o->keyword; ++o)
    if (keyword == o->keyword && o->val && *o->val) return o->val;
  return "";
}

}  // namespace

bool namesServer(std::string_view text) {
  if (text.starts_with("postgresql://") || text.starts_with("postgres://")) return true;
  // key=value: a keyword of lower-case letters and "_" first (a path starts otherwise, or has none)
  std::size_t keyword = 0;
  while (keyword < text.size() && ((text[keyword] >= 'a' && text[keyword] <= 'z') || text[keyword] == '_')) ++keyword;
  std::size_t at = keyword;
  while (at < text.size() && text[at] == ' ') ++at;
  return keyword > 0 && at < text.size() && text[at] == '=';
}

std::optional<Location> serverLocation(const std::string& connectionString, ServerStringProblem& problem) {
  problem = ServerStringProblem::None;
  char* error = nullptr;
  Options given(PQconninfoParse(connectionString.c_str(), &error));
  PQfreemem(error);  // its text may quote the string, password and all: never shown
  if (!given) {
    problem = ServerStringProblem::Unreadable;
    return std::nullopt;
  }
  for (const PQconninfoOption* o = given.get(); o->keyword; ++o)
    if (std::string_view(o->keyword) == "password" && o->val && *o->val) {
      problem = ServerStringProblem::Password;
      return std::nullopt;
    }
  Options defaults(PQconndefaults());
  std::string host = valueOf(given.get(), defaults.get(), "host");
  if (host.empty()) host = valueOf(given.get(), defaults.get(), "hostaddr");
  if (host.empty()) host = "/var/run/postgresql";  // libpq's own socket folder
  std::string port = valueOf(given.get(), defaults.get(), "port");
  if (port.empty()) port = "5432";
  std::string database = valueOf(given.get(), defaults.get(), "dbname");
  if (database.empty()) database = valueOf(given.get(), defaults.get(), "user");
  return Location::server(connectionString, host + ":" + port + "/" + database);
}

}  // namespace tavrix::db
