// The history window: the list of kept inventories above, the changes between the selected two below,
// grouped by section; each change line starts with its sign, so the colours are only a help.
#include "ui/history/f_history.h"

#include <algorithm>

#include <QCloseEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "history/history_commands.h"
#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;

namespace {

const QString kSettingsName = QStringLiteral("F_History");
const QColor kAdded(0, 128, 0), kRemoved(192, 0, 0);

// "+ item  new", "− item  old", "~ item: old → new"; the item is left out where a basic value has none.
std::string changeLine(const std::vector<std::string>& row) {
  const std::string& sign = row[1];
  const std::string& item = row[2];
  auto joined = [&](const std::string& value) { return item.empty() || value.empty() ? item + value : item + "  " + value; };
  if (sign == "+") return "+ " + joined(row[4]);
  if (sign == "-") return "− " + joined(row[3]);
  return "~ " + (item.empty() ? "" : item + ": ") + row[3] + " → " + row[4];
}

QTreeWidget* makeTree(const char* name, QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(QString::fromLatin1(name));
  tree->setFont(ui::fixedGothic(9));
  return tree;
}

}  // namespace

F_History::F_History(std::string saveFolder, std::string pcId)
    : saveFolder_(std::move(saveFolder)), pcId_(std::move(pcId)) {
  setObjectName(QStringLiteral("F_History"));
  setWindowTitle(qs("TAVRIX 変更履歴"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(ui::proportionalGothic(9));
  resize(ui::twips(10500), ui::twips(9600));

  auto* title = new QLabel(qs(pcId_), this);
  title->setObjectName(QStringLiteral("LblPcId"));
  title->setFont(ui::proportionalGothic(14.25));
  LstKept = makeTree("LstKept", this);
  LstKept->setRootIsDecorated(false);
  LstKept->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LstKept->setHeaderLabels({qs("No"), qs("作成日"), qs("ファイル")});
  TreeDiff = makeTree("TreeDiff", this);
  TreeDiff->setHeaderHidden(true);
  LblStatus = new QLabel(this);
  LblStatus->setObjectName(QStringLiteral("LblStatus"));
  LblStatus->setWordWrap(true);

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(LstKept);
  split->addWidget(TreeDiff);
  split->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(split, 1);
  layout->addWidget(LblStatus);

  fillList();
  connect(LstKept, &QTreeWidget::itemSelectionChanged, this, [this] { compareSelected(); });
  compareSelected();
  settings_.restoreGeometry(this, kSettingsName);
  ui::keepInsideScreen(this);
  ui::closeOnEscape(this);
}

QString F_History::statusText() const { return LblStatus->text(); }

void F_History::setStatus(const std::string& text) { LblStatus->setText(qs(warnings_ + text)); }

void F_History::fillList() {
  const history::CommandResult kept = history::historyCommand(saveFolder_, pcId_);
  for (const std::string& warning : kept.warnings) warnings_ += warning + "\n";
  if (kept.failed()) warnings_ += kept.error + "\n";
  for (const std::vector<std::string>& row : kept.table.rows)
    LstKept->addTopLevelItem(new QTreeWidgetItem(QStringList{qs(row[0]), qs(row[1]), qs(row[2])}));
  for (int c = 0; c < LstKept->columnCount(); ++c) LstKept->resizeColumnToContents(c);
  // The two newest are compared until the user selects others.
  const QSignalBlocker quiet(LstKept);
  for (int r = 0; r < std::min(2, LstKept->topLevelItemCount()); ++r) LstKept->topLevelItem(r)->setSelected(true);
}

void F_History::compareSelected() {
  TreeDiff->clear();
  if (LstKept->topLevelItemCount() == 1) return setStatus("比較する履歴がありません（保存されたインベントリは1件だけです）");
  if (LstKept->topLevelItemCount() == 0) return setStatus("保存されたインベントリがありません");
  std::vector<int> rows;
  for (int r = 0; r < LstKept->topLevelItemCount(); ++r)
    if (LstKept->topLevelItem(r)->isSelected()) rows.push_back(r);
  if (rows.size() != 2) return setStatus("比較する2件を選んでください");
  showChanges(rows[1], rows[0]);  // the list is newest first
}

void F_History::showChanges(int older, int newer) {
  const history::CommandResult diff =
      history::diffCommand(saveFolder_, pcId_, std::to_string(older + 1), std::to_string(newer + 1));
  if (diff.failed()) return setStatus(diff.error);
  QTreeWidgetItem* section = nullptr;
  for (const std::vector<std::string>& row : diff.table.rows) {
    if (!section || ui::utf8(section->text(0)) != row[0]) {
      section = new QTreeWidgetItem(TreeDiff, QStringList{qs(row[0])});
      section->setExpanded(true);
    }
    auto* line = new QTreeWidgetItem(section, QStringList{qs(changeLine(row))});
    if (row[1] == "+") line->setForeground(0, kAdded);
    if (row[1] == "-") line->setForeground(0, kRemoved);
  }
  const auto dateOf = [this](int row) { return ui::utf8(LstKept->topLevelItem(row)->text(1)); };
  setStatus(dateOf(older) + " → " + dateOf(newer) + (diff.table.rows.empty() ? "：変更はありません" : ""));
}

void F_History::closeEvent(QCloseEvent* event) {
  if (isVisible()) settings_.saveGeometry(this, kSettingsName);
  QWidget::closeEvent(event);
}

}  // namespace tavrix
