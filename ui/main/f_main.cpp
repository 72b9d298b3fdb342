// The main window: title, version and date labels, the computer list and the close button.
#include "ui/main/f_main.h"

#include <exception>
#include <string>

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

#include "batch/run_log.h"
#include "platform/db.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/f_fleet.h"
#include "ui/overview/f_overview.h"
#include "views/computer_list.h"
#include "ui/main/qt_computer_list_model.h"
#include "ui/main/qt_list_actions.h"
#include "ui/main/qt_list_filter_bar.h"
#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;
using ui::twipsRect;

namespace {

constexpr int kRnoColumn = 5;
const QString kSettingsName = QStringLiteral("F_Main");

// The designed client area; the window may grow from it, never shrink below it.
QSize designedSize() { return QSize(ui::twips(12315), ui::twips(8160)); }
// The strip under the list for our own controls: its top at the designed size, and its height.
constexpr int kFreeAreaTopTwips = 5610;
constexpr int kFreeAreaHeightTwips = 420;

std::vector<int> designedColumnWidths() {
  std::vector<int> widths;
  for (const ComputerListColumn& column : kComputerListColumns) widths.push_back(ui::twips(column.widthTwips));
  return widths;
}

QLabel* makeLabel(QWidget* parent, const char* name, std::string_view text, QRect where) {
  auto* label = new QLabel(qs(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(where);
  return label;
}

}  // namespace

F_Main::F_Main(RunState& s) : s_(s) {
  setObjectName(QStringLiteral("F_Main"));
  setWindowTitle(QStringLiteral("TAVRIX main"));
  setFont(ui::proportionalGothic(9));
  setMinimumSize(designedSize());
  resize(designedSize());

  Shape1 = new QFrame(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape1->setGeometry(twipsRect(240, 720, 11835, 4755));

  LblTitl = makeLabel(this, "LblTitl", "TAVRIX", twipsRect(630, 30, 1635, 435));
  LblTitl->setFont(ui::proportionalGothic(21.75));
  LblVersion = makeLabel(this, "LblVersion", "Ver.", twipsRect(8040, 120, 2415, 255));
  LblDate = makeLabel(this, "LblDate", "現在：yyyy/mm/dd", twipsRect(8040, 360, 2415, 255));

  BtnEND = new QPushButton(qs("終　了"), this);
  BtnEND->setObjectName(QStringLiteral("BtnEND"));
  BtnEND->setFont(ui::proportionalGothic(14.25));
  BtnEND->setGeometry(twipsRect(10800, 120, 1455, 495));
  BtnEND->setAccessibleName(qs("終了"));
  connect(BtnEND, &QPushButton::clicked, this, [this] { BtnEND_Click(); });

  ListView1 = new QTreeView(this);
  listModel_ = new ComputerListModel(ListView1);
  ListView1->setModel(listModel_);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(twipsRect(360, 840, 11595, 4515));
  // Half-width digits, as in the Windows font, keep "yyyy/mm/dd hh:nn" inside its 1600-twip column.
  ListView1->setFont(ui::fixedGothic(9));
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // BeforeLabelEdit: always cancelled
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);  // Shift and Ctrl pick rows to copy
  ListView1->setAccessibleName(qs("コンピュータ一覧"));
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsMovable(false);
  buildList();
  connect(ListView1->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { ListView1_ColumnClick(column); });
  connect(ListView1, &QTreeView::clicked, this, [this](const QModelIndex& item) { ListView1_ItemClick(item); });

  freeArea_ = new QWidget(this);
  freeArea_->setObjectName(QStringLiteral("FreeArea"));
  freeArea_->setGeometry(twipsRect(360, kFreeAreaTopTwips, 11595, kFreeAreaHeightTwips));
  filterBar_ = new ListFilterBar(freeArea_, listModel_);
  auto* freeLayout = new QHBoxLayout(freeArea_);
  freeLayout->setContentsMargins(0, 0, 0, 0);
  freeLayout->addWidget(filterBar_);
  freeLayout->addStretch();
  // The overview and the fleet questions: at the right of the free area, so no designed control moves.
  BtnOverview = new QPushButton(qs("概要…"), freeArea_);
  BtnOverview->setObjectName(QStringLiteral("BtnOverview"));
  BtnOverview->setFixedSize(twipsRect(0, 0, 1200, 420).size());
  BtnOverview->setToolTip(qs("フリートの概要 (Ctrl+O)"));
  connect(BtnOverview, &QPushButton::clicked, this, [this] { openOverview(); });
  freeLayout->addWidget(BtnOverview);
  BtnFleet = new QPushButton(qs("フリート照会…"), freeArea_);
  BtnFleet->setObjectName(QStringLiteral("BtnFleet"));
  BtnFleet->setFixedSize(twipsRect(0, 0, 1800, 420).size());
  connect(BtnFleet, &QPushButton::clicked, this, [this] { openFleet(); });
  freeLayout->addWidget(BtnFleet);
  setTabOrder(ListView1, filterBar_->field());
  setTabOrder(filterBar_->field(), BtnOverview);
  setTabOrder(BtnOverview, BtnFleet);
  setTabOrder(BtnFleet, BtnEND);

  addKeysAndMenu();
  restoreColumns();
  connect(ListView1->header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (!sharingWidths_ && column < static_cast<int>(setWidths_.size())) setWidths_[static_cast<std::size_t>(column)] = width;
  });
  sortColumn_ = settings_.sort(kSettingsName).column;
  settings_.restoreGeometry(this, kSettingsName);
  Form_Load();
}

F_Main::~F_Main() {
  delete detail_.data();
  delete fleet_.data();
  delete overview_.data();
}

F_DetailList* F_Main::detailWindow() const { return detail_.data(); }
F_Fleet* F_Main::fleetWindow() const { return fleet_.data(); }
F_Overview* F_Main::overviewWindow() const { return overview_.data(); }

// Read afresh each time it is opened: the figures are those of the moment.
void F_Main::openOverview() {
  delete overview_.data();
  try {
    overview_ = new F_Overview(s_);
  } catch (const std::exception& e) {
    s_.Messages.show(e.what(), MessageStyle::Exclamation);
    return;
  }
  overview_->show();
  overview_->raise();
}

void F_Main::openFleet() {
  if (!fleet_) {
    try {
      fleet_ = new F_Fleet(s_);
    } catch (const std::exception& e) {
      s_.Messages.show(e.what(), MessageStyle::Exclamation);
      return;
    }
  }
  fleet_->show();
  fleet_->raise();
}

void F_Main::Form_Load() {
  LblVersion->setText(qs("(Ver " + std::to_string(TAVRIX_VERSION_MAJOR) + "." +
                         std::to_string(TAVRIX_VERSION_MINOR) + "." + std::to_string(TAVRIX_VERSION_PATCH) +
                         ")"));
  LblDate->setText(qs("現在：" + s_.TheClock.now().dayText()));
}

// The six columns (the model's headers) with their widths; the one-twip RNO column holds data but
// is not shown.
void F_Main::buildList() {
  const std::vector<int> widths = designedColumnWidths();
  for (int c = 0; c < static_cast<int>(widths.size()); ++c) ListView1->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
  ListView1->setColumnHidden(kRnoColumn, true);
  // Sorting stays off (rows in database order) while the headers still take clicks.
  ListView1->header()->setSectionsClickable(true);
}

bool F_Main::F21_List(RunState& s) {
  buildList();
  restoreColumns();
  listModel_->setRows(ComputerListTable(kComputerListColumns.size()));
  try {
    listModel_->setRows(readComputerList(s.DbConnection));
    // The column the user sorted by last time (ascending, as every sort here).
    if (sortColumn_ >= 0 && sortColumn_ < static_cast<int>(kShownListColumns)) ListView1_ColumnClick(sortColumn_);
    return false;
  } catch (const db::DbError& e) {
    s.FailureMessage = "Tavrix:F21_List Error=(" + std::to_string(e.code()) + ") " + e.what();
  } catch (const std::exception& e) {
    s.FailureMessage = "Tavrix:F21_List Error=(0) " + std::string(e.what());
  }
  F_CLOSE_ALL(s);
  return true;
}

// Ascending by the clicked column, every time: a second click does not reverse the order.
void F_Main::ListView1_ColumnClick(int column) {
  sortColumn_ = column;
  ListView1->header()->setSortIndicatorShown(true);
  ListView1->header()->setSortIndicator(column, Qt::AscendingOrder);
  listModel_->sortAscending(column);
}

void F_Main::ListView1_ItemClick(const QModelIndex& item) {
  if (!item.isValid()) return;
  // Shift and Ctrl clicks only pick rows (for copying); a plain click opens the row.
  if (QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) return;
  bool ok = false;
  const int rno = qs(listModel_->text(item.row(), kRnoColumn)).toInt(&ok);
  if (ok) {
    s_.CurrentRno = rno;
  } else {
    s_.Messages.show("型が一致しません。");
  }
  closeDetail();
  try {
    detail_ = new F_DetailList(s_, this);
    detail_->show();
  } catch (const std::exception& e) {
    s_.Messages.show(e.what());
  }
  if (detail_) {  // never leave the program without a visible window
    placeBeforeDetail_ = isMaximized() ? std::nullopt : std::optional<QPoint>(pos());
    hide();
  }
}

void F_Main::BtnEND_Click() { ui::closeEveryWindow(this); }

void F_Main::closeDetail() {
  if (detail_) detail_->unload();
}

void F_Main::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  saveWindowState();
  QWidget::closeEvent(event);
}

void F_Main::saveWindowState() {
  if (!isVisible()) return;  // hidden behind the detail window: its place was kept when it hid
  settings_.saveGeometry(this, kSettingsName);
  settings_.saveColumnWidths(setWidths_, kSettingsName);  // the widths as set, not as shared out
  settings_.saveSort(kSettingsName, {sortColumn_, true});
}

void F_Main::restoreColumns() {
  sharingWidths_ = true;
  settings_.restoreColumnWidths(ListView1, kSettingsName, designedColumnWidths());
  sharingWidths_ = false;
  setWidths_.clear();
  for (int c = 0; c < ListView1->header()->count(); ++c) setWidths_.push_back(ListView1->columnWidth(c));
  shareColumnWidths();
}

// Growth beyond the set widths is shared by the shown columns in proportion to them, so no column
// is cut while the list has room for it; a narrower list keeps the set widths and scrolls.
void F_Main::shareColumnWidths() {
  int set = 0;
  for (std::size_t c = 0; c < setWidths_.size(); ++c)
    if (!ListView1->isColumnHidden(static_cast<int>(c))) set += setWidths_[c];
  const int room = ListView1->viewport()->width() - set;
  sharingWidths_ = true;
  int given = 0, last = -1;
  for (std::size_t c = 0; c < setWidths_.size(); ++c) {
    if (ListView1->isColumnHidden(static_cast<int>(c))) continue;
    const int share = room > 0 && set > 0 ? static_cast<int>(static_cast<long long>(room) * setWidths_[c] / set) : 0;
    ListView1->setColumnWidth(static_cast<int>(c), setWidths_[c] + share);
    given += share;
    last = static_cast<int>(c);
  }
  if (room > 0 && last >= 0) ListView1->setColumnWidth(last, ListView1->columnWidth(last) + room - given);  // what rounding left
  sharingWidths_ = false;
}

// The designed controls keep their places; the list and its frame take the growth, the free area
// stays at the same distance from the bottom and 終了 at the same distance from the right edge.
void F_Main::resizeEvent(QResizeEvent* event) {
  const QSize grown = size() - designedSize();
  const int dw = std::max(0, grown.width()), dh = std::max(0, grown.height());
  Shape1->setGeometry(twipsRect(240, 720, 11835, 4755).adjusted(0, 0, dw, dh));
  ListView1->setGeometry(twipsRect(360, 840, 11595, 4515).adjusted(0, 0, dw, dh));
  freeArea_->setGeometry(twipsRect(360, kFreeAreaTopTwips, 11595, kFreeAreaHeightTwips).translated(0, dh).adjusted(0, 0, dw, 0));
  BtnEND->setGeometry(twipsRect(10800, 120, 1455, 495).translated(dw, 0));
  QWidget::resizeEvent(event);
}

// Back from the detail window: where it was, not where the window manager would put it.
void F_Main::showEvent(QShowEvent* event) {
  if (placeBeforeDetail_) move(*placeBeforeDetail_);
  placeBeforeDetail_.reset();
  QWidget::showEvent(event);
}

// Enter on the list opens the current row, as a click does.
bool F_Main::eventFilter(QObject* watched, QEvent* event) {
  // The list's inside changes with the window and with its scroll bar: the columns follow it.
  if (watched == ListView1->viewport() && event->type() == QEvent::Resize) shareColumnWidths();
  // Down in the filter goes on into the list, at its current row (the first when there is none).
  if (watched == filterBar_->field() && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
    if (listModel_->rowCount() > 0) {
      if (!ListView1->currentIndex().isValid()) ListView1->setCurrentIndex(listModel_->index(0, 0));
      ListView1->setFocus(Qt::TabFocusReason);
    }
    return true;
  }
  if (watched == ListView1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      openCurrentRow();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void F_Main::openCurrentRow() {
  ListView1_ItemClick(ListView1->currentIndex());
}

// Ctrl+F to the filter, Esc clears it, Enter opens the current row, Ctrl+O the overview; the list's
// context menu.
void F_Main::addKeysAndMenu() {
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this, [this] { openOverview(); });
  QLineEdit* filter = filterBar_->field();
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [filter] {
    filter->setFocus(Qt::ShortcutFocusReason);
    filter->selectAll();
  });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, filter, &QLineEdit::clear);
  ListView1->installEventFilter(this);
  ListView1->viewport()->installEventFilter(this);
  filter->installEventFilter(this);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { showListMenu(at); });
}

void F_Main::showListMenu(const QPoint& at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("ListMenu"));
  const bool selected = ListView1->selectionModel()->hasSelection();
  connect(ui::addMenuAction(menu, "ActOpen", "開く(&O)\tEnter", ListView1->currentIndex().isValid()), &QAction::triggered,
          this, [this] { openCurrentRow(); });
  connect(ui::addMenuAction(menu, "ActCopy", "選択した行をコピー(&C)", selected), &QAction::triggered, this,
          [this] { copySelectedRows(ListView1, false); });
  connect(ui::addMenuAction(menu, "ActCopyWithHeader", "見出し付きでコピー(&H)", selected), &QAction::triggered, this,
          [this] { copySelectedRows(ListView1, true); });
  connect(ui::addMenuAction(menu, "ActExport", "表示中の行をCSVに書き出し(&E)...", true), &QAction::triggered, this, [this] {
    if (const std::string problem = exportShownRows(ListView1, this); !problem.empty()) s_.Messages.show(problem);
  });
  menu.exec(ListView1->viewport()->mapToGlobal(at));
}

void F_CLOSE_ALL(RunState& s) {
  F_WRITE_LOG(s, kEqualsLine);
  F_WRITE_LOG(s, s.FailureMessage);
  F_WRITE_LOG(s, kEqualsLine);
  s.Messages.show(s.FailureMessage);  // the window is about to close: say why, not only in the log
  ui::closeEveryWindow(nullptr);
}

}  // namespace tavrix
