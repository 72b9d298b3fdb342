// Rewrites the Jet SQL forms that the engines do not accept; any other text passes unchanged.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavrix::db {

// #yyyy/mm/dd hh:nn[:ss]# -> 'yyyy-mm-dd hh:nn:ss'; DELETE <fields> FROM -> DELETE FROM;
// DROP INDEX ix ON t -> DROP INDEX ix; the field names Group and User -> "Group", "User".
// Text inside '...' literals is left alone.
// With QuotedNames (a server, which folds bare names to lower case and compares quoted ones
// exactly) every other name is quoted as the server's catalogue spells it, [name] becomes "name",
// and SQL's own words stay bare. Text compares without regard to ASCII case, as in Jet and in the
// file's NOCASE columns: a text column compared to one operand (=, <>, <, >, <=, >=, LIKE, IS ?)
// becomes lower("name") op lower(operand), "x COLLATE NOCASE" lower(x), and a text column in an
// ORDER BY list lower("name"), "name".
enum class JetNames { AsWritten, QuotedNames };
// What a server's catalogue says of a name: its spelling, and whether it is a text column.
struct ServerName {
  std::string spelling;
  bool text = false;
};
using ServerNames = std::function<std::optional<ServerName>(std::string_view name)>;
std::string translateJet(std::string_view jetSql, JetNames names = JetNames::AsWritten, const ServerNames& known = {});

}  // namespace tavrix::db
