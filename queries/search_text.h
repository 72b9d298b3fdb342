// What a search looks for: a text in every text field, or only in one table's fields, as a part of
// a value or as the whole value. ASCII letter case is ignored either way.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tavrix::queries {

struct SearchText {
  // A plain text is the usual search.
  SearchText(std::string text) : text(std::move(text)) {}  // NOLINT(google-explicit-constructor)
  SearchText(const char* text) : text(text) {}             // NOLINT(google-explicit-constructor)
  SearchText(std::string text, bool wholeValue, std::string table)
      : text(std::move(text)), wholeValue(wholeValue), table(std::move(table)) {}

  std::string text;
  bool wholeValue = false;  // 192.168.55.1 then finds that value, not 192.168.55.100
  std::string table;        // the one table searched, as searchedTables names it; "" = every table

  // The LIKE pattern (with ESCAPE '\') of the values that match.
  std::string likePattern() const;
  bool matches(std::string_view value) const;
  bool searches(std::string_view tableName) const;
};

}  // namespace tavrix::queries
