// Rewrites the Jet SQL forms that the engines do not accept; any other text passes unchanged.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavrix::db {

// #yyyy/mm/dd hh:nn[:ss]# -> 'yyyy-mm-dd hh:nn:ss'; DELETE <fields> FROM -> DELETE FROM;
// DROP INDEX ix ON t -> DROP INDEX ix; the field names Group and User -> "Group", "User".
// Text inside '...' literals is left alone.
// With QuotedNames (a server, which folds bare names to lower case) every other name is quoted
// as written too, [name] becomes "name", and SQL's own words stay bare. Jet compares text without
// regard to case: for a server, a name that textColumn says is a text column, compared to one
// operand (=, <>, <, >, <=, >=, LIKE), becomes lower("name") op lower(operand).
enum class JetNames { AsWritten, QuotedNames };
std::string translateJet(std::string_view jetSql, JetNames names = JetNames::AsWritten,
                         const std::function<bool(std::string_view name)>& textColumn = {});

}  // namespace tavrix::db
