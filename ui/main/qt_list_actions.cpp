// Copying and exporting the computer list's rows.
#include "ui/main/qt_list_actions.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/qt_form_support.h"

namespace tavrix {

namespace {

TextRow shownColumns(const QAbstractItemModel* model, int row) {
  TextRow texts;
  for (std::size_t c = 0; c < kShownListColumns; ++c)
    texts.push_back(ui::utf8(model->index(row, static_cast<int>(c)).data().toString()));
  return texts;
}

TextRow headerTexts(const QAbstractItemModel* model) {
  TextRow texts;
  for (std::size_t c = 0; c < kShownListColumns; ++c)
    texts.push_back(ui::utf8(model->headerData(static_cast<int>(c), Qt::Horizontal).toString()));
  return texts;
}

}  // namespace

std::vector<TextRow> rowsInView(const QTreeView* list, bool selectedOnly) {
  const QAbstractItemModel* model = list->model();
  std::vector<TextRow> rows;
  if (selectedOnly) {
    std::vector<int> picked;
    for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
      if (index.column() == 0) picked.push_back(index.row());
    std::sort(picked.begin(), picked.end());
    for (const int row : picked) rows.push_back(shownColumns(model, row));
    return rows;
  }
  for (int row = 0; row < model->rowCount(); ++row) rows.push_back(shownColumns(model, row));
  return rows;
}

void copySelectedRows(const QTreeView* list, bool withHeader) {
  std::vector<TextRow> rows = rowsInView(list, true);
  if (withHeader) rows.insert(rows.begin(), headerTexts(list->model()));
  QApplication::clipboard()->setText(ui::qs(rowsAsTsv(rows)));
}

std::string exportShownRows(const QTreeView* list, QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(parent, ui::qs("CSVファイルに書き出し"),
                                                    QStringLiteral("tavrix.csv"), ui::qs("CSV ファイル (*.csv)"));
  if (path.isEmpty()) return {};
  const std::string text = rowsAsCsv(headerTexts(list->model()), rowsInView(list, false));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !file.flush()) {
    return "CSVファイルに書き出せません: " + ui::utf8(path) + " (" + ui::utf8(file.errorString()) + ")";
  }
  return {};
}

}  // namespace tavrix
