// The fleet window: software with its computers, updates with the computers that have and lack each,
// and the text search; a double-click on a computer opens its detail window.
#include "ui/fleet/f_fleet.h"

#include <array>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "batch/database.h"
#include "queries/fleet_queries.h"
#include "queries/search_pages.h"
#include "queries/search_sections.h"
#include "queries/read_one_state.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/qt_result_list.h"
#include "ui/fleet/qt_search_run.h"
#include "views/computer_list.h"
#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;

namespace {

constexpr std::size_t kComputerRno = 5;  // RNO in the computer lists
constexpr std::size_t kSearchRno = 2;    // RNO in the search rows
constexpr std::size_t kSearchPageRows = 1000;  // a search's rows read at a time, whole computers

QStringList computerHeaders() {
  QStringList headers;
  for (const ComputerListColumn& column : kComputerListColumns) headers << qs(column.header);
  return headers;
}

QStringList headers(std::initializer_list<const char*> texts) {
  QStringList out;
  for (const char* text : texts) out << qs(text);
  return out;
}

std::optional<std::string> filterOf(const QLineEdit* edit) {
  const std::string text = ui::utf8(edit->text());
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

QLineEdit* makeEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setClearButtonEnabled(true);
  return edit;
}

// A caption, the field beside it, and the given widgets below.
QWidget* page(const char* caption, QLineEdit* edit, std::initializer_list<QWidget*> extras, QWidget* body) {
  auto* tab = new QWidget;
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(qs(caption), tab);
  label->setObjectName(edit->objectName() + QStringLiteral("Caption"));
  row->addWidget(label);
  row->addWidget(edit, 1);
  for (QWidget* extra : extras) row->addWidget(extra);
  auto* layout = new QVBoxLayout(tab);
  layout->addLayout(row);
  layout->addWidget(body, 1);
  return tab;
}

}  // namespace

// The batch may write the database while the window is open: each answer is read from one state.
template <typename Question>
auto F_Fleet::ask(Question question) {
  return queries::readOneState(connection_, database_, question);
}

F_Fleet::F_Fleet(RunState& s) : s_(s), database_(databaseLocation(s)) {
  setObjectName(QStringLiteral("F_Fleet"));
  setWindowTitle(qs("TAVRIX フリート照会"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(ui::proportionalGothic(9));
  resize(ui::twips(13500), ui::twips(9600));
  connection_.openReadOnly(database_);  // a database that cannot be read fails the window at once

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("FleetTabs"));
  tabs_->addTab(softwareTab(), qs("ソフトウェア"));
  tabs_->addTab(updatesTab(), qs("更新プログラム"));
  tabs_->addTab(searchTab(), qs("検索"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  // The place, size, column widths and sorts the user left; inside the screen whatever they were.
  settings_.restoreGeometry(this, objectName());
  for (ui::ResultList* list : findChildren<ui::ResultList*>()) list->remember(&settings_, objectName() + QLatin1Char('_') + list->objectName());
  // Esc stops a running search, else empties the shown tab's field, else closes the window.
  ui::closeOnEscape(this, [this] {
    if (search_->running()) return search_->stop(), true;
    QLineEdit* field = std::array{softwareFilter_, updateFilter_, searchText_}[static_cast<std::size_t>(std::max(0, tabs_->currentIndex()))];
    if (field->text().isEmpty()) return false;
    field->clear();
    return true;
  });
  fillSoftware();
  // The updates are counted when their tab is first shown, so the window opens at the cost of one question.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == 1 && !updatesFilled_) fillUpdates();
  });
}

F_Fleet::~F_Fleet() {
  saveWindowState();
  delete detail_.data();
}

// Inside the screen once the window system has put its frame around it.
void F_Fleet::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ui::keepInsideScreen(this);
}

void F_Fleet::closeEvent(QCloseEvent* event) {
  saveWindowState();
  QWidget::closeEvent(event);
}

void F_Fleet::saveWindowState() {
  if (!isVisible()) return;
  settings_.saveGeometry(this, objectName());
  for (const ui::ResultList* list : findChildren<ui::ResultList*>()) list->saveState();
}

F_DetailList* F_Fleet::detailWindow() const { return detail_.data(); }

QWidget* F_Fleet::softwareTab() {
  softwareFilter_ = makeEdit("SoftwareFilter", this);
  software_ = new ui::ResultList("SoftwareList", headers({"ソフトウェア名", "バージョン", "台数"}), s_.Messages, this);
  softwareComputers_ = new ui::ResultList("SoftwareComputers", computerHeaders(), s_.Messages, this);
  softwareComputers_->setHeading(qs("インストール済み"));
  softwareLacking_ = new ui::ResultList("SoftwareLacking", computerHeaders(), s_.Messages, this);
  softwareLacking_->setHeading(qs("未インストール"));
  auto* computers = new QSplitter(Qt::Horizontal, this);
  computers->addWidget(softwareComputers_);
  computers->addWidget(softwareLacking_);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(software_);
  split->addWidget(computers);
  connect(softwareFilter_, &QLineEdit::textChanged, this, [this] { fillSoftware(); });
  connect(software_->tree()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { softwareSelected(); });
  for (ui::ResultList* list : {softwareComputers_, softwareLacking_})
    connect(list->tree(), &QTreeView::doubleClicked, this,
            [this, list](const QModelIndex& index) { openDetail(list, index, kComputerRno); });
  return page("名前に含む:", softwareFilter_, {}, split);
}

QWidget* F_Fleet::updatesTab() {
  updateFilter_ = makeEdit("UpdateFilter", this);
  updates_ = new ui::ResultList("UpdateList", headers({"更新名", "台数"}), s_.Messages, this);
  updateHaving_ = new ui::ResultList("UpdateHaving", computerHeaders(), s_.Messages, this);
  updateMissing_ = new ui::ResultList("UpdateMissing", computerHeaders(), s_.Messages, this);
  updateHaving_->setHeading(qs("適用済み"));
  updateMissing_->setHeading(qs("未適用"));
  auto* computers = new QSplitter(Qt::Horizontal, this);
  computers->addWidget(updateHaving_);
  computers->addWidget(updateMissing_);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(updates_);
  split->addWidget(computers);
  connect(updateFilter_, &QLineEdit::textChanged, this, [this] { fillUpdates(); });
  connect(updates_->tree()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateSelected(); });
  for (ui::ResultList* list : {updateHaving_, updateMissing_})
    connect(list->tree(), &QTreeView::doubleClicked, this,
            [this, list](const QModelIndex& index) { openDetail(list, index, kComputerRno); });
  return page("名前に含む:", updateFilter_, {}, split);
}

QWidget* F_Fleet::searchTab() {
  searchText_ = makeEdit("SearchText", this);
  searchButton_ = new QPushButton(qs("検　索"), this);
  searchButton_->setObjectName(QStringLiteral("SearchButton"));
  stopButton_ = new QPushButton(qs("中　止"), this);
  stopButton_->setObjectName(QStringLiteral("SearchStop"));
  stopButton_->setEnabled(false);
  search_ = new ui::SearchRun(database_, this);
  found_ = new ui::ResultList(
      "SearchList", headers({"コンピュータ名", "ＣＳＶファイル名", "RNO", "テーブル", "項目", "値", "セクション"}), s_.Messages, this);
  searchSection_ = new QComboBox(this);
  searchSection_->setObjectName(QStringLiteral("SearchSection"));
  searchSection_->addItem(qs("すべてのセクション"), QString());
  try {
    const auto tables = ask([](db::Connection& c) { return searchindex::searchedTables(c); });
    for (const queries::TableSection& known : queries::sectionsIn(tables)) searchSection_->addItem(qs(known.section), qs(known.table));
  } catch (const std::exception& e) {
    s_.Messages.show(e.what(), MessageStyle::Exclamation);  // every section is still searched
  }
  searchExact_ = new QCheckBox(qs("完全一致"), this);
  searchExact_->setObjectName(QStringLiteral("SearchExact"));
  connect(searchButton_, &QPushButton::clicked, this, [this] { runSearch(); });
  connect(stopButton_, &QPushButton::clicked, this, [this] { search_->stop(); });
  connect(searchText_, &QLineEdit::returnPressed, this, [this] { runSearch(); });
  connect(found_->tree(), &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { openDetail(found_, index, kSearchRno); });
  QWidget* tab = page("含む文字列:", searchText_, {searchSection_, searchExact_, searchButton_, stopButton_}, found_);
  auto* caption = tab->findChild<QLabel*>(QStringLiteral("SearchTextCaption"));
  connect(searchExact_, &QCheckBox::toggled, caption,
          [caption](bool whole) { caption->setText(qs(whole ? "一致する文字列:" : "含む文字列:")); });
  return tab;
}

template <typename Question>
void F_Fleet::fill(ui::ResultList* list, Question question) {
  try {
    list->show(question());
  } catch (const std::exception& e) {
    list->clear();
    s_.Messages.show(e.what(), MessageStyle::Exclamation);
  }
}

template <typename Question>
void F_Fleet::showSides(ui::ResultList* having, ui::ResultList* lacking, Question question) {
  try {
    auto [with, without] = ask(question);
    having->show(std::move(with), nullptr);
    lacking->show(std::move(without), nullptr);
  } catch (const std::exception& e) {
    having->clear();
    lacking->clear();
    s_.Messages.show(e.what(), MessageStyle::Exclamation);
  }
}

void F_Fleet::fillSoftware() {
  fill(software_, [&] { return ask([&](db::Connection& c) { return queries::softwareSummary(c, filterOf(softwareFilter_)); }); });
  softwareComputers_->clear();
  softwareLacking_->clear();
}

void F_Fleet::fillUpdates() {
  updatesFilled_ = true;
  fill(updates_, [&] { return ask([&](db::Connection& c) { return queries::updateSummary(c, filterOf(updateFilter_)); }); });
  updateHaving_->clear();
  updateMissing_->clear();
}

void F_Fleet::softwareSelected() {
  const QModelIndex chosen = software_->selectedRow();
  if (!chosen.isValid()) return softwareComputers_->clear(), softwareLacking_->clear();
  const queries::ResultRow row = software_->rowOf(chosen);
  showSides(softwareComputers_, softwareLacking_, [&](db::Connection& c) { return queries::computersWithAndWithoutProgram(c, row[0], row[1]); });
}

void F_Fleet::updateSelected() {
  const QModelIndex chosen = updates_->selectedRow();
  if (!chosen.isValid()) return updateHaving_->clear(), updateMissing_->clear();
  const std::string name = updates_->rowOf(chosen)[0].text();
  showSides(updateHaving_, updateMissing_, [&](db::Connection& c) { return queries::computersWithAndWithoutUpdate(c, name); });
}

// The first page is read on the search's thread, the old answer cleared meanwhile; the list reads
// the next ones as it is scrolled (or sorted).
void F_Fleet::runSearch() {
  if (search_->running()) return;  // stopped first ("中　止" or Esc)
  const queries::SearchText what(ui::utf8(searchText_->text()), searchExact_->isChecked(),
                                 ui::utf8(searchSection_->currentData().toString()));
  found_->clear();
  if (what.text.empty()) return;
  showSearching(true);
  search_->start(what, kSearchPageRows, [this](ui::SearchRun::Start start) {
    showSearching(false);
    if (!start.pages) {
      found_->clear();
      return s_.Messages.show(start.error, MessageStyle::Exclamation);
    }
    searchStarted(std::move(start.pages), std::move(start.first));
  });
}

void F_Fleet::searchStarted(std::shared_ptr<queries::SearchPages> pages, queries::SearchPage first) {
  pages->take(first);
  const bool stopped = first.stopped;
  auto firstRows = std::make_shared<std::vector<queries::ResultRow>>(std::move(first.rows));
  found_->show(queries::ResultRows(queries::SearchPages::columns()), [this, pages, firstRows, stopped](queries::ResultRows& rows) {
    if (!firstRows->empty() || stopped) {  // the page the thread read comes first
      for (const queries::ResultRow& row : *firstRows) rows.append(row);
      firstRows->clear();
      return !stopped && !pages->atEnd();
    }
    try {
      const queries::SearchPage page = search_->readPage(*pages, kSearchPageRows);
      pages->take(page);
      for (const queries::ResultRow& row : page.rows) rows.append(row);
      return !pages->atEnd();
    } catch (const std::exception& e) {
      s_.Messages.show(e.what(), MessageStyle::Exclamation);
      return false;
    }
  });
  if (stopped) found_->setNote(qs("(検索を中止しました)"));
}

void F_Fleet::showSearching(bool running) {
  searchButton_->setEnabled(!running);
  stopButton_->setEnabled(running);
  if (running) {
    setCursor(Qt::BusyCursor);
    found_->setNote(qs("検索中…"));
  } else {
    unsetCursor();
  }
}

void F_Fleet::openDetail(const ui::ResultList* list, const QModelIndex& index, std::size_t rnoColumn) {
  if (!index.isValid()) return;
  s_.CurrentRno = static_cast<int>(list->rowOf(index)[rnoColumn].toInt());
  if (detail_) detail_->unload();
  try {
    detail_ = new F_DetailList(s_, this);
    detail_->show();
    if (!detail_->placeRemembered()) ui::placeBeside(detail_, this);  // the fleet window stays in view
  } catch (const std::exception& e) {
    s_.Messages.show(e.what());
  }
}

}  // namespace tavrix
