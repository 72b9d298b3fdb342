// The detail window: shows the tree that loadDetailTree builds, in a fixed-pitch font.
#include "ui/detail/f_detail_list.h"

#include <vector>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/detail/detail_load.h"
#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;

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
  connect(BtnEND, &QPushButton::clicked, this, [this] { BtnEND_Click(); });

  TreeView1 = new QTreeWidget(this);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setFont(ui::fixedGothic(9));

  auto* top = new QHBoxLayout;
  top->addWidget(LblTitl);
  top->addSpacing(ui::twips(600));
  top->addWidget(new QLabel(QStringLiteral("RNO"), this));
  top->addWidget(TxtRNO);
  top->addStretch();
  top->addWidget(BtnEND);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(TreeView1);

  Form_Load(s);
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
  const DetailTree tree = loadDetailTree(s);

  // Parents are always added before their children, so one pass in add order builds the tree.
  std::vector<QTreeWidgetItem*> items;
  items.reserve(tree.nodes().size());
  QList<QTreeWidgetItem*> topLevel;
  for (const DetailNode& node : tree.nodes()) {
    QTreeWidgetItem* parent = node.parent >= 0 ? items[static_cast<std::size_t>(node.parent)] : nullptr;
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    item->setText(0, qs(node.text));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (!parent) topLevel.append(item);
    items.push_back(item);
  }
  TreeView1->addTopLevelItems(topLevel);
  TreeView1->collapseAll();
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
  if (event->spontaneous()) showMainWindow();
  QWidget::closeEvent(event);
}

}  // namespace tavrix
