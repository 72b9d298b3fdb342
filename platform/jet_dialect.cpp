// Rewrites the few Jet SQL forms that the engines do not accept; everything else passes unchanged.
#include "platform/jet_dialect.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/datetime.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

enum class Kind { Word, Quoted, Hash, Space, Other };

struct Token {
  Kind kind;
  std::string text;
};

bool isWordByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
}

bool isSpaceByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// End of a '...', "..." or [...] run starting at i; a doubled quote stays inside.
std::size_t quotedEnd(std::string_view s, std::size_t i) {
  char close = s[i] == '[' ? ']' : s[i];
  for (std::size_t j = i + 1; j < s.size(); ++j) {
    if (s[j] != close) continue;
    if (close != ']' && j + 1 < s.size() && s[j + 1] == close) {
      ++j;
      continue;
    }
    return j + 1;
  }
  return s.size();  // unterminated: the rest is inside
}

// End of a #...# run at i whose inside can be a date and time, else 0.
std::size_t dateLiteralEnd(std::string_view s, std::size_t i) {
  if (s[i] != '#') return 0;
  for (std::size_t j = i + 1; j < s.size() && j < i + 32; ++j) {
    char c = s[j];
    if (c == '#') return j > i + 1 ? j + 1 : 0;
    if (!((c >= '0' && c <= '9') || c == '/' || c == '-' || c == ':' || c == ' ')) return 0;
  }
  return 0;
}

std::vector<Token> tokenize(std::string_view s) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t end = i + 1;
    Kind kind = Kind::Other;
    char c = s[i];
    if (c == '\'' || c == '"' || c == '[') {
      kind = Kind::Quoted;
      end = quotedEnd(s, i);
    } else if (std::size_t close = dateLiteralEnd(s, i)) {
      kind = Kind::Hash;
      end = close;
    } else if (isWordByte(c)) {
      kind = Kind::Word;
      while (end < s.size() && isWordByte(s[end])) ++end;
    } else if (isSpaceByte(c)) {
      kind = Kind::Space;
      while (end < s.size() && isSpaceByte(s[end])) ++end;
    }
    tokens.push_back({kind, std::string(s.substr(i, end - i))});
    i = end;
  }
  return tokens;
}

// Index of the next word or quoted name at or after i, skipping blanks; tokens.size() when none.
std::size_t nextName(const std::vector<Token>& t, std::size_t i) {
  while (i < t.size() && t[i].kind == Kind::Space) ++i;
  return i < t.size() && (t[i].kind == Kind::Word || t[i].kind == Kind::Quoted) ? i : t.size();
}

bool isWord(const std::vector<Token>& t, std::size_t i, std::string_view word) {
  return i < t.size() && t[i].kind == Kind::Word && text::equalsNoCase(t[i].text, word);
}


// DELETE <field list> FROM -> DELETE FROM.
void dropDeleteFieldList(std::vector<Token>& t, std::size_t del) {
  std::size_t from = del + 1;
  while (from < t.size() && !isWord(t, from, "FROM")) ++from;
  if (from == t.size() || nextName(t, del + 1) == from) return;
  t.erase(t.begin() + static_cast<long>(del) + 1, t.begin() + static_cast<long>(from));
  t.insert(t.begin() + static_cast<long>(del) + 1, Token{Kind::Space, " "});
}

// DROP INDEX ix ON t -> DROP INDEX ix.
void dropIndexTable(std::vector<Token>& t, std::size_t index) {
  std::size_t name = nextName(t, index + 1);
  std::size_t on = nextName(t, name + 1);
  if (!isWord(t, on, "ON")) return;
  std::size_t table = nextName(t, on + 1);
  if (table == t.size()) return;
  t.erase(t.begin() + static_cast<long>(name) + 1, t.begin() + static_cast<long>(table) + 1);
}

// Group and User as field names; GROUP BY stays the clause.
void quoteReservedNames(std::vector<Token>& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i].kind != Kind::Word) continue;
    bool group = text::equalsNoCase(t[i].text, "Group");
    if (!group && !text::equalsNoCase(t[i].text, "User")) continue;
    if (group && isWord(t, nextName(t, i + 1), "BY")) continue;
    t[i].text = "\"" + t[i].text + "\"";
  }
}

void convertDateLiterals(std::vector<Token>& t) {
  for (auto& token : t) {
    if (token.kind != Kind::Hash) continue;
    std::string_view inner(token.text);
    inner = inner.substr(1, inner.size() - 2);
    if (inner.empty() || inner.find('/') == std::string_view::npos) continue;
    if (auto date = DateTime::parse(inner)) token.text = "'" + date->storageText() + "'";
  }
}

// SQL's own words, which stay bare when names are quoted (upper case, sorted).
constexpr std::array<std::string_view, 70> kSqlWords = {
    "ALL",      "AND",     "AS",        "ASC",     "BETWEEN", "BIGINT",  "BY",      "CASE",     "CAST",
    "COLLATE",  "CREATE",  "CROSS",     "DEFAULT", "DELETE",  "DESC",    "DISTINCT", "DOUBLE",  "DROP",
    "ELSE",     "END",     "ESCAPE",    "EXCEPT",  "EXISTS",  "FALSE",   "FROM",    "FULL",     "GLOB",
    "GROUP",    "HAVING",  "IF",        "IN",      "INDEX",   "INNER",   "INSERT",  "INTEGER",  "INTERSECT",
    "INTO",     "IS",      "JOIN",      "KEY",     "LEFT",    "LIKE",    "LIMIT",   "NOT",      "NULL",
    "OFFSET",   "ON",      "OR",        "ORDER",   "OUTER",   "PRECISION", "PRIMARY", "REAL",   "RETURNING",
    "RIGHT",    "SELECT",  "SET",       "TABLE",   "TEXT",    "THEN",    "TRUE",    "UNION",    "UNIQUE",
    "UPDATE",   "USING",   "VALUES",    "VARCHAR", "WHEN",    "WHERE",   "WITH",
};

bool isSqlWord(std::string_view word) {
  std::string upper = text::toUpperAscii(std::string(word));
  return std::binary_search(kSqlWords.begin(), kSqlWords.end(), std::string_view(upper));
}

bool isNumber(std::string_view word) { return !word.empty() && word.front() >= '0' && word.front() <= '9'; }

// Index of the next token that is not a blank at or after i; tokens.size() when none.
std::size_t nextToken(const std::vector<Token>& t, std::size_t i) {
  while (i < t.size() && t[i].kind == Kind::Space) ++i;
  return i;
}

// The nearest token before i that is not a blank; none at the start.
const Token* previousToken(const std::vector<Token>& t, std::size_t i) {
  while (i > 0) {
    if (t[--i].kind != Kind::Space) return &t[i];
  }
  return nullptr;
}

bool isWordToken(const Token* token, std::string_view word) {
  return token && token->kind == Kind::Word && text::equalsNoCase(token->text, word);
}

// The tokens of a comparison's right side after its operator at i: a parameter (?, ?N), a
// literal, a name or a number; [first, end) of it, or first == end when it is none of these.
std::pair<std::size_t, std::size_t> operandAfter(const std::vector<Token>& t, std::size_t i) {
  std::size_t first = nextToken(t, i);
  if (first == t.size()) return {first, first};
  if (t[first].text == "?") {
    const std::size_t end = first + 1 < t.size() && t[first + 1].kind == Kind::Word && isNumber(t[first + 1].text) ? first + 2 : first + 1;
    return {first, end};
  }
  if (t[first].kind == Kind::Quoted || (t[first].kind == Kind::Word && !isSqlWord(t[first].text))) return {first, first + 1};
  return {first, first};
}

// "name op operand" for a text column: lower() on both sides, so that the comparison ignores ASCII
// case as the file's NOCASE columns do. i is the name's token, already quoted. Returns the last
// token it rewrote (i when none).
std::size_t foldComparison(std::vector<Token>& t, std::size_t i) {
  std::size_t op = nextToken(t, i + 1);
  if (op == t.size()) return i;
  std::size_t opEnd = op + 1;
  if (t[op].text == "<" && opEnd < t.size() && (t[opEnd].text == ">" || t[opEnd].text == "=")) ++opEnd;
  else if (t[op].text == ">" && opEnd < t.size() && t[opEnd].text == "=") ++opEnd;
  else if (t[op].text != "=" && t[op].text != "<" && t[op].text != ">" && !isWord(t, op, "LIKE")) return i;
  const auto [first, end] = operandAfter(t, opEnd);
  if (first == end) return i;
  if (t[first].kind == Kind::Word && t[first].text != "?") t[first].text = "\"" + t[first].text + "\"";
  t[i].text = "lower(" + t[i].text + ")";
  t[first].text = "lower(" + t[first].text;
  t[end - 1].text += ")";
  return end - 1;
}

// Names quoted as written: a bare name other than SQL's words, numbers and functions, and [name].
// A name followed by "(" is a function unless a table's column list follows it (INTO, TABLE, ON).
void quoteNames(std::vector<Token>& t, const std::function<bool(std::string_view)>& textColumn) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    Token& token = t[i];
    if (token.kind == Kind::Quoted && token.text.size() >= 2 && token.text.front() == '[') {
      token.text = "\"" + token.text.substr(1, token.text.size() - 2) + "\"";
      continue;
    }
    if (token.kind != Kind::Word || isNumber(token.text)) continue;
    const std::size_t next = nextToken(t, i + 1);
    const bool groupBy = text::equalsNoCase(token.text, "GROUP") && isWord(t, next, "BY");
    if (isSqlWord(token.text) && (groupBy || !text::equalsNoCase(token.text, "GROUP"))) continue;
    if (next < t.size() && t[next].text == "(") {
      const Token* before = previousToken(t, i);
      if (!isWordToken(before, "INTO") && !isWordToken(before, "TABLE") && !isWordToken(before, "ON")) continue;
    }
    const std::string name = token.text;
    token.text = "\"" + name + "\"";
    if (textColumn && textColumn(name)) i = foldComparison(t, i);
  }
}

}  // namespace

std::string translateJet(std::string_view jetSql, JetNames names, const std::function<bool(std::string_view)>& textColumn) {
  std::vector<Token> tokens = tokenize(jetSql);
  std::size_t first = nextName(tokens, 0);
  if (isWord(tokens, first, "DELETE")) dropDeleteFieldList(tokens, first);
  if (isWord(tokens, first, "DROP")) {
    std::size_t second = nextName(tokens, first + 1);
    if (isWord(tokens, second, "INDEX")) dropIndexTable(tokens, second);
  }
  if (names == JetNames::QuotedNames) quoteNames(tokens, textColumn);
  else quoteReservedNames(tokens);
  convertDateLiterals(tokens);
  std::string out;
  out.reserve(jetSql.size() + 16);
  for (const auto& token : tokens) out += token.text;
  return out;
}

}  // namespace tavrix::db
