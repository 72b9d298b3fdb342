// Import benchmark: a generated fleet through the real batch (UPDATEONLY), then the same rows
// through bare prepared INSERTs into a fresh database of the same schema, one transaction per file.
// Usage: import_bench [count=2000] [seed=1] [work folder]   (see bench/README.md)
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "run/main_batch.h"
#include "batch/run_state.h"
#include "tools/samples.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using tavrix::bench::writeIni;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU seconds of this process: on a shared machine the fairer yardstick next to wall time.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long rssKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
  return 0;
}

// Start time and resident memory of every file the batch imports.
class Timeline : public tavrix::ImportProgress {
 public:
  void fileStarted(int, int, const std::string&) override {
    starts.push_back(Clock::now());
    cpu.push_back(cpuSeconds());
    rss.push_back(rssKiB("VmRSS:"));
  }
  std::vector<Clock::time_point> starts;
  std::vector<double> cpu;
  std::vector<long> rss;
};

class CountingSink : public tavrix::MessageSink {
 public:
  void show(const std::string& text, tavrix::MessageStyle) override {
    if (count++ < 5) std::fprintf(stderr, "TAVRIX: %s\n", text.c_str());
  }
  int count = 0;
};

struct BatchRun {
  double total = 0;        // the whole batch: database creation, import, moving the files
  int messages = 0;
};

BatchRun runBatch(const fs::path& folder, Timeline* timeline) {
  BatchRun run;
  CountingSink sink;
  tavrix::SystemClock clock;
  tavrix::RunState s(sink, clock);
  s.ProgramFolder = folder.string();
  s.Progress = timeline;
  auto start = Clock::now();
  tavrix::runBatch(s, nullptr);
  run.total = seconds(Clock::now() - start);
  run.messages = sink.count;
  return run;
}

// The same rows as the import wrote, bound into a fresh database with cached prepared INSERTs.
class Floor {
 public:
  Floor(const std::string& source, const std::string& target) {
    if (sqlite3_open_v2(source.c_str(), &src_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_open_v2(target.c_str(), &dst_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open the databases");
    exec(dst_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536;");
  }
  ~Floor() {
    for (auto& t : tables_) {
      sqlite3_finalize(t.read);
      sqlite3_finalize(t.insert);
    }
    sqlite3_close(src_);
    sqlite3_close(dst_);
  }

  // Seconds spent inserting and committing, over all snapshots in RNO order; cpu gets the CPU seconds.
  double run(double& cpu) {
    prepare();
    std::vector<long long> rnos;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(src_, "SELECT RNO FROM T_BasicInf ORDER BY RNO", -1, &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW) rnos.push_back(sqlite3_column_int64(list, 0));
    sqlite3_finalize(list);
    double spent = 0;
    cpu = 0;
    for (long long rno : rnos) {
      double seconds = snapshot(rno, cpu);
      perFile.push_back(seconds);
      spent += seconds;
    }
    return spent;
  }
  long long rows = 0;
  std::vector<double> perFile;  // seconds of each snapshot

 private:
  struct Table {
    std::string name;
    int columns = 0;
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* insert = nullptr;
    std::vector<std::vector<std::string>> rows;  // one snapshot's rows, values as text or NULL marker
    std::vector<std::vector<int>> types;
  };

  static void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  }

  void prepare() {
    for (const char* name : {"T_BasicInf", "T_ApplInst", "T_Device", "T_Drive", "T_NIC", "T_Printer", "T_Service",
                             "T_StartUp", "T_Users", "T_Video", "T_WinUpdate", "T_WinUpdRegCheck"}) {
      Table t;
      t.name = name;
      sqlite3_prepare_v2(src_, ("SELECT * FROM " + t.name + " WHERE RNO=?").c_str(), -1, &t.read, nullptr);
      t.columns = sqlite3_column_count(t.read);
      std::string sql = "INSERT INTO " + t.name + " VALUES (";
      for (int i = 0; i < t.columns; ++i) sql += i ? ",?" : "?";
      sqlite3_prepare_v3(dst_, (sql + ")").c_str(), -1, SQLITE_PREPARE_PERSISTENT, &t.insert, nullptr);
      tables_.push_back(std::move(t));
    }
  }

  double snapshot(long long rno, double& cpu) {
    readSnapshot(rno);  // not timed
    auto start = Clock::now();
    double cpuStart = cpuSeconds();
    insertSnapshot();
    cpu += cpuSeconds() - cpuStart;
    return seconds(Clock::now() - start);
  }

  void readSnapshot(long long rno) {
    for (auto& t : tables_) {
      t.rows.clear();
      t.types.clear();
      sqlite3_bind_int64(t.read, 1, rno);
      while (sqlite3_step(t.read) == SQLITE_ROW) {
        std::vector<std::string> row;
        std::vector<int> types;
        for (int i = 0; i < t.columns; ++i) {
          types.push_back(sqlite3_column_type(t.read, i));
          const unsigned char* text = sqlite3_column_text(t.read, i);
          row.emplace_back(text ? reinterpret_cast<const char*>(text) : "", static_cast<std::size_t>(sqlite3_column_bytes(t.read, i)));
        }
        t.rows.push_back(std::move(row));
        t.types.push_back(std::move(types));
      }
      sqlite3_reset(t.read);
    }
  }

  // Kept out of line so that a profile shows the floor's own cost.
  [[gnu::noinline]] void insertSnapshot() {
    exec(dst_, "BEGIN");
    for (auto& t : tables_) {
      for (std::size_t r = 0; r < t.rows.size(); ++r) {
        for (int i = 0; i < t.columns; ++i) {
          const std::string& v = t.rows[r][static_cast<std::size_t>(i)];
          int type = t.types[r][static_cast<std::size_t>(i)];
          if (type == SQLITE_NULL) sqlite3_bind_null(t.insert, i + 1);
          else if (type == SQLITE_INTEGER) sqlite3_bind_int64(t.insert, i + 1, std::atoll(v.c_str()));
          else sqlite3_bind_text(t.insert, i + 1, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
        }
        if (sqlite3_step(t.insert) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(dst_));
        sqlite3_reset(t.insert);
        ++rows;
      }
    }
    exec(dst_, "COMMIT");
  }

  sqlite3* src_ = nullptr;
  sqlite3* dst_ = nullptr;
  std::vector<Table> tables_;
};

// The floor is a fixed reference: the schema the scripts delivered before the detail tables lost
// their PCid index, so every detail row again goes into two secondary indexes.
void restoreFloorSchema(const fs::path& database) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot open the floor's database");
  // The floor's page size is SQLite's default, whatever the scripts' database is created with.
  std::string sql = "PRAGMA journal_mode=DELETE; PRAGMA page_size=4096; VACUUM; PRAGMA journal_mode=WAL;";
  for (const char* name : {"T_ApplInst", "T_Device", "T_Drive", "T_NIC", "T_Printer", "T_Service", "T_StartUp",
                           "T_Users", "T_Video", "T_WinUpdate", "T_WinUpdRegCheck"})
    sql += std::string("CREATE INDEX IF NOT EXISTS IX_") + name + "_PCid ON " + name + " (PCid);";
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot index the floor's database");
}

// Mean seconds per file over the files [from, to) of the timeline.
double perFile(const Timeline& t, std::size_t from, std::size_t to) {
  return seconds(t.starts[to] - t.starts[from]) / static_cast<double>(to - from);
}

// Mean of the first and of the last tenth of per-file seconds, in milliseconds.
std::pair<double, double> tenths(const std::vector<double>& seconds) {
  std::size_t tenth = std::max<std::size_t>(1, seconds.size() / 10);
  double first = 0, last = 0;
  for (std::size_t i = 0; i < tenth; ++i) {
    first += seconds[i];
    last += seconds[seconds.size() - 1 - i];
  }
  return {first * 1e3 / static_cast<double>(tenth), last * 1e3 / static_cast<double>(tenth)};
}

void report(int count, const tavrix::samples::FleetSummary& fleet, double generate, const BatchRun& batch,
            const Timeline& t, double floor, double floorCpu, const Floor& f) {
  const long long floorRows = f.rows;
  auto [floorFirst, floorLast] = tenths(f.perFile);
  long long rows = 0;
  for (const auto& [table, n] : fleet.rows) rows += n;
  const std::size_t n = t.starts.size(), tenth = std::max<std::size_t>(1, n / 10);
  double import = n > 1 ? seconds(t.starts.back() - t.starts.front()) * static_cast<double>(n) / static_cast<double>(n - 1) : batch.total;
  double first = perFile(t, 0, tenth), last = perFile(t, n - 1 - tenth, n - 1);
  double importCpu = n > 1 ? (t.cpu.back() - t.cpu.front()) * static_cast<double>(n) / static_cast<double>(n - 1) : 0;
  double firstCpu = (t.cpu[tenth] - t.cpu[0]) / static_cast<double>(tenth);
  double lastCpu = (t.cpu[n - 1] - t.cpu[n - 1 - tenth]) / static_cast<double>(tenth);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("fleet            %d files, %lld lines, %.1f MB, %lld rows (generated in %.1f s)\n", count, fleet.lines,
              static_cast<double>(fleet.bytes) / 1e6, rows, generate);
  std::printf("batch            %.2f s in all (database creation, import, moving the files); %d message boxes\n",
              batch.total, batch.messages);
  std::printf("import           %.2f s: %.0f files/s, %.0f rows/s (CPU %.2f s)\n", import, n / import,
              static_cast<double>(rows) / import, importCpu);
  std::printf("per file         first tenth %.3f ms, last tenth %.3f ms (ratio %.2f); CPU %.3f ms and %.3f ms (ratio %.2f)\n",
              first * 1e3, last * 1e3, last / first, firstCpu * 1e3, lastCpu * 1e3, lastCpu / firstCpu);
  std::printf("memory           RSS %ld KiB at file %zu, %ld KiB at file %zu; peak %ld KiB\n", t.rss[tenth], tenth + 1,
              t.rss.back(), n, usage.ru_maxrss);
  std::printf("raw floor        %.2f s for %lld rows: %.0f rows/s (CPU %.2f s); per file first tenth %.3f ms, "
              "last tenth %.3f ms\n",
              floor, floorRows, static_cast<double>(floorRows) / floor, floorCpu, floorFirst, floorLast);
  std::printf("import / floor   %.2f (CPU %.2f)\n", import / floor, importCpu / floorCpu);
  std::printf("batch / floor    %.2f (the whole batch over the floor's import)\n", batch.total / floor);
}

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  fs::path work = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path() / "tavrix-import-bench";
  fs::path dstrb = tavrix::bench::sourceDir() / "dstrb";
  if (count < 10) {
    std::fprintf(stderr, "usage: import_bench [count>=10] [seed] [work folder]\n");
    return 2;
  }
  try {
    fs::remove_all(work);
    writeIni(work / "batch", dstrb);
    writeIni(work / "floor", dstrb);
    auto start = Clock::now();
    auto fleet = tavrix::samples::writeFleet((work / "batch" / "csv").string(), count, seed);
    double generate = seconds(Clock::now() - start);
    sync();  // the generated files reach the disk now, not while the import is timed

    Timeline timeline;
    BatchRun batch = runBatch(work / "batch", &timeline);
    if (static_cast<int>(timeline.starts.size()) != count) throw std::runtime_error("the batch did not import every file");
    runBatch(work / "floor", nullptr);  // an empty database from the same scripts
    restoreFloorSchema(work / "floor" / "db" / "Tavrix.mdb");
    sync();
    Floor floor((work / "batch" / "db" / "Tavrix.mdb").string(), (work / "floor" / "db" / "Tavrix.mdb").string());
    double floorCpu = 0;
    double floorSeconds = floor.run(floorCpu);
    report(count, fleet, generate, batch, timeline, floorSeconds, floorCpu, floor);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "import_bench: %s\n", e.what());
    return 1;
  }
  fs::remove_all(work);
  return 0;
}
