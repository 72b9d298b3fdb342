// The rows of the computer list (F21_List) as data, shared by ListView1 and tavrix-report.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/db.h"
#include "views/text_columns.h"

namespace tavrix {

// The six column texts of one row: computer name, user, OS, creation date, CSV name, RNO.
using ComputerListRow = std::array<std::string, 6>;

struct ComputerListColumn {
  const char* header;
  int widthTwips;
};
// "コンピュータ名" 2500, "ユーザ名" 1500, "ＯＳ名" 3600, "作成日" 1600, "ＣＳＶファイル名" 2800, "RNO" 1.
extern const std::array<ComputerListColumn, 6> kComputerListColumns;

// The row of one T_BasicInf record from its ComputerName, UserName, OSVersion, CreateDate, PCid, RNO.
ComputerListRow computerListRow(const db::Value& computerName, const db::Value& userName, const db::Value& osVersion,
                                const db::Value& createDate, const db::Value& pcId, const db::Value& rno);

// The rows of the list, as columns of six texts each.
using ComputerListTable = TextColumns;

// Reads "SELECT * FROM T_BasicInf" on DbConnection, rows in database order. Throws db::DbError.
ComputerListTable readComputerList(db::Connection& connection);

}  // namespace tavrix
