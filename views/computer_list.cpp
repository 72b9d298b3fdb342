// The computer list rows (F21_List's six column texts) read from T_BasicInf.
#include "views/computer_list.h"

#include <optional>

#include "platform/datetime.h"

namespace tavrix {

const std::array<ComputerListColumn, 6> kComputerListColumns = {{
    {"コンピュータ名", 2500},
    {"ユーザ名", 1500},
    {"ＯＳ名", 3600},
    {"作成日", 1600},
    {"ＣＳＶファイル名", 2800},
    {"RNO", 1},
}};

namespace {

// The fallbacks differ by column: "" for the computer name, one blank for user and OS name.
std::string orFallback(const db::Value& v, const char* fallback) { return v.isNull() ? fallback : v.text(); }

// To the minute as the tree shows it, parsed once (a million rows are read at once); none before 1900.
std::string createDateText(const db::Value& v) {
  if (v.isNull()) return {};
  std::string stored = v.text();
  const std::optional<DateTime> t = DateTime::fromStorage(stored);
  if (!t) return stored;
  return t->before1900() ? std::string() : t->minuteText();
}

}  // namespace

ComputerListRow computerListRow(const db::Value& computerName, const db::Value& userName, const db::Value& osVersion,
                                const db::Value& createDate, const db::Value& pcId, const db::Value& rno) {
  return {orFallback(computerName, ""), orFallback(userName, " "), orFallback(osVersion, " "),
          createDateText(createDate), pcId.text(), rno.text()};
}

ComputerListTable readComputerList(db::Connection& connection) {
  ComputerListTable rows(kComputerListColumns.size());
  db::FewPagesCached readOnce(connection);
  db::ReadOnlyRecordSet rs(connection, "SELECT * FROM T_BasicInf");
  if (!rs.eof()) {
    // The six fields' places, found on the first row: a missing one fails as reading it by name does.
    std::array<int, 6> at{};
    const char* names[] = {"ComputerName", "UserName", "OSVersion", "CreateDate", "PCid", "RNO"};
    for (std::size_t f = 0; f < at.size(); ++f) at[f] = rs.fieldIndex(names[f]);
    for (; !rs.eof(); rs.moveNext()) {
      rows.append(computerListRow(rs.field(at[0]), rs.field(at[1]), rs.field(at[2]), rs.field(at[3]), rs.field(at[4]),
                                  rs.field(at[5])));
    }
  }
  rs.close();
  return rows;
}

}  // namespace tavrix
