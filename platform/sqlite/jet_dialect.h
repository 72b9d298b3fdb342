// Rewrites the Jet SQL forms that SQLite does not accept; any other text passes unchanged.
#pragma once

#include <string>
#include <string_view>

namespace tavrix::db {

// #yyyy/mm/dd hh:nn[:ss]# -> 'yyyy-mm-dd hh:nn:ss'; DELETE <fields> FROM -> DELETE FROM;
// DROP INDEX ix ON t -> DROP INDEX ix; the field names Group and User -> "Group", "User".
// Text inside '...' literals is left alone.
std::string translateJet(std::string_view jetSql);

}  // namespace tavrix::db
