// The fleet window's lists: rows sorted by their values, copied as TSV and written as CSV.
#include "ui/fleet/qt_result_list.h"

#include <fstream>
#include <variant>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "queries/row_output.h"
#include "queries/text_match.h"
#include "ui/qt_form_support.h"

namespace tavrix::ui {

namespace {

constexpr int kRowRole = Qt::UserRole;

// Integers sort by value, texts as the database orders them (ASCII case ignored, then bytes).
class ResultItem : public QTreeWidgetItem {
 public:
  ResultItem(const queries::ResultRow& row, int index) {
    for (int c = 0; c < static_cast<int>(row.size()); ++c)
      setText(c, qs(queries::oneLine(row[static_cast<std::size_t>(c)].text())));
    setData(0, kRowRole, index);
    row_ = &row;
  }
  bool operator<(const QTreeWidgetItem& other) const override {
    const auto column = static_cast<std::size_t>(treeWidget() ? treeWidget()->sortColumn() : 0);
    const db::Value& a = (*row_)[column];
    const db::Value& b = (*static_cast<const ResultItem&>(other).row_)[column];
    const bool numbers = std::holds_alternative<std::int64_t>(a.raw()) && std::holds_alternative<std::int64_t>(b.raw());
    if (numbers) return a.toInt() < b.toInt();
    return queries::compareText(a.text(), b.text()) < 0;
  }

 private:
  const queries::ResultRow* row_;
};

}  // namespace

void ResultTree::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && onCopy) {
    onCopy();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

ResultList::ResultList(const char* objectName, const QStringList& headers, MessageSink& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
  setObjectName(QString::fromLatin1(objectName));
  tree_ = new ResultTree(this);
  tree_->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("View"));
  tree_->setFont(fixedGothic(9));
  tree_->setRootIsDecorated(false);
  tree_->setUniformRowHeights(true);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setHeaderLabels(headers);
  tree_->header()->setSortIndicatorShown(true);
  tree_->setSortingEnabled(false);
  // Ascending on the first click of a column, then each further click reverses the order.
  connect(tree_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    sortAscending_ = column != sortColumn_ || !sortAscending_;
    sortColumn_ = column;
    tree_->sortItems(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
  });
  tree_->header()->setSectionsClickable(true);
  tree_->onCopy = [this] { copySelection(); };

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
  layout->addWidget(tree_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(csvButton_);
  layout->addLayout(buttons);
}

void ResultList::show(queries::ResultTable table) {
  tree_->clear();
  table_ = std::move(table);
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(table_.rows.size()));
  for (std::size_t r = 0; r < table_.rows.size(); ++r) items.append(new ResultItem(table_.rows[r], static_cast<int>(r)));
  tree_->addTopLevelItems(items);
  tree_->header()->setSortIndicator(-1, Qt::AscendingOrder);  // the question's own order
  sortColumn_ = -1;
  for (int c = 0; c < tree_->columnCount(); ++c) tree_->resizeColumnToContents(c);
}

const queries::ResultRow& ResultList::rowOf(const QTreeWidgetItem* item) const {
  return table_.rows.at(static_cast<std::size_t>(item->data(0, kRowRole).toInt()));
}

queries::ResultTable ResultList::shownRows(bool selectedOnly) const {
  queries::ResultTable shown{table_.columns, {}};
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = tree_->topLevelItem(i);
    if (!selectedOnly || item->isSelected()) shown.rows.push_back(rowOf(item));
  }
  return shown;
}

void ResultList::copySelection() const {
  const std::string text = queries::formatRows(shownRows(true), queries::OutputFormat::Tsv);
  QApplication::clipboard()->setText(qs(text));
}

bool ResultList::writeCsv(const QString& path) const {
  const std::string bytes = queries::formatRows(shownRows(false), queries::OutputFormat::Csv);
  std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (out) return true;
  messages_.show("CSVファイルを書き込めません: " + utf8(path), MessageStyle::Exclamation);
  return false;
}

}  // namespace tavrix::ui
