// The computer list rows (F21_List's six column texts) read from T_BasicInf.
#include "ui/main/computer_list.h"

#include "platform/datetime.h"
#include "ui/detail/line_format.h"

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

std::string createDateText(const db::Value& v) {
  if (auto t = DateTime::fromStorage(v.text()); t && t->before1900()) return {};
  return minuteText(v);
}

}  // namespace

std::vector<ComputerListRow> readComputerList(RunState& s) {
  std::vector<ComputerListRow> rows;
  db::ReadOnlyRecordSet rs(s.DbConnection, "SELECT * FROM T_BasicInf");
  for (; !rs.eof(); rs.moveNext()) {
    rows.push_back({
        orFallback(rs.field("ComputerName"), ""),
        orFallback(rs.field("UserName"), " "),
        orFallback(rs.field("OSVersion"), " "),
        createDateText(rs.field("CreateDate")),
        rs.field("PCid").text(),
        rs.field("RNO").text(),
    });
  }
  rs.close();
  return rows;
}

}  // namespace tavrix
