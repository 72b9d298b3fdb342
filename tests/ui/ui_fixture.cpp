// The windowed-run fixture and the widget helpers.
#include "tests/ui/ui_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include "batch/main_batch.h"
#include "ui/qt_form_support.h"

namespace tavrix::test {

WindowedRun::WindowedRun() { s.ProgramFolder = dir.path(); }

WindowedRun::~WindowedRun() { deletePendingWindows(); }

void WindowedRun::writeIni(const std::string& runMode, const std::string& dstrb) {
  writeFile(dir.file("Tavrix.ini"),
            "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=Tavrix.mdb\r\n"
            "CSV_DIR=*\\csv\r\nDSTRB_DIR=" + dstrb + "\r\nRUNMODE=" + runMode + "\r\nCSV_SAVE_DIR=*\\save\r\n");
}

void WindowedRun::writeCsv(const Inventory& inv) {
  std::string body;
  if (!inv.createDate.empty()) body += "0,1,Quillo,x,2.1," + inv.createDate + "\r\n";
  if (!inv.computerName.empty()) body += "1,1,コンピュータ名," + inv.computerName + "\r\n";
  if (!inv.userName.empty()) body += "1,2,ユーザ名," + inv.userName + "\r\n";
  if (!inv.osName.empty()) body += "1,3,ＯＳ," + inv.osName + ",500\r\n";
  for (const std::string& line : inv.moreLines) body += line + "\r\n";
  writeFile(dir.path() + "/csv/" + inv.fileName, cp932(body));
}

void WindowedRun::runMain() {
  Main(s, &windows);
  windows.batchFinished();
}

std::vector<ListRow> listRows(const QTreeWidget* list) {
  std::vector<ListRow> rows;
  for (int r = 0; r < list->topLevelItemCount(); ++r) {
    ListRow row;
    for (int c = 0; c < 6; ++c) row[static_cast<std::size_t>(c)] = ui::utf8(list->topLevelItem(r)->text(c));
    rows.push_back(row);
  }
  return rows;
}

namespace {

void appendItem(const QTreeWidgetItem* item, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += ui::utf8(item->text(0));
  out += '\n';
  for (int c = 0; c < item->childCount(); ++c) appendItem(item->child(c), depth + 1, out);
}

}  // namespace

std::string treeText(const QTreeWidget* tree) {
  std::string out;
  for (int r = 0; r < tree->topLevelItemCount(); ++r) appendItem(tree->topLevelItem(r), 0, out);
  return out;
}

void clickHeader(QTreeWidget* list, int column) {
  QHeaderView* header = list->header();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void clickRow(QTreeWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 10, rect.center().y()));
}

void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

void deletePendingWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace tavrix::test
