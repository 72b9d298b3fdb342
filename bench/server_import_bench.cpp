// Import benchmark on a server database: a generated fleet through the real batch into a fresh
// PostgreSQL database of a server started for the run (durable, as the server is by default), then
// the same files again (every snapshot replaced); the same two runs into a database file beside it.
// Usage: server_import_bench [count=1000] [seed=1] [work folder=/tmp/tavrix-server-bench]
#include <libpq-fe.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

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

class CountingSink : public tavrix::MessageSink {
 public:
  void show(const std::string& text, tavrix::MessageStyle) override {
    if (++shown <= 3) std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  int shown = 0;
};

void runOrThrow(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

void serverStatement(const std::string& connection, const std::string& sql) {
  PGconn* c = PQconnectdb(connection.c_str());
  PGresult* r = PQexec(c, sql.c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  const std::string error = PQerrorMessage(c);
  PQclear(r);
  PQfinish(c);
  if (!ok) throw std::runtime_error(sql + ": " + error);
}

// One UPDATEONLY batch over the files in folder/csv; prints its time and rates.
void timedBatch(const char* what, const fs::path& folder, int files, long long rows) {
  CountingSink sink;
  tavrix::SystemClock clock;
  tavrix::RunState s(sink, clock);
  s.ProgramFolder = folder.string();
  const double cpu = cpuSeconds();
  const auto start = Clock::now();
  tavrix::runBatch(s, nullptr);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (tavrix::exitStatusOf(s) != tavrix::ExitStatus::Ok) throw std::runtime_error(std::string(what) + ": the batch failed");
  std::printf("%-14s %7.2f s: %6.0f files/s, %8.0f rows/s (CPU of this process %.2f s)\n", what, wall, files / wall,
              static_cast<double>(rows) / wall, cpuSeconds() - cpu);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const fs::path work = argc > 3 ? fs::path(argv[3]) : fs::path("/tmp/tavrix-server-bench");
  const fs::path source = tavrix::bench::sourceDir();
  fs::remove_all(work);
  fs::create_directories(work);
  const std::string socket = (work / "pg").string();
  try {
    runOrThrow("TAVRIX_PG_DURABLE=1 bash '" + (source / "tools/pg-test-server.sh").string() + "' start '" + socket + "'");
    serverStatement("host=" + socket + " user=postgres dbname=postgres",
                    "CREATE DATABASE bench TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C.UTF-8'");
    const fs::path onServer = work / "server", onFile = work / "file";
    long long rows = 0;
    for (const fs::path& folder : {onServer, onFile}) {
      tavrix::bench::writeIni(folder);
      if (folder == onServer) {
        std::ofstream(folder / "Tavrix.ini", std::ios::app) << "DB_SERVER=host=" << socket << " user=postgres dbname=bench\r\n";
      }
    }
    for (const fs::path& folder : {onServer, onFile}) {
      const bool server = folder == onServer;
      for (const char* day : {"first", "again"}) {
        const tavrix::samples::FleetSummary fleet = tavrix::samples::writeFleet((folder / "csv").string(), count, seed);
        rows = 0;
        for (const auto& [table, n] : fleet.rows) rows += n;
        timedBatch((std::string(server ? "server " : "file   ") + day).c_str(), folder, fleet.files, rows);
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::system(("bash '" + (source / "tools/pg-test-server.sh").string() + "' stop '" + socket + "'").c_str());
    return 1;
  }
  std::system(("bash '" + (source / "tools/pg-test-server.sh").string() + "' stop '" + socket + "'").c_str());
  return 0;
}
