// Views benchmark: the computer list of a 10,000-computer database (target < 0.3 s) and the detail
// tree of the largest demo computer (target < 0.1 s), on a database built and filled by the real batch.
// With the Qt windows built it also times F21_List into ListView1 and opening F_DetailList.
// Usage: views_bench [--computers=N (default 10000)] [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/database.h"
#include "bench/bench_folder.h"
#include "run/main_batch.h"
#include "batch/run_state.h"
#include "platform/text.h"
#include "tools/samples.h"
#include "views/detail/detail_load.h"
#include "views/computer_list.h"

#ifdef TAVRIX_BENCH_WIDGETS
#include <QApplication>
#include <QLineEdit>
#include <QTreeView>

#include "ui/detail/f_detail_list.h"
#include "ui/main/f_main.h"
#include "ui/main/qt_computer_list_model.h"
#include "ui/main/qt_list_filter_bar.h"
#endif

namespace {

namespace fs = std::filesystem;
using tavrix::bench::writeIni;
using namespace tavrix;

constexpr int kDemoComputers = 40;  // the demo fleet: tools/demo.sh
constexpr std::uint64_t kDemoSeed = 7;

class CountingSink : public MessageSink {
 public:
  void show(const std::string& text, MessageStyle) override {
    if (count++ < 5) std::fprintf(stderr, "TAVRIX: %s\n", text.c_str());
  }
  int count = 0;
};

struct Workload {
  fs::path folder;
  std::string database;
  int computers = 0;
  int largestRno = 0;
  std::string largestPcId;
  int largestLines = 0;
};

// The demo fleet through the real batch: scripts build the database, the import fills it.
void importDemoFleet(Workload& w) {
  writeIni(w.folder);
  samples::writeFleet((w.folder / "csv").string(), kDemoComputers, kDemoSeed);
  CountingSink sink;
  SystemClock clock;
  RunState s(sink, clock);
  s.ProgramFolder = w.folder.string();
  runBatch(s, nullptr);
  if (sink.count) throw std::runtime_error("the batch showed messages; see " + (w.folder / "log").string());
  w.database = (w.folder / "db" / "Tavrix.mdb").string();
  for (int i = 1; i <= kDemoComputers; ++i) {
    samples::Computer c = samples::makeComputer(kDemoSeed, i);
    if (c.lines > w.largestLines) w.largestLines = c.lines, w.largestPcId = c.pcId;
  }
}

// A stored creation time a minute apart per computer, so the dates are as varied as a fleet's.
std::string createdAt(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:00", 2004 + i / 483840 % 20, 1 + i / 40320 % 12,
                1 + i / 1440 % 28, i / 60 % 24, i % 60);
  return text;
}

// More T_BasicInf rows, copies of the largest computer's under new ids, users and creation times,
// added with a cached INSERT.
void addBasicRows(Workload& w) {
  db::Connection connection;
  connection.open(w.database);
  std::vector<std::string> names;
  std::vector<db::Value> values;
  {
    db::ReadOnlyRecordSet basic(connection, "SELECT * FROM T_BasicInf where PCid='" + text::quoteSqlText(w.largestPcId) + "'");
    if (basic.eof()) throw std::runtime_error("the largest computer was not imported");
    for (const std::string& name : basic.fieldNames()) {
      if (name == "RNO") {
        w.largestRno = static_cast<int>(basic.field(name).toInt());
        continue;
      }
      names.push_back(name);
      values.push_back(basic.field(name));
    }
  }
  connection.begin();
  db::UpdatableRecordSet add(connection, "SELECT * FROM T_BasicInf");
  for (int i = kDemoComputers + 1; i <= w.computers; ++i) {
    for (std::size_t f = 0; f < names.size(); ++f) {
      if (names[f] == "PCid") values[f] = samples::pcIdOf(i);
      if (names[f] == "ComputerName") values[f] = "PC-" + std::to_string(i);
      if (names[f] == "UserName") values[f] = "user-" + std::to_string(i % 20000);  // a fleet's users repeat
      if (names[f] == "CreateDate") values[f] = createdAt(i);
    }
    add.addNew(names, values);
    add.update();
  }
  add.close();
  connection.commit();
  connection.close();
}

// A run state on the workload's database, its messages counted.
struct BenchRun {
  explicit BenchRun(const Workload& w) : state(sink, clock) { state.MDB_NAME = w.database; }
  CountingSink sink;
  SystemClock clock;
  RunState state;
};

void listFill(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  if (F_OPEN_DB(s)) throw std::runtime_error("cannot open " + w->database);
  std::size_t rows = 0;
  for (auto _ : state) {
    auto list = readComputerList(s.DbConnection);  // F21_List's texts; the connection is open, as in the batch
    rows = list.size();
    benchmark::DoNotOptimize(list);
  }
  closeDbConnection(s);
  state.counters["rows"] = static_cast<double>(rows);
}

void largestTree(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  std::size_t nodes = 0;
  for (auto _ : state) {
    s.CurrentRno = w->largestRno;
    DetailTree tree = loadDetailTree(s);  // opens and closes the connection, as the window does
    nodes = tree.nodes().size();
    benchmark::DoNotOptimize(tree);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["csv_lines"] = w->largestLines;
  if (run.sink.count) state.SkipWithError("the load showed messages");
}

#ifdef TAVRIX_BENCH_WIDGETS
// F21_List into the real ListView1 on a connection opened for it, as a run fills it once: query,
// texts and model, with the database's page cache starting empty.
void listViewFill(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  F_Main window(s);
  for (auto _ : state) {
    if (F_OPEN_DB(s)) throw std::runtime_error("cannot open " + w->database);
    if (window.F21_List(s)) state.SkipWithError("F21_List failed");
    closeDbConnection(s);
  }
  state.counters["rows"] = window.listView()->model()->rowCount();
  state.counters["bytes_per_row"] = static_cast<double>(window.listModel()->memoryBytes()) /
                                    static_cast<double>(std::max<std::size_t>(1, window.listModel()->totalCount()));
}

// Typing into the list's filter over every row, one character at a time, with the shown window
// laid out and painted after each key; the time per keystroke is the "per_key" counter.
void filterTyping(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  if (F_OPEN_DB(s)) throw std::runtime_error("cannot open " + w->database);
  F_Main window(s);
  if (window.F21_List(s)) state.SkipWithError("F21_List failed");
  closeDbConnection(s);
  window.show();
  QApplication::processEvents();
  QLineEdit* filter = window.filterBar()->field();
  const QString typed = QStringLiteral("pc-12 xp");  // narrows step by step, then widens on clear
  for (auto _ : state) {
    for (const QChar ch : typed) {
      filter->insert(QString(ch));
      QApplication::processEvents();
    }
    filter->clear();
    QApplication::processEvents();
  }
  state.counters["rows"] = window.listView()->model()->rowCount();
  state.counters["per_key"] = benchmark::Counter(static_cast<double>(typed.size() + 1),
                                                 benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A click on each header of the filled list in turn, each sorting every row (the ranks of a
// column's texts are made on its first click); the time per click is the "per_click" counter.
void sortClicks(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  if (F_OPEN_DB(s)) throw std::runtime_error("cannot open " + w->database);
  F_Main window(s);
  const int columns[] = {0, 1, 2, 3, 4};
  for (auto _ : state) {
    state.PauseTiming();
    if (window.F21_List(s)) state.SkipWithError("F21_List failed");
    state.ResumeTiming();
    for (const int column : columns) window.listModel()->sortAscending(column);
  }
  closeDbConnection(s);
  state.counters["rows"] = window.listView()->model()->rowCount();
  state.counters["per_click"] = benchmark::Counter(static_cast<double>(std::size(columns)),
                                                   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// F_DetailList of the largest demo computer: the load and the tree widget.
void detailWindow(benchmark::State& state, const Workload* w) {
  BenchRun run(*w);
  RunState& s = run.state;
  F_Main main(s);
  for (auto _ : state) {
    s.CurrentRno = w->largestRno;
    F_DetailList detail(s, &main);
    benchmark::DoNotOptimize(detail);
  }
  if (run.sink.count) state.SkipWithError("the load showed messages");
}
#endif

int computersArgument(int& argc, char** argv) {
  int computers = 10000;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--computers=", 0) == 0)
      computers = std::max(kDemoComputers, std::atoi(a.c_str() + 12));
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  return computers;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef TAVRIX_BENCH_WIDGETS
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
#endif
  Workload w;
  w.computers = computersArgument(argc, argv);
  benchmark::Initialize(&argc, argv);
  std::string pattern = (fs::temp_directory_path() / "tavrix-views-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  w.folder = pattern;
  int status = 0;
  try {
    importDemoFleet(w);
    addBasicRows(w);
    std::fprintf(stderr, "database: %d computers; largest demo computer %s (%d CSV lines), RNO %d\n", w.computers,
                 w.largestPcId.c_str(), w.largestLines, w.largestRno);
    benchmark::RegisterBenchmark("ListFill", listFill, &w)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LargestTree", largestTree, &w)->Unit(benchmark::kMillisecond);
#ifdef TAVRIX_BENCH_WIDGETS
    benchmark::RegisterBenchmark("ListView1Fill", listViewFill, &w)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DetailWindow", detailWindow, &w)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FilterTyping", filterTyping, &w)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SortClicks", sortClicks, &w)->Unit(benchmark::kMillisecond);
#endif
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "views_bench: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  fs::remove_all(w.folder, ec);
  return status;
}
