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
constexpr std::array<std::string_view, 73> kSqlWords = {
    "ALL", "AND", "AS", "ASC", "BETWEEN", "BIGINT", "BY", "CASE", "CAST", "COLLATE", "CREATE", "CROSS",
    "DEFAULT", "DELETE", "DESC", "DISTINCT", "DOUBLE", "DROP", "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS",
    "FALSE", "FIRST", "FROM", "FULL", "GLOB", "GROUP", "HAVING", "IF", "IN", "INDEX", "INNER", "INSERT",
    "INTEGER", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "LAST", "LEFT", "LIKE", "LIMIT", "NOT", "NULL",
    "NULLS", "OFFSET", "ON", "OR", "ORDER", "OUTER", "PRECISION", "PRIMARY", "REAL", "RETURNING", "RIGHT",
    "SELECT", "SET", "TABLE", "TEXT", "THEN", "TRUE", "UNION", "UNIQUE", "UPDATE", "USING", "VALUES",
    "VARCHAR", "WHEN", "WHERE", "WITH",
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

// Where the name ending at token i begins: its qualifier too ("t"."Name").
std::size_t qualifiedStart(const std::vector<Token>& t, std::size_t i) {
  if (i >= 2 && t[i - 1].text == "." && t[i - 2].kind == Kind::Quoted) return i - 2;
  return i;
}

bool isName(const Token& token) { return token.kind == Kind::Quoted && token.text.size() >= 2 && token.text.front() == '"'; }

// The tokens of a comparison's right side after its operator at i: a parameter (?, ?N), a
// literal, a name or a number; [first, end) of it, or first == end when it is none of these.
std::pair<std::size_t, std::size_t> operandAfter(const std::vector<Token>& t, std::size_t i) {
  std::size_t first = nextToken(t, i);
  if (first == t.size()) return {first, first};
  if (t[first].text == "?") {
    const std::size_t end = first + 1 < t.size() && t[first + 1].kind == Kind::Word && isNumber(t[first + 1].text) ? first + 2 : first + 1;
    return {first, end};
  }
  if (t[first].kind == Kind::Word && isNumber(t[first].text)) return {first, first + 1};
  if (t[first].kind == Kind::Quoted) {
    std::size_t end = first + 1;
    if (end + 1 < t.size() && t[end].text == "." && isName(t[end + 1])) end += 2;  // "t"."Name"
    return {first, end};
  }
  return {first, first};
}

void wrap(std::vector<Token>& t, std::size_t first, std::size_t last, std::string_view function) {
  t[first].text = std::string(function) + "(" + t[first].text;
  t[last].text += ")";
}

// "name op operand" for a text column: lower() on both sides, so that the comparison ignores ASCII
// case (and only ASCII case) as the file's NOCASE columns do; "name IS ?N" as IS NOT DISTINCT FROM, folded alike.
// Returns the last token it rewrote (i when none).
std::size_t foldComparison(std::vector<Token>& t, std::size_t i) {
  std::size_t op = nextToken(t, i + 1);
  if (op == t.size()) return i;
  std::size_t opEnd = op + 1;
  if (isWord(t, op, "IS")) {
    const auto [first, end] = operandAfter(t, opEnd);
    if (first == end || t[first].text != "?") return i;
    t[op].text = "IS NOT DISTINCT FROM";
  } else if (t[op].text == "<" && opEnd < t.size() && (t[opEnd].text == ">" || t[opEnd].text == "=")) {
    ++opEnd;
  } else if (t[op].text == ">" && opEnd < t.size() && t[opEnd].text == "=") {
    ++opEnd;
  } else if (t[op].text != "=" && t[op].text != "<" && t[op].text != ">" && !isWord(t, op, "LIKE")) {
    return i;
  }
  const auto [first, end] = operandAfter(t, opEnd);
  if (first == end) return i;
  // A number compared to a text column is compared as its text ("TypeNo=1" matches "1" only).
  if (t[first].kind == Kind::Word) t[first].text = "'" + t[first].text + "'";
  wrap(t, qualifiedStart(t, i), i, "lower");
  // The operand folds as the column does, ASCII only, whatever the database's own collation folds.
  t[first].text = "lower((" + t[first].text;
  t[end - 1].text += ") COLLATE \"C\")";
  return end - 1;
}

// Names quoted as written: a bare name other than SQL's words, numbers and functions, and [name].
// A name followed by "(" is a function unless a table's column list follows it (INTO, TABLE, ON).
void quoteNames(std::vector<Token>& t, const ServerNames& known) {
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
    if (isWordToken(previousToken(t, i), "COLLATE")) continue;  // NOCASE, BINARY: see foldCollations
    if (next < t.size() && t[next].text == "(") {
      const Token* before = previousToken(t, i);
      if (!isWordToken(before, "INTO") && !isWordToken(before, "TABLE") && !isWordToken(before, "ON")) continue;
    }
    const std::optional<ServerName> name = known ? known(token.text) : std::nullopt;
    token.text = "\"" + (name ? name->spelling : token.text) + "\"";
    token.kind = Kind::Quoted;
  }
}

// SQLite's collations: "x COLLATE NOCASE" is lower(x) (the server's text compares bytes, as
// BINARY does, so "x COLLATE BINARY" is x).
void foldCollations(std::vector<Token>& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!isWord(t, i, "COLLATE")) continue;
    const std::size_t collation = nextToken(t, i + 1);
    const bool nocase = isWord(t, collation, "NOCASE");
    if (!nocase && !isWord(t, collation, "BINARY")) continue;
    std::size_t last = i;
    while (last > 0 && t[last - 1].kind == Kind::Space) --last;
    if (last == 0) continue;
    --last;
    if (nocase) wrap(t, qualifiedStart(t, last), last, "lower");
    for (std::size_t k = last + 1; k <= collation; ++k) t[k].text.clear();
  }
}

// The ORDER BY item [start, last] follows "lower(<the same name>) [ASC|DESC] [NULLS ...], ": a
// text translated twice.
bool alreadyFolded(const std::vector<Token>& t, std::size_t start, std::size_t last) {
  std::string name;
  for (std::size_t k = start; k <= last; ++k) name += t[k].text;
  std::string ordered;  // the text before the item, in reading order, without blanks
  for (std::size_t k = start, taken = 0; k > 0 && taken < name.size() + 32;) {
    std::string piece;
    for (char c : t[--k].text)
      if (c != ' ') piece += c;
    ordered.insert(0, piece);
    taken += piece.size();
  }
  const std::string folded = "lower(" + name + ")";
  for (const char* tail : {"", "ASC", "DESC"})
    for (const char* nulls : {"", "NULLSFIRST", "NULLSLAST"})
      if (ordered.ends_with(folded + tail + nulls + ",")) return true;
  return false;
}

// SQLite orders NULL before every value: each ORDER BY item says so on a server (which puts NULL
// last in an ascending order). Inserted as tokens of their own, before names are quoted.
void sortNullsFirst(std::vector<Token>& t) {
  std::vector<std::size_t> itemEnds;  // the token after each item's last
  bool ordering = false;
  int depth = 0;
  for (std::size_t i = 0; i <= t.size(); ++i) {
    const bool end = i == t.size();
    if (!end && isWord(t, i, "ORDER") && isWord(t, nextName(t, i + 1), "BY")) {
      ordering = true;
      depth = 0;
      i = nextName(t, i + 1);
      continue;
    }
    if (!ordering) continue;
    if (!end && t[i].text == "(") ++depth;
    const bool closes = !end && t[i].text == ")" && depth-- == 0;
    const bool stops = end || closes || (depth == 0 && (isWord(t, i, "LIMIT") || isWord(t, i, "OFFSET") || t[i].text == ";"));
    if (stops || (depth == 0 && t[i].text == ",")) itemEnds.push_back(i);
    if (stops) ordering = false;
  }
  for (auto at = itemEnds.rbegin(); at != itemEnds.rend(); ++at) {
    std::size_t last = *at;
    while (last > 0 && t[last - 1].kind == Kind::Space) --last;
    if (last == 0 || isWord(t, last - 1, "NULLS") || isWord(t, last - 1, "FIRST") || isWord(t, last - 1, "LAST") ||
        t[last - 1].text.starts_with(" NULLS"))
      continue;
    const bool descending = isWord(t, last - 1, "DESC");
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(last), Token{Kind::Other, descending ? " NULLS LAST" : " NULLS FIRST"});
  }
}

// Text columns ignore ASCII case in comparisons and in ORDER BY lists (lower(x), then x itself, so
// that the order is the same bytes on both engines).
void foldTextColumns(std::vector<Token>& t, const ServerNames& known) {
  bool ordering = false, assigning = false;  // in an ORDER BY list; in an UPDATE's SET list
  // SELECT DISTINCT orders only by what it selects: lower(x) is selected too.
  const std::size_t select = nextToken(t, 0);
  const bool distinct = isWord(t, select, "SELECT") && isWord(t, nextToken(t, select + 1), "DISTINCT");
  std::size_t from = select;
  while (distinct && from < t.size() && !isWord(t, from, "FROM")) ++from;
  // An index on a text column is an index on its folded text, as the file's NOCASE column has it.
  const std::size_t second = nextToken(t, select + 1);
  const bool createIndex = isWord(t, select, "CREATE") &&
                           (isWord(t, second, "INDEX") || (isWord(t, second, "UNIQUE") && isWord(t, nextToken(t, second + 1), "INDEX")));
  bool indexColumns = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (createIndex && t[i].text == "(") {  // the list after "ON table"
      const Token* table = previousToken(t, i);
      indexColumns = table && isWordToken(previousToken(t, static_cast<std::size_t>(table - t.data())), "ON");
    }
    if (isWord(t, i, "SET")) assigning = true;
    if (isWord(t, i, "WHERE")) assigning = false;
    if (assigning) continue;
    if (isWord(t, i, "ORDER") && isWord(t, nextToken(t, i + 1), "BY")) ordering = true;
    if (isWord(t, i, "LIMIT") || isWord(t, i, "OFFSET") || t[i].text == ")") ordering = false;
    if (!isName(t[i])) continue;
    const std::optional<ServerName> name = known(std::string_view(t[i].text).substr(1, t[i].text.size() - 2));
    if (!name || !name->text) continue;
    if (i + 1 < t.size() && t[i + 1].text == ".") continue;  // a qualifier
    if (indexColumns) {
      wrap(t, i, i, "lower");
      continue;
    }
    if (ordering) {
      const std::size_t next = nextToken(t, i + 1);
      if (next < t.size() && t[next].text != "," && !isWord(t, next, "ASC") && !isWord(t, next, "DESC") &&
          !t[next].text.starts_with(" NULLS"))
        continue;
      if (alreadyFolded(t, qualifiedStart(t, i), i)) continue;
      const std::size_t start = qualifiedStart(t, i);
      std::string name;
      for (std::size_t k = start; k <= i; ++k) name += t[k].text;
      const bool descending = isWord(t, next, "DESC");
      const std::string direction = next < t.size() && t[next].kind == Kind::Word ? " " + t[next].text : "";
      t[start].text = "lower(" + t[start].text;
      t[i].text += ")" + direction + (descending ? " NULLS LAST" : " NULLS FIRST") + ", " + name;
      if (distinct && from < i) {
        std::size_t selected = from;  // the last token of the select list
        while (selected > 0 && t[selected - 1].kind == Kind::Space) --selected;
        if (selected > 0) t[selected - 1].text += ", lower(" + name + ")";
      }
      continue;
    }
    i = foldComparison(t, i);
  }
}

// An ORDER BY list of names: each then again in byte order, so that names differing in case only
// come in one order on every engine (a name's own collation may ignore case).
void orderTiesByBytes(std::vector<Token>& t) {
  bool ordering = false;
  int depth = 0;  // within parentheses of the ORDER BY list: not an item of it
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (isWord(t, i, "ORDER") && isWord(t, nextName(t, i + 1), "BY")) {
      ordering = true;
      depth = 0;
      i = nextName(t, i + 1);
      continue;
    }
    if (!ordering) continue;
    if (t[i].text == "(") ++depth;
    if (t[i].text == ")" && depth-- == 0) ordering = false;
    if (isWord(t, i, "LIMIT") || isWord(t, i, "OFFSET") || t[i].text == ";") ordering = false;
    if (!ordering || depth > 0) continue;
    if ((t[i].kind != Kind::Word && t[i].kind != Kind::Quoted) || isSqlWord(t[i].text)) continue;
    if (i + 1 < t.size() && t[i + 1].text == ".") continue;  // a qualifier: the name follows
    std::size_t start = i;
    if (i >= 2 && t[i - 1].text == ".") start = i - 2;
    const std::size_t next = nextName(t, i + 1);
    const bool direction = isWord(t, next, "ASC") || isWord(t, next, "DESC");
    const std::size_t end = direction ? next : i;
    std::size_t after = end + 1;
    while (after < t.size() && t[after].kind == Kind::Space) ++after;
    if (after < t.size() && t[after].text != "," && t[after].text != ";" && t[after].text != ")") continue;  // an expression
    std::string item;
    for (std::size_t k = start; k <= i; ++k) item += t[k].text;
    t[end].text += ", " + item + " COLLATE BINARY" + (direction ? " " + t[next].text : "");
    i = end;
  }
}

}  // namespace

std::string translateJet(std::string_view jetSql, JetNames names, const ServerNames& known) {
  std::vector<Token> tokens = tokenize(jetSql);
  std::size_t first = nextName(tokens, 0);
  if (isWord(tokens, first, "DELETE")) dropDeleteFieldList(tokens, first);
  if (isWord(tokens, first, "DROP")) {
    std::size_t second = nextName(tokens, first + 1);
    if (isWord(tokens, second, "INDEX")) dropIndexTable(tokens, second);
  }
  if (names == JetNames::QuotedNames) {
    sortNullsFirst(tokens);
    quoteNames(tokens, known);
    foldCollations(tokens);
    if (known) foldTextColumns(tokens, known);
  } else {
    quoteReservedNames(tokens);
    orderTiesByBytes(tokens);
  }
  convertDateLiterals(tokens);
  std::string out;
  out.reserve(jetSql.size() + 16);
  for (const auto& token : tokens) out += token.text;
  return out;
}

}  // namespace tavrix::db
