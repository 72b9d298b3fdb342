// The main window: title, version and date labels, the computer list and the close button.
#include "ui/main/f_main.h"

#include <exception>
#include <string>

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "batch/run_log.h"
#include "platform/db.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/f_fleet.h"
#include "ui/main/computer_list.h"
#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;
using ui::twipsRect;

namespace {

constexpr int kRnoColumn = 5;

// Rows sort by their shown text, ignoring case like the database's text comparison.
class ComputerListItem : public QTreeWidgetItem {
 public:
  explicit ComputerListItem(const ComputerListRow& row) {
    for (int c = 0; c < static_cast<int>(row.size()); ++c) setText(c, qs(row[static_cast<std::size_t>(c)]));
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  }
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
  }
};

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
  setFixedSize(ui::twips(12315), ui::twips(8160));

  auto* shape = new QFrame(this);
  shape->setObjectName(QStringLiteral("Shape1"));
  shape->setFrameStyle(QFrame::Box | QFrame::Plain);
  shape->setGeometry(twipsRect(240, 720, 11835, 4755));

  LblTitl = makeLabel(this, "LblTitl", "TAVRIX", twipsRect(630, 30, 1635, 435));
  LblTitl->setFont(ui::proportionalGothic(21.75));
  LblVersion = makeLabel(this, "LblVersion", "Ver.", twipsRect(8040, 120, 2415, 255));
  LblDate = makeLabel(this, "LblDate", "現在：yyyy/mm/dd", twipsRect(8040, 360, 2415, 255));

  BtnEND = new QPushButton(qs("終　了"), this);
  BtnEND->setObjectName(QStringLiteral("BtnEND"));
  BtnEND->setFont(ui::proportionalGothic(14.25));
  BtnEND->setGeometry(twipsRect(10800, 120, 1455, 495));
  connect(BtnEND, &QPushButton::clicked, this, [this] { BtnEND_Click(); });

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(twipsRect(360, 840, 11595, 4515));
  // Half-width digits, as in the Windows font, keep "yyyy/mm/dd hh:nn" inside its 1600-twip column.
  ListView1->setFont(ui::fixedGothic(9));
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // BeforeLabelEdit: always cancelled
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsMovable(false);
  buildList();
  connect(ListView1->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { ListView1_ColumnClick(column); });
  connect(ListView1, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { ListView1_ItemClick(item); });

  // The fleet questions: bottom right of the free area under the list, so no designed control moves.
  BtnFleet = new QPushButton(qs("フリート照会…"), this);
  BtnFleet->setObjectName(QStringLiteral("BtnFleet"));
  BtnFleet->setGeometry(twipsRect(10275, 7500, 1800, 420));
  connect(BtnFleet, &QPushButton::clicked, this, [this] { openFleet(); });

  Form_Load();
}

F_Main::~F_Main() {
  delete detail_.data();
  delete fleet_.data();
}

F_DetailList* F_Main::detailWindow() const { return detail_.data(); }
F_Fleet* F_Main::fleetWindow() const { return fleet_.data(); }

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

// The six headers with their widths; the one-twip RNO column holds data but is not shown.
void F_Main::buildList() {
  QStringList headers;
  for (const ComputerListColumn& column : kComputerListColumns) headers << qs(column.header);
  ListView1->setColumnCount(static_cast<int>(kComputerListColumns.size()));
  ListView1->setHeaderLabels(headers);
  for (int c = 0; c < static_cast<int>(kComputerListColumns.size()); ++c)
    ListView1->setColumnWidth(c, ui::twips(kComputerListColumns[static_cast<std::size_t>(c)].widthTwips));
  ListView1->setColumnHidden(kRnoColumn, true);
  // Sorting stays off (rows in database order) while the headers still take clicks.
  ListView1->header()->setSectionsClickable(true);
}

bool F_Main::F21_List(RunState& s) {
  buildList();
  ListView1->clear();
  try {
    const std::vector<ComputerListRow> rows = readComputerList(s);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const ComputerListRow& row : rows) items.append(new ComputerListItem(row));
    ListView1->addTopLevelItems(items);
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
  ListView1->header()->setSortIndicatorShown(true);
  ListView1->sortItems(column, Qt::AscendingOrder);
}

void F_Main::ListView1_ItemClick(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  bool ok = false;
  const int rno = item->text(kRnoColumn).toInt(&ok);
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
  if (detail_) hide();  // never leave the program without a visible window
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
  QWidget::closeEvent(event);
}

void F_CLOSE_ALL(RunState& s) {
  F_WRITE_LOG(s, kEqualsLine);
  F_WRITE_LOG(s, s.FailureMessage);
  F_WRITE_LOG(s, kEqualsLine);
  ui::closeEveryWindow(nullptr);
}

}  // namespace tavrix
