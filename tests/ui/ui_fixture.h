// A windowed batch in a temporary program folder, and helpers that read and click the real widgets.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "batch/run_state.h"
#include "tests/support/test_support.h"
#include "ui/qt_batch_windows.h"

class QTreeWidget;
class QWidget;

namespace tavrix::test {

// One inventory CSV: the header line (omitted when createDate is empty) and the basic lines given.
struct Inventory {
  std::string fileName;
  std::string createDate;    // header field 5, e.g. "2004/10/24 10:30"
  std::string computerName;  // the line is left out when empty
  std::string userName;
  std::string osName;
  std::vector<std::string> moreLines = {};  // detail lines, UTF-8, without their ends
};

class WindowedRun : public ::testing::Test {
 protected:
  WindowedRun();
  ~WindowedRun() override;

  // Tavrix.ini with every folder under the program folder, scripts from the source tree.
  void writeIni(const std::string& runMode = "", const std::string& dstrb = sourceDir() + "/dstrb");
  void writeCsv(const Inventory& inventory);
  // Main with the Qt windows, as the program runs it.
  void runMain();
  std::vector<std::string> log() const { return logMessages(dir.path() + "/log/run.log"); }
  std::string databasePath() const { return dir.path() + "/db/Tavrix.mdb"; }

  TempDir dir;
  RecordingMessageSink messages;
  FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
  RunState s{messages, clock};
  int argc = 1;
  char name[8] = "tavrix";
  char* argv[2] = {name, nullptr};
  QtBatchWindows windows{argc, argv};
};

using ListRow = std::array<std::string, 6>;
// Every row of a list in its shown order, all six column texts.
std::vector<ListRow> listRows(const QTreeWidget* list);
// Every line of a tree in display order, indented two blanks per depth level, each ended by "\n".
std::string treeText(const QTreeWidget* tree);
void clickHeader(QTreeWidget* list, int column);
void clickRow(QTreeWidget* list, int row);
void click(QWidget* button);
// Lets windows closed with WA_DeleteOnClose be deleted.
void deletePendingWindows();

}  // namespace tavrix::test
