// The fixed table of sections.
#include "queries/search_sections.h"

#include "platform/text.h"

namespace tavrix::queries {

const std::vector<TableSection>& tableSections() {
  static const std::vector<TableSection> sections = {
      {"T_BasicInf", "基本情報"},
      {"T_Device", "デバイス"},
      {"T_WinUpdate", "Windows Update"},
      {"T_WinUpdRegCheck", "更新の確認"},
      {"T_Drive", "ドライブ"},
      {"T_Video", "ディスプレイ解像度"},
      {"T_Printer", "プリンタ一覧"},
      {"T_NIC", "ＮＩＣカード"},
      {"T_Users", "ユーザー（グループ）"},
      {"T_ApplInst", "現在インストールされているプログラム"},
      {"T_StartUp", "スタートアップ"},
      {"T_Service", "現在のWindowsのサービス"},
  };
  return sections;
}

std::string sectionOf(std::string_view table) {
  for (const TableSection& known : tableSections())
    if (text::equalsNoCase(known.table, table)) return known.section;
  return std::string(table);
}

std::vector<TableSection> sectionsIn(const std::vector<searchindex::SearchedTable>& tables) {
  std::vector<TableSection> sections;
  for (const TableSection& known : tableSections())
    for (const searchindex::SearchedTable& table : tables)
      if (text::equalsNoCase(table.name, known.table)) sections.push_back({table.name, known.section});
  for (const searchindex::SearchedTable& table : tables)
    if (sectionOf(table.name) == table.name) sections.push_back({table.name, table.name});
  return sections;
}

std::optional<std::string> tableOfSection(const std::vector<searchindex::SearchedTable>& tables, std::string_view name) {
  for (const searchindex::SearchedTable& table : tables)
    if (text::equalsNoCase(table.name, name) || sectionOf(table.name) == name) return table.name;
  return std::nullopt;
}

}  // namespace tavrix::queries
