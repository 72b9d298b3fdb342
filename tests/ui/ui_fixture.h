// Real windowed batches in a temporary program folder, and helpers that read and click the widgets.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "run/main_batch.h"
#include "platform/db.h"
#include "queries/statement_rows.h"
#include "tests/support/server_database.h"
#include "tests/support/test_support.h"
#include "ui/main/f_main.h"
#include "ui/qt_batch_windows.h"
#include "ui/qt_form_support.h"

namespace tavrix::test {

inline std::vector<std::string> lastLines(const std::vector<std::string>& lines, std::size_t n) {
  return {lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())), lines.end()};
}

using Rows = std::vector<std::vector<std::string>>;

// The texts of a list's row in every column, hidden ones included, as its model gives them.
inline std::vector<std::string> rowTexts(const QTreeView* list, int row) {
  const QAbstractItemModel* model = list->model();
  std::vector<std::string> texts;
  for (int c = 0; c < model->columnCount(); ++c) texts.push_back(ui::utf8(model->index(row, c).data().toString()));
  return texts;
}

inline std::vector<std::string> headerTexts(const QTreeView* list) {
  std::vector<std::string> texts;
  for (int c = 0; c < list->model()->columnCount(); ++c)
    texts.push_back(ui::utf8(list->model()->headerData(c, Qt::Horizontal).toString()));
  return texts;
}

// Every row of a list in display order.
inline Rows rowsOf(const QTreeView* list) {
  Rows rows;
  for (int r = 0; r < list->model()->rowCount(); ++r) rows.push_back(rowTexts(list, r));
  return rows;
}

// Every line of a tree in display order, two blanks of indent per level, each ended by "\n".
inline void appendTree(const QTreeWidgetItem* item, int depth, std::string& out) {
  out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + ui::utf8(item->text(0)) + '\n';
  for (int c = 0; c < item->childCount(); ++c) appendTree(item->child(c), depth + 1, out);
}

inline std::string treeText(const QTreeWidget* tree) {
  std::string out;
  for (int r = 0; r < tree->topLevelItemCount(); ++r) appendTree(tree->topLevelItem(r), 0, out);
  return out;
}

// The "text" of a named control, or the window's caption when name is empty.
inline std::string textOf(const QWidget* window, const char* name) {
  if (*name == '\0') return ui::utf8(window->windowTitle());
  const QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(name));
  return w ? ui::utf8(w->property("text").toString()) : std::string("no ") + name;
}

inline void clickHeader(QTreeView* list, int column) {
  QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                    QPoint(list->header()->sectionViewportPosition(column) + 10, 5));
}

inline void clickRow(QTreeView* list, int row, Qt::KeyboardModifiers keys = {}) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, QPoint(10, list->visualRect(list->model()->index(row, 0)).center().y()));
}

// Once the context menu opened by open() is up, triggers its entry named action; then closes it.
// answerDialog, when given, runs once a modal dialog opened by the entry waits.
inline void chooseFromMenu(const std::function<void()>& open, const char* action,
                    std::function<void(QWidget*)> answerDialog = nullptr) {
  bool found = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* chosen = menu->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(chosen, nullptr) << action;
    found = true;
    if (answerDialog) QTimer::singleShot(0, [&] { answerDialog(QApplication::activeModalWidget()); });
    menu->close();
    chosen->trigger();
  });
  open();
  EXPECT_TRUE(found) << action;
}

// Clicks BtnEND of a window; windows closed with WA_DeleteOnClose are then deleted.
inline void clickEnd(QWidget* window) {
  QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("BtnEND")), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class WindowedRun : public ::testing::Test {
 protected:
  // Remembered window settings go to this test's own folder.
  WindowedRun() {
    s.ProgramFolder = dir.path();
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path() + "/config"));
  }
  ~WindowedRun() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  void writeCsv(const Inventory& inv) { writeInventory(dir.path() + "/csv", inv); }
  // The inventory on a database of the suite's server instead of the file.
  void useServer() { server.emplace(); }
  // Main with the Qt windows, as the program runs it.
  void runMain(const std::string& runMode = "", const std::string& dstrb = sourceDir() + "/dstrb") {
    writeProgramIni(dir.path(), runMode, dstrb);
    if (server) writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "DB_SERVER=" + server->connectionString() + "\r\n");
    Main(s, &windows);
    windows.batchFinished();
  }
  // An UPDATEONLY run builds the database, then sql changes it as an older or damaged one may be.
  void prepareDatabase(const char* sql) {
    runMain("UPDATEONLY");
    db::Connection c;
    openDatabase(c);
    c.execute(sql);
  }
  void openDatabase(db::Connection& c) {
    db::ServerStringProblem problem;
    c.open(server ? db::serverLocation(server->connectionString(), problem).value() : db::Location(dir.path() + "/db/Tavrix.mdb"));
  }
  // The first value of the first row sql answers, as text.
  std::string firstValue(const std::string& sql) {
    db::Connection c;
    openDatabase(c);
    return queries::readRows(c, sql, {}).at(0).at(0).text();
  }
  F_Main& main() { return *windows.mainWindow(); }
  QTreeView* list() { return main().listView(); }
  std::vector<std::string> log() const { return logMessages(dir.path() + "/log/run.log"); }

  TempDir dir;
  std::optional<ServerDatabase> server;
  RecordingMessageSink messages;
  FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
  RunState s{messages, clock};
  int argc = 1;
  char name[8] = "tavrix";
  char* argv[2] = {name, nullptr};
  QtBatchWindows windows{argc, argv};
};

}  // namespace tavrix::test
