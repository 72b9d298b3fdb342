// The fleet window's lists: rows sorted by their values, copied as TSV and written as CSV.
#include "ui/fleet/qt_result_list.h"

#include <fstream>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "queries/row_output.h"
#include "ui/qt_form_support.h"

namespace tavrix::ui {

void ResultTree::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && onCopy) {
    onCopy();
    return;
  }
  QTreeView::keyPressEvent(event);
}

ResultList::ResultList(const char* objectName, const QStringList& headers, MessageSink& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
  setObjectName(QString::fromLatin1(objectName));
  heading_ = new QLabel(this);
  heading_->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("Heading"));
  heading_->hide();
  tree_ = new ResultTree(this);
  tree_->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("View"));
  model_ = new ResultListModel(headers, tree_);
  tree_->setModel(model_);
  tree_->setFont(fixedGothic(9));
  tree_->setRootIsDecorated(false);
  tree_->setUniformRowHeights(true);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->header()->setSortIndicatorShown(true);
  tree_->setSortingEnabled(false);
  // Ascending on the first click of a column, then each further click reverses the order.
  connect(tree_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    sortAscending_ = column != shownSort_ || !sortAscending_;
    sortColumn_ = shownSort_ = column;
    const Qt::SortOrder order = sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder;
    tree_->header()->setSortIndicator(column, order);
    model_->sort(column, order);
  });
  tree_->header()->setSectionsClickable(true);
  tree_->onCopy = [this] { copySelection(); };

  count_ = new QLabel(this);
  count_->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("Count"));
  connect(model_, &ResultListModel::countChanged, this, [this] { showCount(); });
  csvButton_ = new QPushButton(qs("CSV出力…"), this);
  csvButton_->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("Csv"));
  chooseCsvFile = [](QWidget* parent) {
    return QFileDialog::getSaveFileName(parent, qs("CSV出力"), QString(), qs("CSV (*.csv)"));
  };
  connect(csvButton_, &QPushButton::clicked, this, [this] {
    const QString path = chooseCsvFile(this);
    if (!path.isEmpty()) writeCsv(path);
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(heading_);
  layout->addWidget(tree_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(count_);
  buttons->addStretch();
  buttons->addWidget(csvButton_);
  layout->addLayout(buttons);
}

void ResultList::show(const queries::ResultTable& table) { show(queries::ResultRows(table), nullptr); }

void ResultList::setHeading(const QString& caption) {
  caption_ = caption;
  heading_->setVisible(!caption.isEmpty());
  showCount();
}

void ResultList::setNote(const QString& note) {
  note_ = note;
  showCount();
}

void ResultList::show(queries::ResultRows rows, ResultListModel::MoreRows more) {
  answered_ = true;
  note_.clear();
  std::vector<int> widths;
  for (int c = 0; keepWidths_ && c < model_->columnCount(); ++c) widths.push_back(tree_->columnWidth(c));
  model_->setRows(std::move(rows), std::move(more));
  model_->fetchMore({});  // an answer in pages shows its first at once
  // The chosen sort holds for an answer read whole; a sorted answer in pages would be read whole first.
  const bool sorted = sortColumn_ >= 0 && sortColumn_ < model_->columnCount() && model_->complete();
  const Qt::SortOrder order = sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder;
  shownSort_ = sorted ? sortColumn_ : -1;
  tree_->header()->setSortIndicator(shownSort_, order);
  if (sorted) model_->sort(sortColumn_, order);
  for (int c = 0; c < model_->columnCount(); ++c) {
    if (keepWidths_) tree_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    else tree_->resizeColumnToContents(c);
  }
}

void ResultList::remember(const WindowSettings* settings, const QString& name) {
  settings_ = settings;
  settingsName_ = name;
  const WindowSettings::Sort sort = settings->sort(name);
  sortColumn_ = sort.column;
  sortAscending_ = sort.ascending;
  keepWidths_ = settings->hasColumnWidths(name);
  if (!keepWidths_) return;
  std::vector<int> widths;
  for (int c = 0; c < model_->columnCount(); ++c) widths.push_back(tree_->columnWidth(c));
  settings->restoreColumnWidths(tree_, name, widths);
}

void ResultList::saveState() const {
  if (!settings_) return;
  settings_->saveColumnWidths(tree_, settingsName_);
  settings_->saveSort(settingsName_, {sortColumn_, sortAscending_});
}

void ResultList::clear() {
  show(queries::ResultRows(model_->rows().columns()), nullptr);
  answered_ = false;
  showCount();
}

// "1,234件", and whether more follow or the answer was longer than a list holds.
void ResultList::showCount() {
  const QString count = QLocale(QLocale::English).toString(static_cast<qlonglong>(model_->rowCount()));
  heading_->setText(answered_ ? caption_ + QLatin1Char(' ') + count + qs(" 台") : caption_);
  QString line = count + qs("件");
  if (model_->cut()) line = qs("先頭の") + line + qs("を表示 (CSV出力も同じ)");
  else if (!model_->complete()) line += qs(" (続きはスクロールで読み込み)");
  if (!note_.isEmpty()) line += QLatin1Char(' ') + note_;
  count_->setText(line);
}

queries::ResultRow ResultList::rowOf(const QModelIndex& index) const {
  return model_->rows().row(model_->storedRow(index.row()));
}

QModelIndex ResultList::selectedRow() const {
  const QModelIndexList chosen = tree_->selectionModel()->selectedRows();
  return chosen.isEmpty() ? QModelIndex() : chosen.front();
}

std::vector<std::uint32_t> ResultList::shownRows(bool selectedOnly) const {
  if (!selectedOnly) {
    model_->readAll();
    return model_->shownRows();
  }
  std::vector<int> chosen;
  for (const QModelIndex& index : tree_->selectionModel()->selectedRows()) chosen.push_back(index.row());
  std::sort(chosen.begin(), chosen.end());
  std::vector<std::uint32_t> rows;
  rows.reserve(chosen.size());
  for (const int row : chosen) rows.push_back(model_->storedRow(row));
  return rows;
}

void ResultList::copySelection() const {
  const std::string text = queries::formatRows(model_->rows(), shownRows(true), queries::OutputFormat::Tsv);
  QApplication::clipboard()->setText(qs(text));
}

bool ResultList::writeCsv(const QString& path) const {
  const std::string bytes = queries::formatRows(model_->rows(), shownRows(false), queries::OutputFormat::Csv);
  std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (out) return true;
  messages_.show("CSVファイルを書き込めません: " + utf8(path), MessageStyle::Exclamation);
  return false;
}

}  // namespace tavrix::ui
