// Import benchmark on a server database: a generated fleet through the real batch into a fresh
// PostgreSQL database of a server started for the run (durable, as the server is by default), then
// the same files again (every snapshot replaced); the same two runs into a database file beside it;
// then the first run's rows again with bare COPY, one transaction per computer (the raw floor), and
// with one COPY per table for fifty computers at a time.
// Usage: server_import_bench [count=1000] [seed=1] [work folder=/tmp/tavrix-server-bench] [server]
// ("server": the server's two runs alone, for comparing two builds of it)
#include <libpq-fe.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "batch/run_state.h"
#include "bench/bench_folder.h"
#include "run/main_batch.h"
#include "tools/samples.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long rssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

class CountingSink : public tavrix::MessageSink {
 public:
  void show(const std::string& text, tavrix::MessageStyle) override {
    if (++shown <= 3) std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  int shown = 0;
};

// When each file started, and the memory then.
class Timeline : public tavrix::ImportProgress {
 public:
  void fileStarted(int, int, const std::string&) override {
    starts.push_back(Clock::now());
    rss.push_back(rssKiB());
  }
  void filesImported() override { imported = Clock::now(); }
  void searchIndexKept() override { indexed = Clock::now(); }
  Clock::time_point imported, indexed;
  std::vector<Clock::time_point> starts;
  std::vector<long> rss;
};

// Mean milliseconds of the first and of the last tenth of the per-file times.
std::pair<double, double> tenths(const std::vector<double>& seconds) {
  const std::size_t tenth = std::max<std::size_t>(1, seconds.size() / 10);
  double first = 0, last = 0;
  for (std::size_t i = 0; i < tenth; ++i) {
    first += seconds[i];
    last += seconds[seconds.size() - 1 - i];
  }
  return {first * 1e3 / static_cast<double>(tenth), last * 1e3 / static_cast<double>(tenth)};
}

std::vector<double> perFile(const std::vector<Clock::time_point>& starts) {
  std::vector<double> seconds;
  for (std::size_t i = 1; i < starts.size(); ++i) seconds.push_back(std::chrono::duration<double>(starts[i] - starts[i - 1]).count());
  return seconds;
}

void runOrThrow(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

class Session {
 public:
  explicit Session(const std::string& connection) : c_(PQconnectdb(connection.c_str())) {
    if (PQstatus(c_) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(c_));
  }
  ~Session() { PQfinish(c_); }
  void run(const std::string& sql) {
    PGresult* r = PQexec(c_, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok) throw std::runtime_error(sql + ": " + PQerrorMessage(c_));
  }
  // Every line COPY writes for the statement.
  template <typename Line>
  void copyOut(const std::string& sql, Line line) {
    PGresult* r = PQexec(c_, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COPY_OUT;
    PQclear(r);
    if (!ok) throw std::runtime_error(sql + ": " + PQerrorMessage(c_));
    char* buffer = nullptr;
    for (int n; (n = PQgetCopyData(c_, &buffer, 0)) > 0; PQfreemem(buffer)) line(std::string_view(buffer, static_cast<std::size_t>(n)));
    finish(sql);
  }
  void copyIn(const std::string& sql, const std::string& data) {
    PGresult* r = PQexec(c_, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COPY_IN;
    PQclear(r);
    if (!ok || PQputCopyData(c_, data.data(), static_cast<int>(data.size())) != 1 || PQputCopyEnd(c_, nullptr) != 1)
      throw std::runtime_error(sql + ": " + PQerrorMessage(c_));
    finish(sql);
  }

 private:
  void finish(const std::string& sql) {
    bool ok = true;
    while (PGresult* r = PQgetResult(c_)) {
      ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
      PQclear(r);
    }
    if (!ok) throw std::runtime_error(sql + ": " + PQerrorMessage(c_));
  }
  PGconn* c_;
};

// One UPDATEONLY batch over the files in folder/csv; prints its time and rates; returns the wall time.
double timedBatch(const char* what, const fs::path& folder, int files, long long rows) {
  CountingSink sink;
  tavrix::SystemClock clock;
  tavrix::RunState s(sink, clock);
  Timeline timeline;
  s.ProgramFolder = folder.string();
  s.Progress = &timeline;
  const double cpu = cpuSeconds();
  const auto start = Clock::now();
  tavrix::runBatch(s, nullptr);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (tavrix::exitStatusOf(s) != tavrix::ExitStatus::Ok) throw std::runtime_error(std::string(what) + ": the batch failed");
  const auto [first, last] = tenths(perFile(timeline.starts));
  std::printf("%-14s %7.2f s: %6.0f files/s, %8.0f rows/s (CPU of this process %.2f s); per file %.2f ms first tenth,"
              " %.2f ms last (x%.2f); RSS %ld KiB at a tenth, %ld KiB at the end\n",
              what, wall, files / wall, static_cast<double>(rows) / wall, cpuSeconds() - cpu, first, last, last / first,
              timeline.rss[timeline.rss.size() / 10], timeline.rss.back());
  const double index = std::chrono::duration<double>(timeline.indexed - timeline.imported).count();
  const double import = std::chrono::duration<double>(timeline.imported - start).count();
  std::printf("%-14s search index kept in %.2f s after an import of %.2f s (+%.1f %%)\n", what, index, import, 100 * index / import);
  return wall;
}

const char* const kTables[] = {"T_BasicInf", "T_ApplInst", "T_Device",  "T_Drive", "T_NIC",       "T_Printer",
                               "T_Service",  "T_StartUp",  "T_Users",   "T_Video", "T_WinUpdate", "T_WinUpdRegCheck"};

// The rows the batch wrote, copied again into tables of the same definition (indexes included)
// with nothing but COPY, one transaction and one COPY per table for each group of computers;
// returns the wall time.
double rawFloor(const std::string& connection, int computersPerTransaction) {
  Session session(connection);
  // each computer's rows per table, in COPY's text form (RNO is every table's first column)
  std::map<long long, std::vector<std::string>> computers;
  session.run("DROP SCHEMA IF EXISTS floor CASCADE; CREATE SCHEMA floor");
  for (std::size_t t = 0; t < std::size(kTables); ++t) {
    const std::string table = std::string("\"") + kTables[t] + "\"";
    session.run("CREATE TABLE floor." + table + " (LIKE public." + table + " INCLUDING ALL)");
    session.copyOut("COPY (SELECT * FROM public." + table + " ORDER BY \"RNO\") TO STDOUT", [&](std::string_view line) {
      std::vector<std::string>& rows = computers[std::atoll(std::string(line.substr(0, line.find('\t'))).c_str())];
      rows.resize(std::size(kTables));
      rows[t].append(line);
    });
  }
  std::vector<Clock::time_point> starts;
  std::vector<std::string> group(std::size(kTables));
  int grouped = 0;
  for (const auto& [rno, rows] : computers) {
    starts.push_back(Clock::now());
    for (std::size_t t = 0; t < rows.size(); ++t) group[t] += rows[t];
    if (++grouped < computersPerTransaction && rno != computers.rbegin()->first) continue;
    grouped = 0;
    session.run("BEGIN");
    for (std::size_t t = 0; t < group.size(); ++t)
      if (!group[t].empty()) session.copyIn(std::string("COPY floor.\"") + kTables[t] + "\" FROM STDIN", std::exchange(group[t], {}));
    session.run("COMMIT");
  }
  starts.push_back(Clock::now());
  const double wall = std::chrono::duration<double>(starts.back() - starts.front()).count();
  const auto [first, last] = tenths(perFile(starts));
  std::printf("raw floor %-4d %7.2f s: %6.0f files/s; per file %.2f ms first tenth, %.2f ms last (x%.2f)\n",
              computersPerTransaction, wall, static_cast<double>(computers.size()) / wall, first, last, last / first);
  session.run("DROP SCHEMA floor CASCADE");
  return wall;
}

}  // namespace

// The server database's size and the search index's share of it.
void printSizes(const std::string& connection) {
  Session sizes(connection);
  sizes.copyOut("COPY (SELECT pg_database_size(current_database()), coalesce(sum(pg_total_relation_size(c.oid)), 0) FROM pg_class c "
                "WHERE c.relkind = 'r' AND c.relname LIKE 'TavrixSearch%') TO STDOUT",
                [](std::string_view line) {
                  const std::string text(line);
                  const double all = std::strtod(text.c_str(), nullptr), index = std::strtod(text.c_str() + text.find('\t') + 1, nullptr);
                  std::printf("server database %.1f MB, of which the search index %.1f MB (+%.1f %% over the rest)\n", all / 1e6,
                              index / 1e6, 100 * index / (all - index));
                });
}

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const fs::path work = argc > 3 ? fs::path(argv[3]) : fs::path("/tmp/tavrix-server-bench");
  const bool serverOnly = argc > 4 && std::string(argv[4]) == "server";
  const fs::path source = tavrix::bench::sourceDir();
  fs::remove_all(work);
  fs::create_directories(work);
  const std::string socket = (work / "pg").string();
  try {
    runOrThrow("TAVRIX_PG_DURABLE=1 bash '" + (source / "tools/pg-test-server.sh").string() + "' start '" + socket + "'");
    Session("host=" + socket + " user=postgres dbname=postgres")
        .run("CREATE DATABASE bench TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C.UTF-8'");
    const std::string bench = "host=" + socket + " user=postgres dbname=bench";
    const fs::path onServer = work / "server", onFile = work / "file";
    for (const fs::path& folder : {onServer, onFile}) {
      tavrix::bench::writeIni(folder);
      if (folder == onServer) std::ofstream(folder / "Tavrix.ini", std::ios::app) << "DB_SERVER=" << bench << "\r\n";
    }
    // The server's run and the file's one after the other, so that both meet the same load.
    double first[2] = {}, again[2] = {};
    for (double* times : {first, again}) {
      for (const fs::path& folder : {onServer, onFile}) {
        const bool server = folder == onServer;
        if (!server && serverOnly) continue;
        const tavrix::samples::FleetSummary fleet = tavrix::samples::writeFleet((folder / "csv").string(), count, seed);
        long long rows = 0;
        for (const auto& [table, n] : fleet.rows) rows += n;
        const std::string what = std::string(server ? "server " : "file   ") + (times == first ? "first" : "again");
        times[server ? 0 : 1] = timedBatch(what.c_str(), folder, fleet.files, rows);
      }
      printSizes(bench);
      if (times == first && !serverOnly) {
        const double floor = rawFloor(bench, 1), grouped = rawFloor(bench, 50);
        std::printf("first import: server / file %.2f, server / raw floor %.2f (%.2f of fifty computers a transaction)\n",
                    first[0] / first[1], first[0] / floor, first[0] / grouped);
      }
    }
    if (!serverOnly) std::printf("again: server / file %.2f\n", again[0] / again[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::system(("bash '" + (source / "tools/pg-test-server.sh").string() + "' stop '" + socket + "'").c_str());
    return 1;
  }
  std::system(("bash '" + (source / "tools/pg-test-server.sh").string() + "' stop '" + socket + "'").c_str());
  return 0;
}
