// Copying and exporting the computer list's rows.
#include "ui/main/qt_list_actions.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QTreeWidget>

#include "ui/qt_form_support.h"

namespace tavrix {

namespace {

TextRow shownColumns(const QTreeWidgetItem* item) {
  TextRow row;
  for (std::size_t c = 0; c < kShownListColumns; ++c) row.push_back(ui::utf8(item->text(static_cast<int>(c))));
  return row;
}

}  // namespace

std::vector<TextRow> rowsInView(const QTreeWidget* list, bool selectedOnly) {
  std::vector<TextRow> rows;
  for (int r = 0; r < list->topLevelItemCount(); ++r) {
    const QTreeWidgetItem* item = list->topLevelItem(r);
    if (item->isHidden() || (selectedOnly && !item->isSelected())) continue;
    rows.push_back(shownColumns(item));
  }
  return rows;
}

void copySelectedRows(const QTreeWidget* list) {
  QApplication::clipboard()->setText(ui::qs(rowsAsTsv(rowsInView(list, true))));
}

std::string exportShownRows(const QTreeWidget* list, QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(parent, ui::qs("CSVファイルに書き出し"),
                                                    QStringLiteral("tavrix.csv"), ui::qs("CSV ファイル (*.csv)"));
  if (path.isEmpty()) return {};
  const std::string text = rowsAsCsv(shownColumns(list->headerItem()), rowsInView(list, false));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !file.flush()) {
    return "CSVファイルに書き出せません: " + ui::utf8(path) + " (" + ui::utf8(file.errorString()) + ")";
  }
  return {};
}

}  // namespace tavrix
