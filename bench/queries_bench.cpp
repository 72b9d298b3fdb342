// Fleet questions benchmark: software, updates, computers and search on a database of the generator's
// fleet (10,000 computers, about 8 M detail rows) imported by the real batch. The database is kept in
// the work folder and reused by later runs with the same count. With --server the fleet is imported
// into a PostgreSQL server started for the run instead (tools/pg-test-server.sh), stopped at the end.
// Usage: queries_bench [--computers=N (default 10000)] [--work=FOLDER] [--server] [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "bench/bench_folder.h"
#include "run/main_batch.h"
#include "batch/run_state.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "queries/fleet_overview.h"
#include "queries/fleet_queries.h"
#include "queries/fleet_search.h"
#include "tools/samples.h"

#ifdef TAVRIX_BENCH_WIDGETS
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "platform/message_sink.h"
#include "ui/fleet/f_fleet.h"
#include "ui/fleet/qt_result_list.h"
#endif

namespace {

namespace fs = std::filesystem;
using tavrix::bench::writeIni;
using namespace tavrix;

constexpr std::uint64_t kSeed = 1;  // the fleet of import_bench

class CountingSink : public MessageSink {
 public:
  void show(const std::string& text, MessageStyle) override {
    if (count++ < 5) std::fprintf(stderr, "TAVRIX: %s\n", text.c_str());
  }
  int count = 0;
};

void importFleet(const fs::path& folder, int count) {
  samples::writeFleet((folder / "csv").string(), count, kSeed);
  CountingSink sink;
  SystemClock clock;
  RunState s(sink, clock);
  s.ProgramFolder = folder.string();
  runBatch(s, nullptr);
  if (sink.count) throw std::runtime_error("the batch showed messages; see " + (folder / "log").string());
  fs::remove_all(folder / "save");
}

// The database of count computers in folder/<count>/db, imported by the real batch unless it is there.
db::Location fleetDatabase(const fs::path& work, int count) {
  const fs::path folder = work / std::to_string(count);
  const fs::path database = folder / "db" / "Tavrix.mdb";
  if (fs::exists(folder / "complete")) return database.string();
  fs::remove_all(folder);
  writeIni(folder);
  std::fprintf(stderr, "importing %d computers into %s ...\n", count, database.c_str());
  importFleet(folder, count);
  std::ofstream(folder / "complete") << count;
  return database.string();
}

// The server of the run, in work/server-<count>: started, the fleet imported into its database.
class FleetServer {
 public:
  FleetServer(const fs::path& work, int count) : folder_(work / ("server-" + std::to_string(count))) {
    fs::remove_all(folder_);
    script("start");
    const std::string connection = "host=" + (folder_ / "pg").string() + " user=postgres dbname=postgres";
    writeIni(folder_);
    std::ofstream(folder_ / "Tavrix.ini", std::ios::app) << "DB_SERVER=" << connection << "\r\n";
    std::fprintf(stderr, "importing %d computers into the server in %s ...\n", count, folder_.c_str());
    importFleet(folder_, count);
    db::ServerStringProblem problem;
    location = db::serverLocation(connection, problem).value();
  }
  ~FleetServer() {
    try {
      script("stop");
      fs::remove_all(folder_);
    } catch (const std::exception&) {
    }
  }
  db::Location location;

 private:
  void script(const char* action) {
    const std::string command = "bash '" + (tavrix::bench::sourceDir() / "tools/pg-test-server.sh").string() + "' " +
                                action + " '" + (folder_ / "pg").string() + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
  }
  fs::path folder_;
};

db::Location g_database;
int g_computers = 10000;

std::size_t rowCount(const queries::ResultTable& table) { return table.rows.size(); }
std::size_t rowCount(const queries::ResultRows& rows) { return rows.size(); }

// Each question on a connection opened read-only as tavrix-report opens it; rows checked non-empty.
template <typename Question>
void timeQuestion(benchmark::State& state, Question question) {
  db::Connection connection;
  connection.openReadOnly(g_database);
  std::size_t rows = 0;
  for (auto _ : state) {
    const auto answer = question(connection);
    rows = rowCount(answer);
    benchmark::DoNotOptimize(answer);
  }
  if (rows == 0) state.SkipWithError("no rows");
  state.counters["rows"] = static_cast<double>(rows);
}

void Software(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::softwareSummary(c, std::nullopt); });
}
void ComputersWithSoftware(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::computersWithSoftware(c, "visio viewer", std::nullopt); });
}
void ComputersWithProgram(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) {
    return queries::computersWithProgram(c, db::Value("Microsoft Visio Viewer 2003"), db::Value("11.0.3216.5614"));
  });
}
void Updates(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::updateSummary(c, std::nullopt); });
}
void ComputersWithUpdate(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::computersByUpdate(c, "KB820029", true); });
}
void ComputersMissingUpdate(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::computersByUpdate(c, "KB820029", false); });
}
// A text of one computer only: its file name appears in its T_BasicInf row alone.
void Overview(benchmark::State& state) {
  timeQuestion(state, [](db::Connection& c) { return queries::fleetOverview(c, SystemClock().now()); });
}
void SearchRare(benchmark::State& state) {
  const std::string rare = samples::pcIdOf(g_computers / 2);
  timeQuestion(state, [&](db::Connection& c) { return queries::searchInventory(c, rare); });
}

#ifdef TAVRIX_BENCH_WIDGETS
// The process's resident memory and its peak so far, in MiB (/proc/self/status).
std::pair<double, double> residentMiB() {
  std::ifstream status("/proc/self/status");
  double now = 0, peak = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) now = std::atof(line.c_str() + 6) / 1024;
    if (line.starts_with("VmHWM:")) peak = std::atof(line.c_str() + 6) / 1024;
  }
  return {now, peak};
}

// The fleet window as the main window's button opens it (the software tab filled), then its updates
// tab shown and a rare text searched, offscreen without a display. A broad text ("microsoft", in
// nearly every computer's rows) shows its first page; with readAll every row of its answer is read
// (as a header click or the CSV output does), up to what a list holds.
void fleetWindow(benchmark::State& state, int step, bool readAll = false) {
  CountingSink sink;
  SystemClock clock;
  RunState s(sink, clock);
  const fs::path database(g_database.filePath());
  s.MDB_DIR = database.parent_path().string() + "/";
  s.MDB_NAME = database.filename().string();
  std::size_t rows = 0, heldBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (step == 0) state.ResumeTiming();
    auto* window = new F_Fleet(s);
    if (step == 1) state.ResumeTiming();
    if (step == 1) window->tabs()->setCurrentIndex(1);
    if (step >= 2) {
      const std::string text = step == 2 ? samples::pcIdOf(g_computers / 2) : "microsoft";
      window->findChild<QLineEdit*>(QStringLiteral("SearchText"))->setText(QString::fromStdString(text));
      state.ResumeTiming();
      window->findChild<QPushButton*>(QStringLiteral("SearchButton"))->click();
      auto* found = window->findChild<ui::ResultList*>(QStringLiteral("SearchList"));
      if (readAll) found->model()->readAll();
      rows = static_cast<std::size_t>(found->model()->rowCount());
      heldBytes = found->model()->memoryBytes();
    }
    state.PauseTiming();
    delete window;
    state.ResumeTiming();
  }
  if (step >= 2) {
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["held_MiB"] = static_cast<double>(heldBytes) / (1 << 20);
    const auto [now, peak] = residentMiB();
    state.counters["rss_MiB"] = now;
    state.counters["peak_MiB"] = peak;
  }
  if (sink.count) state.SkipWithError("the window showed messages");
}
void FleetWindowOpen(benchmark::State& state) { fleetWindow(state, 0); }
void FleetWindowUpdatesTab(benchmark::State& state) { fleetWindow(state, 1); }
void FleetWindowSearch(benchmark::State& state) { fleetWindow(state, 2); }
void FleetWindowSearchBroad(benchmark::State& state) { fleetWindow(state, 3); }
void FleetWindowSearchBroadAll(benchmark::State& state) { fleetWindow(state, 3, true); }
#endif

}  // namespace

int main(int argc, char** argv) {
  fs::path work = fs::temp_directory_path() / "tavrix-queries-bench";
  int kept = 1;
  bool server = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--server") server = true;
    else if (arg.starts_with("--computers=")) g_computers = std::atoi(arg.c_str() + 12);
    else if (arg.starts_with("--work=")) work = arg.substr(7);
    else argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  std::unique_ptr<FleetServer> fleetServer;
  try {
    if (server) {
      fleetServer = std::make_unique<FleetServer>(work, g_computers);
      g_database = fleetServer->location;
    } else {
      g_database = fleetDatabase(work, g_computers);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "queries_bench: %s\n", e.what());
    return 1;
  }
  for (auto [name, fn] : {std::pair{"Software", &Software}, {"ComputersWithSoftware", &ComputersWithSoftware},
                          {"ComputersWithProgram", &ComputersWithProgram}, {"Updates", &Updates},
                          {"ComputersWithUpdate", &ComputersWithUpdate}, {"ComputersMissingUpdate", &ComputersMissingUpdate},
                          {"SearchRare", &SearchRare}, {"Overview", &Overview}})
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
#ifdef TAVRIX_BENCH_WIDGETS
  if (server) {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  }
  if (qgetenv("DISPLAY").isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  for (auto [name, fn] : {std::pair{"FleetWindowOpen", &FleetWindowOpen}, {"FleetWindowUpdatesTab", &FleetWindowUpdatesTab},
                          {"FleetWindowSearch", &FleetWindowSearch}, {"FleetWindowSearchBroad", &FleetWindowSearchBroad},
                          {"FleetWindowSearchBroadAll", &FleetWindowSearchBroadAll}})
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
#endif
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
