// F_CRE_TABLE: a table defined from a CREATE TABLE statement by its own parser and type words.
#include "dbscript/create_table.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <functional>

#include "batch/messages.h"
#include "platform/text.h"

namespace tavrix {

namespace {

enum class SizeRule { None, AfterParenthesis, FromSixthChar };

struct TypeRow {
  std::string_view japanese;
  std::string_view english;
  db::ColumnType type;
  SizeRule size;
  int maxSize;
};

// Searched in this order: "長整数型" holds "整数型", and "LONGTEXT" must be text.
constexpr TypeRow kTypeRows[] = {
    {"テキスト", "TEXT", db::ColumnType::VarWChar, SizeRule::AfterParenthesis, 255},
    {"長整数型", "LONG", db::ColumnType::Integer, SizeRule::None, 0},
    {"バイト型", "BYTE", db::ColumnType::UnsignedTinyInt, SizeRule::None, 0},
    {"整数型", "INTEGER", db::ColumnType::SmallInt, SizeRule::None, 0},
    {"単精度浮動小数点型", "SINGLE", db::ColumnType::Single, SizeRule::None, 0},
    {"倍精度浮動小数点型", "DOUBLE", db::ColumnType::Double, SizeRule::None, 0},
    {"メモ型", "MEMO", db::ColumnType::LongVarWChar, SizeRule::FromSixthChar, 65535},
    {"十進型", "DECIMAL", db::ColumnType::Numeric, SizeRule::None, 0},
    {"日付/時刻型", "DATE/TIME", db::ColumnType::Date, SizeRule::None, 0},
    {"通貨型", "CURRENCY", db::ColumnType::Currency, SizeRule::None, 0},
    {"オートナンバー型", "AUTONUMBER", db::ColumnType::Integer, SizeRule::None, 0},
    {"YES/NO型", "YES/NO", db::ColumnType::Boolean, SizeRule::None, 0},
};

bool contains(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

int definedSize(std::string_view typeText, const TypeRow& row) {
  double n = 0;
  if (row.size == SizeRule::AfterParenthesis) {
    std::size_t open = typeText.find('(');
    if (open != std::string_view::npos) n = text::leadingNumber(typeText.substr(open + 1)).value_or(0);
  } else if (row.size == SizeRule::FromSixthChar) {
    n = text::leadingNumber(typeText.substr(text::leftChars(typeText, 5).size())).value_or(0);
  }
  // A negative size stays negative (the definition refuses it), but within the range of int.
  return static_cast<int>(std::nearbyint(std::clamp<double>(n, INT_MIN, row.maxSize)));
}

struct ParsedStatement {
  std::string table;
  std::vector<std::string> items;
};

using Step = std::function<void()>;

// Runs one step of the definition; a failure is shown and the definition goes on.
void attempt(RunState& s, const Step& action) {
  try {
    action();
  } catch (const std::exception& e) {
    reportMessage(s, e.what(), MessageStyle::Plain, s.CurrentScriptFile + ": " + e.what());
  }
}

// Table name: third piece of the text before the first "(" split at single blanks.
// Column items: the text after that "(" without the statement's last two characters, split at ",".
void parseStatement(RunState& s, std::string_view statement, ParsedStatement& out) {
  std::size_t open = statement.find('(');
  if (open == std::string_view::npos) throw db::DbError("no column list in: " + std::string(statement), 1);
  attempt(s, [&] {
    auto pieces = text::split(statement.substr(0, open), ' ');
    if (pieces.size() < 3) throw db::DbError("no table name in: " + std::string(statement), 1);
    out.table = std::string(text::trim(pieces[2]));
  });
  std::string_view list = statement.substr(open + 1);
  std::size_t listChars = text::charCount(list);
  if (listChars < 2) throw db::DbError("no column list in: " + std::string(statement), 1);
  list = list.substr(0, text::leftChars(list, listChars - 2).size());
  if (list.empty()) return;  // no item at all
  for (const auto& item : text::split(list, ',')) out.items.emplace_back(text::trim(item));
}

void defineColumn(RunState& s, db::TableDefinition& table, const std::string& item, db::ColumnType& type) {
  std::string name, typeText;
  std::size_t blank = item.find(' ');
  if (blank == std::string::npos) {
    reportMessage(s, "column definition without a type: " + item, MessageStyle::Plain,
                  s.CurrentScriptFile + ": column definition without a type: " + item);
    return;
  }
  name = std::string(text::trim(std::string_view(item).substr(0, blank)));
  typeText = text::toUpperAscii(text::trim(std::string_view(item).substr(blank + 1)));
  int size = 0;
  ColumnTypeMatch match = matchColumnType(typeText);
  if (match.found) {
    type = match.type;  // else the type of the column before stays
    size = match.size;
  }
  bool appended = false;
  attempt(s, [&] {
    table.appendColumn(name, type, size);
    appended = true;
  });
  if (!appended) return;
  bool counter = contains(typeText, "オートナンバー型") || contains(typeText, "AUTONUMBER");
  attempt(s, [&] {
    if (counter) {
      table.setAutoIncrement(name);
    } else {
      table.column(name).nullable = true;
    }
  });
}

}  // namespace

ColumnTypeMatch matchColumnType(std::string_view typeText) {
  for (const auto& row : kTypeRows) {
    if (contains(typeText, row.japanese) || contains(typeText, row.english))
      return {true, row.type, definedSize(typeText, row)};
  }
  return {};
}

void F_CRE_TABLE(RunState& s, const std::string& statement) {
  ParsedStatement parsed;
  attempt(s, [&] { parseStatement(s, statement, parsed); });
  db::Connection file;
  db::Connection& catalog = s.ScriptServer ? *s.ScriptServer : file;
  if (!s.ScriptServer) attempt(s, [&] { file.openPlain(s.MDB_DIR + s.ScriptMdbName); });
  db::TableDefinition table;
  table.name = parsed.table;
  db::ColumnType type = db::ColumnType::Empty;
  for (const auto& item : parsed.items) defineColumn(s, table, item, type);
  attempt(s, [&] {
    if (!s.ScriptServer) return db::appendTable(catalog, table);
    db::Savepoint step(catalog);  // a refused table is undone alone, as on the file
    db::appendTable(catalog, table);
    step.keep();
  });
  file.close();
}

}  // namespace tavrix
