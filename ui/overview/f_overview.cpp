// The overview's cards in two columns, from one read of the figures; a figure's computers in a list
// window (sortable, copied, written as CSV, a double-click opens the detail window).
#include "ui/overview/f_overview.h"

#include <map>

#include <QGridLayout>
#include <QScrollArea>
#include <QTreeView>
#include <QVBoxLayout>

#include "batch/database.h"
#include "queries/fleet_queries.h"
#include "queries/read_one_state.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/qt_result_list.h"
#include "ui/overview/qt_overview_card.h"
#include "ui/qt_form_support.h"
#include "ui/qt_window_settings.h"
#include "views/computer_list.h"

namespace tavrix {

using ui::qs;

namespace {

constexpr std::size_t kComputerRno = 5;  // RNO in the computer lists

std::string countText(std::int64_t n) { return std::to_string(n); }

// A card's title, from its figures (the thresholds are in their items).
QString cardTitle(const std::string& card, const std::string& firstItem) {
  if (card == "computers") return qs("コンピュータ");
  if (card == "os") return qs("OS");
  if (card == "memory") return qs("メモリ");
  if (card == "low_disk") return qs("空きが" + firstItem + "未満の固定ディスク");
  if (card == "not_seen") return qs(firstItem + "日以上インベントリの無いコンピュータ");
  if (card == "missing_update") return qs("多くのコンピュータにある更新が無いコンピュータ");
  if (card == "rare_program") return qs("台数の少ないプログラム");
  return qs("前回のバッチ");
}

// How a row reads on its card: its item and the number written on its bar.
ui::OverviewCard::Row cardRow(const queries::ResultRow& figure, int index) {
  const std::string card = figure[0].text(), item = figure[1].text();
  ui::OverviewCard::Row row;
  row.figure = figure[3].isNull() ? -1 : index;
  row.value = figure[3].isNull() ? 0 : figure[3].toInt();
  row.shown = qs(figure[3].isNull() ? figure[2].text() : countText(row.value) + "台");
  row.item = qs(item);
  if (card == "computers") row.item = qs("台数");
  else if (card == "os" && item.empty()) row.item = qs("(空欄)");
  else if (card == "memory" && item == "unknown") row.item = qs("読めないサイズ");
  else if (card == "low_disk") {
    row.item = qs(item == "unknown" ? "サイズの読めないドライブ" : "空き " + item + "未満");
    row.shown = qs(countText(row.value) + "台 (" + countText(figure[2].toInt()) + "ドライブ)");
  } else if (card == "not_seen") row.item = qs(item + "日より前");
  else if (card == "last_batch") {
    static const std::map<std::string, std::string> kNames = {
        {"finished", "終了"}, {"imported", "取り込んだファイル"}, {"kept", "残したファイル"}, {"rejected", "除いたファイル"}};
    row.item = qs(kNames.contains(item) ? kNames.at(item) : item);
    if (item != "finished") row.shown = qs(figure[2].text() + "件");
  }
  return row;
}

QStringList computerHeaders() {
  QStringList headers;
  for (const ComputerListColumn& column : kComputerListColumns) headers << qs(column.header);
  return headers;
}

}  // namespace

F_Overview::F_Overview(RunState& s) : s_(s), database_(databaseLocation(s)) {
  setObjectName(QStringLiteral("F_Overview"));
  setWindowTitle(qs("TAVRIX 概要"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(ui::proportionalGothic(9));
  resize(ui::twips(14400), ui::twips(10200));
  const DateTime now = s_.TheClock.now();
  figures_ = queries::readOneState(connection_, database_, [&](db::Connection& connection) {
    return queries::fleetOverview(connection, now, {}, &items_);
  });
  addCards();
  ui::keepInsideScreen(this);
  ui::closeOnEscape(this);
}

F_Overview::~F_Overview() {
  delete detail_.data();
  delete listWindow_.data();
}

void F_Overview::addCards() {
  auto* area = new QScrollArea(this);
  area->setWidgetResizable(true);
  auto* sheet = new QWidget(area);
  auto* grid = new QGridLayout(sheet);
  grid->setAlignment(Qt::AlignTop);
  // Every card, in this order, also one without figures (an empty inventory has no OS to count,
  // a batch may not have run yet): it says so.
  static const char* const kCards[] = {"computers",      "os",           "memory",    "low_disk", "not_seen",
                                       "missing_update", "rare_program", "last_batch"};
  std::vector<std::pair<std::string, std::vector<ui::OverviewCard::Row>>> rowsByCard;
  for (const char* card : kCards) rowsByCard.emplace_back(card, std::vector<ui::OverviewCard::Row>{});
  std::map<std::string, std::string> firstItem;
  for (std::size_t f = 0; f < figures_.rows.size(); ++f) {
    const std::string card = figures_.rows[f][0].text();
    const auto rows = std::find_if(rowsByCard.begin(), rowsByCard.end(), [&](const auto& c) { return c.first == card; });
    if (rows == rowsByCard.end()) continue;
    firstItem.try_emplace(card, figures_.rows[f][1].text());
    rows->second.push_back(cardRow(figures_.rows[f], static_cast<int>(f)));
  }
  int place = 0;
  for (auto& [card, rows] : rowsByCard) {
    auto* drawn = new ui::OverviewCard(cardTitle(card, firstItem[card]), std::move(rows), card != "last_batch", sheet);
    drawn->setObjectName(qs("Card_" + card));
    connect(drawn, &ui::OverviewCard::figureClicked, this, [this](int figure) { openFigure(figure); });
    grid->addWidget(drawn, place / 2, place % 2, Qt::AlignTop);
    cards_.push_back(drawn);
    ++place;
  }
  area->setWidget(sheet);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area);
}

ui::ResultList* F_Overview::computers() const { return listWindow_ ? list_ : nullptr; }

void F_Overview::openFigure(int figure) {
  if (figure < 0 || static_cast<std::size_t>(figure) >= items_.size()) return;
  const queries::OverviewItem item = items_[static_cast<std::size_t>(figure)];
  const std::string caption = figures_.rows[static_cast<std::size_t>(figure)][1].text();
  if (!listWindow_) {
    listWindow_ = new QWidget;
    listWindow_->setObjectName(QStringLiteral("OverviewComputers"));
    listWindow_->setAttribute(Qt::WA_DeleteOnClose);
    listWindow_->setFont(font());
    listWindow_->resize(ui::twips(12000), ui::twips(6000));
    ui::keepInsideScreen(listWindow_);
    ui::closeOnEscape(listWindow_);
    list_ = new ui::ResultList("OverviewComputerList", computerHeaders(), s_.Messages, listWindow_);
    (new QVBoxLayout(listWindow_))->addWidget(list_);
    connect(list_->tree(), &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { openDetail(index); });
  }
  listWindow_->setWindowTitle(qs("TAVRIX 概要 - " + item.card + (caption.empty() ? "" : ": " + caption)));
  const DateTime now = s_.TheClock.now();
  try {
    list_->show(queries::readOneState(connection_, database_,
                                      [&](db::Connection& connection) { return queries::overviewComputers(connection, now, item); }));
  } catch (const std::exception& e) {
    list_->clear();
    s_.Messages.show(e.what(), MessageStyle::Exclamation);
  }
  listWindow_->show();
  listWindow_->raise();
}

void F_Overview::openDetail(const QModelIndex& index) {
  if (!index.isValid()) return;
  s_.CurrentRno = static_cast<int>(list_->rowOf(index)[kComputerRno].toInt());
  if (detail_) detail_->unload();
  try {
    detail_ = new F_DetailList(s_, listWindow_);
    detail_->show();
  } catch (const std::exception& e) {
    s_.Messages.show(e.what());
  }
}

}  // namespace tavrix
