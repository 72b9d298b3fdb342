// The detail window: shows the tree that loadDetailTree builds, in a fixed-pitch font, with lines.
#include "ui/detail/f_detail_list.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "views/detail/detail_load.h"
#include "ui/detail/qt_tree_lines_style.h"
#include "ui/history/f_history.h"
#include "ui/qt_form_support.h"
#include "views/text_search.h"

namespace tavrix {

using ui::qs;

namespace {
const QString kSettingsName = QStringLiteral("F_DetailList");
constexpr int kLineRole = Qt::UserRole;  // an item's index in display order
}  // namespace

F_DetailList::F_DetailList(RunState& s, QWidget* mainWindow) : mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("F_DetailList"));
  setWindowTitle(QStringLiteral("TAVRIX"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(ui::proportionalGothic(9));
  resize(ui::twips(13500), ui::twips(9600));

  LblTitl = new QLabel(QStringLiteral("TAVRIX"), this);
  LblTitl->setObjectName(QStringLiteral("LblTitl"));
  LblTitl->setFont(ui::proportionalGothic(21.75));

  TxtRNO = new QLineEdit(this);
  TxtRNO->setObjectName(QStringLiteral("TxtRNO"));
  TxtRNO->setReadOnly(true);
  TxtRNO->setFixedWidth(ui::twips(1200));

  BtnEND = new QPushButton(qs("終　了"), this);
  BtnEND->setObjectName(QStringLiteral("BtnEND"));
  BtnEND->setFont(ui::proportionalGothic(14.25));
  BtnEND->setFixedSize(ui::twips(1455), ui::twips(495));
  BtnEND->setAccessibleName(qs("終了"));
  connect(BtnEND, &QPushButton::clicked, this, [this] { BtnEND_Click(); });

  TreeView1 = new QTreeWidget(this);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setFont(ui::fixedGothic(9));
  auto* lines = new TreeLinesStyle;
  lines->setParent(TreeView1);
  TreeView1->setStyle(lines);

  TxtFind = new QLineEdit(this);
  TxtFind->setObjectName(QStringLiteral("TxtFind"));
  TxtFind->setAccessibleName(qs("検索"));
  TxtFind->setPlaceholderText(qs("検索 (Ctrl+F, 次: F3)"));
  TxtFind->setClearButtonEnabled(true);
  TxtFind->setFixedWidth(ui::twips(3000));
  LblFound = new QLabel(this);
  LblFound->setObjectName(QStringLiteral("LblFound"));

  auto* top = new QHBoxLayout;
  top->addWidget(LblTitl);
  top->addSpacing(ui::twips(600));
  top->addWidget(new QLabel(QStringLiteral("RNO"), this));
  top->addWidget(TxtRNO);
  top->addStretch();
  top->addWidget(LblFound);
  top->addWidget(TxtFind);
  top->addSpacing(ui::twips(240));
  top->addWidget(BtnEND);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(TreeView1);
  setTabOrder(TreeView1, TxtFind);
  setTabOrder(TxtFind, BtnEND);

  Form_Load(s);
  addKeysAndMenu();
  placeRemembered_ = settings_.restoreGeometry(this, kSettingsName);
}

void F_DetailList::Form_Load(RunState& s) {
  // Tree settings first: no sorting, root lines, labels editable in place (display only).
  TreeView1->setSortingEnabled(false);
  TreeView1->setRootIsDecorated(true);
  TreeView1->setHeaderHidden(true);
  TreeView1->setColumnCount(1);
  TreeView1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  // Lines keep their full width; a long one scrolls instead of being cut.
  TreeView1->header()->setStretchLastSection(false);
  TreeView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  TxtRNO->setText(qs(txtRnoText(s)));
  tree_ = loadDetailTree(s, &pcId_);
  saveFolder_ = s.CSV_SAVE_DIR;

  // Parents are always added before their children, so one pass in add order builds the tree.
  std::vector<QTreeWidgetItem*> items;
  items.reserve(tree_.nodes().size());
  QList<QTreeWidgetItem*> topLevel;
  for (const DetailNode& node : tree_.nodes()) {
    QTreeWidgetItem* parent = node.parent >= 0 ? items[static_cast<std::size_t>(node.parent)] : nullptr;
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    item->setText(0, qs(node.text));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (!parent) topLevel.append(item);
    items.push_back(item);
  }
  for (const DetailLine& line : tree_.displayOrder()) {
    QTreeWidgetItem* item = items[static_cast<std::size_t>(line.node)];
    item->setData(0, kLineRole, static_cast<int>(lineItems_.size()));
    lineItems_.push_back(item);
    foldedLines_.push_back(foldForSearch(tree_.nodes()[static_cast<std::size_t>(line.node)].text));
  }
  TreeView1->addTopLevelItems(topLevel);
  TreeView1->collapseAll();
}

bool F_DetailList::findNext(bool includeCurrent) {
  const QTreeWidgetItem* current = TreeView1->currentItem();
  int after = current ? current->data(0, kLineRole).toInt() : -1;
  if (includeCurrent && after >= 0) --after;
  const int line = nextMatchingLine(foldedLines_, searchWords(foldForSearch(ui::utf8(TxtFind->text()))), after);
  LblFound->setText(line < 0 && !TxtFind->text().trimmed().isEmpty() ? qs("見つかりません") : QString());
  if (line < 0) return false;
  QTreeWidgetItem* item = lineItems_[static_cast<std::size_t>(line)];
  for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent()) parent->setExpanded(true);
  TreeView1->setCurrentItem(item);
  TreeView1->scrollToItem(item);
  return true;
}

// Ctrl+F to the find field, Enter or F3 for the next match; the tree's context menu.
void F_DetailList::addKeysAndMenu() {
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
    TxtFind->setFocus(Qt::ShortcutFocusReason);
    TxtFind->selectAll();
  });
  connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findNext(); });
  connect(TxtFind, &QLineEdit::returnPressed, this, [this] { findNext(); });
  connect(TxtFind, &QLineEdit::textEdited, this, [this] { findNext(true); });
  TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { showTreeMenu(at); });
}

void F_DetailList::showTreeMenu(const QPoint& at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("TreeMenu"));
  connect(ui::addMenuAction(menu, "ActExpandAll", "すべて展開(&E)"), &QAction::triggered, TreeView1,
          &QTreeWidget::expandAll);
  connect(ui::addMenuAction(menu, "ActCollapseAll", "すべて折りたたむ(&L)"), &QAction::triggered, TreeView1,
          &QTreeWidget::collapseAll);
  menu.addSeparator();
  QTreeWidgetItem* current = TreeView1->currentItem();
  connect(ui::addMenuAction(menu, "ActCopyLine", "選択した行をコピー(&C)", current != nullptr), &QAction::triggered,
          this, [this] {
            if (QTreeWidgetItem* item = TreeView1->currentItem()) QApplication::clipboard()->setText(item->text(0));
          });
  connect(ui::addMenuAction(menu, "ActCopyTree", "ツリー全体をテキストでコピー(&T)"), &QAction::triggered, this,
          [this] { QApplication::clipboard()->setText(qs(treeText())); });
  menu.addSeparator();
  connect(ui::addMenuAction(menu, "ActHistory", "変更履歴(&H)…", !pcId_.empty()), &QAction::triggered, this,
          [this] { openHistory(); });
  menu.exec(TreeView1->viewport()->mapToGlobal(at));
}

// One history window per detail window; asking again brings it to the front.
void F_DetailList::openHistory() {
  if (!history_) history_ = new F_History(saveFolder_, pcId_);
  history_->show();
  history_->raise();
  history_->activateWindow();
}

void F_DetailList::showMainWindow() {
  if (mainWindow_) mainWindow_->show();
}

void F_DetailList::BtnEND_Click() {
  showMainWindow();
  unload();
}

void F_DetailList::unload() { close(); }

// The close box works like BtnEND, so the hidden main window is never left behind.
void F_DetailList::closeEvent(QCloseEvent* event) {
  if (isVisible()) settings_.saveGeometry(this, kSettingsName);
  if (history_) history_->close();  // it belongs to this computer's window
  if (event->spontaneous()) showMainWindow();
  QWidget::closeEvent(event);
}

}  // namespace tavrix
