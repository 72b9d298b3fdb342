// Text tests shared by the questions: "contains" and ordering, both ignoring ASCII letter case
// exactly as the database's NOCASE comparison does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrix::queries {

// True when text holds part; ASCII letters compare without case, every other byte as it is.
bool containsNoCase(std::string_view text, std::string_view part);

// Text order: ASCII case ignored (letters folded to lower case, as NOCASE does), then byte order.
// Negative, zero or positive like strcmp.
int compareText(std::string_view a, std::string_view b);

// A column declared as text (CHAR, TEXT or CLOB in its type): SQLite keeps its values as written.
bool isTextType(std::string_view declared);

// A LIKE pattern (with ESCAPE '\') that matches every text containing part.
std::string containsPattern(std::string_view part);
// A LIKE pattern (with ESCAPE '\') that matches the text itself (ASCII case ignored) and no other.
std::string wholePattern(std::string_view text);
// The longest LIKE pattern SQLite takes (its default limit); a longer one fails the statement.
constexpr std::size_t kLongestLikePattern = 50000;
// part can be looked for: its pattern is within that limit.
bool fitsContainsPattern(std::string_view part);

// The SQL of "column contains ?n": a LIKE with the escape character, so "%" and "_" are plain text.
std::string containsSql(std::string_view column, int parameter);

}  // namespace tavrix::queries
