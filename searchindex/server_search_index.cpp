// The server's trigram indexes: one expression per table, written once for the index and its question.
#include "searchindex/server_search_index.h"

#include "platform/text.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix::searchindex {

namespace {

constexpr char kJoiner = '\x01';  // between two fields: a LIKE pattern without it matches within one

// lower() under the "C" collation folds ASCII letters only, as the search's rule does.
std::string joinedTexts(const SearchedTable& table, std::string_view alias) {
  std::string joined;
  for (const std::string& field : table.textFields) {
    if (!joined.empty()) joined += " || chr(1) || ";
    joined += "coalesce(" + std::string(alias) + (alias.empty() ? "" : ".") + db::quoteIdentifier(field) + ", '')";
  }
  return "lower((" + joined + ") COLLATE \"C\")";
}

}  // namespace

std::string serverTextsMatch(const SearchedTable& table, std::string_view alias, int parameter) {
  return joinedTexts(table, alias) + " LIKE ?" + std::to_string(parameter) + " ESCAPE '\\'";
}

std::optional<std::string> serverTextsPattern(std::string_view part) {
  if (part.find(kJoiner) != std::string_view::npos) return std::nullopt;
  std::string pattern = queries::containsPattern(part);
  for (char& c : pattern)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return pattern;
}

int createServerSearchIndexes(db::Connection& server) {
  server.executeNative("CREATE EXTENSION IF NOT EXISTS pg_trgm");
  int made = 0;
  for (const SearchedTable& table : searchedTables(server)) {
    const std::string name = "TavrixSearch_" + table.name;
    if (queries::readNumber(server, "SELECT count(*) FROM pg_indexes WHERE indexname = ?1", {db::Value(name)}) > 0) continue;
    server.executeNative(server.translateJet("CREATE INDEX " + name + " ON " + db::quoteIdentifier(table.name) + " USING gin (" +
                                             joinedTexts(table, "") + " gin_trgm_ops)"));
    ++made;
  }
  return made;
}

}  // namespace tavrix::searchindex
