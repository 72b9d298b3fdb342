// The search index of a server database: per searched table a trigram index (pg_trgm) over its
// rows' text fields joined into one text, folded for ASCII case as the search compares. The server
// keeps it with every row written, by anyone, so it never misses a write; a search asks it for the
// computers whose rows can hold a text, and checks every field of those rows by its own rule.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/db.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

// The condition "a row of table (named alias in the statement) has a text field holding the text
// whose pattern is ?parameter", in the form the index answers.
std::string serverTextsMatch(const SearchedTable& table, std::string_view alias, int parameter);

// The pattern for serverTextsMatch; none when part holds the character the fields are joined by.
std::optional<std::string> serverTextsPattern(std::string_view part);

// Makes the trigram extension and each table's index where missing, in the connection's open
// transaction; the number of indexes made. Throws db::DbError (a server without pg_trgm, a user
// who may not add it).
int createServerSearchIndexes(db::Connection& server);

}  // namespace tavrix::searchindex
