// History benchmark: one computer with many kept inventories (history, diff), then the fleet's
// changes over two days of kept inventories.
// Usage: history_bench [computers=10000] [kept=100] [others per day=1000] [work folder]   (see bench/README.md)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "history/history_commands.h"
#include "platform/text.h"
#include "tools/samples.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using tavrix::history::CommandResult;

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void writeBytes(const std::string& path, const std::string& utf8) {
  std::string bytes = tavrix::text::utf8ToCp932(utf8);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// "yyyymmdd" and "yyyy/mm/dd" of the day n days after 2026-01-01.
std::pair<std::string, std::string> dayNames(int n) {
  using namespace std::chrono;
  year_month_day d{sys_days{year{2026} / 1 / 1} + days{n}};
  char compact[16], slashed[16];
  std::snprintf(compact, sizeof(compact), "%04d%02u%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  std::snprintf(slashed, sizeof(slashed), "%04d/%02u/%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  return {compact, slashed};
}

// The computer's inventory as delivered on a later day: the header dated that day, the first
// program's version, one update gone and one service more, so every comparison has work to do.
std::string delivered(std::string text, const std::string& date, int generation) {
  std::size_t headerEnd = text.find("\r\n");
  std::size_t dateStart = text.rfind(',', headerEnd) + 1;
  text.replace(dateStart, headerEnd - dateStart, date + " 09:00:00");
  if (generation == 0) return text;
  std::size_t app = text.find("\r\n1,10,");
  if (app != std::string::npos) text.insert(text.find("\r\n", app + 2), "." + std::to_string(generation));
  std::size_t update = text.find("\r\n3,1,");
  if (update != std::string::npos) text.erase(update, text.find("\r\n", update + 2) - update);
  return text + "1,13,サービス,3,停止,BenchService" + std::to_string(generation) + ",x\r\n";
}

// Wall and CPU seconds of the fastest and the median of runs calls.
void timeRuns(const char* name, int runs, const std::function<CommandResult()>& call) {
  std::vector<double> wall, cpu;
  std::size_t rows = 0;
  for (int i = 0; i < runs; ++i) {
    double c0 = cpuSeconds();
    auto t0 = Clock::now();
    CommandResult r = call();
    wall.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    cpu.push_back(cpuSeconds() - c0);
    if (r.failed()) std::fprintf(stderr, "%s: %s\n", name, r.error.c_str());
    rows = r.table.rows.size();
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%-8s %zu rows; wall min %.4f s, median %.4f s; CPU median %.4f s (%d runs)\n", name, rows, wall.front(),
              wall[wall.size() / 2], cpu[cpu.size() / 2], runs);
}

// One computer kept on kept days, beside others computers a day (hard links of one file a day).
void benchOneComputer(const std::string& save, int kept, int others) {
  tavrix::samples::Computer computer = tavrix::samples::makeComputer(1, 1);
  tavrix::samples::Computer other = tavrix::samples::makeComputer(1, 2);
  for (int day = 0; day < kept; ++day) {
    auto [compact, slashed] = dayNames(day);
    fs::create_directories(save + "/" + compact);
    writeBytes(save + "/" + compact + "/" + computer.pcId + ".csv", delivered(computer.text, slashed, day));
    const std::string otherPath = save + "/" + compact + "/.other";  // hidden: never listed
    writeBytes(otherPath, other.text);
    for (int n = 0; n < others; ++n)
      fs::create_hard_link(otherPath, save + "/" + compact + "/" + tavrix::samples::pcIdOf(100000 + n) + ".csv");
  }
  std::printf("kept     %d inventories of %s, %d other computers a day (%d files)\n", kept, computer.pcId.c_str(),
              others, kept * (others + 1));
  timeRuns("history", 9, [&] { return tavrix::history::historyCommand(save, computer.pcId); });
  timeRuns("diff", 9, [&] { return tavrix::history::diffCommand(save, computer.pcId); });
  timeRuns("diff 1-N", 9, [&] { return tavrix::history::diffCommand(save, computer.pcId, std::to_string(kept), "1"); });
  // Since the last day: each computer kept that day is looked up in the earlier days, newest first,
  // until its inventory in force before the day is found.
  const std::string lastDay = dayNames(kept - 1).second;
  timeRuns("changes", 3, [&] { return tavrix::history::changesCommand(save, lastDay); });
}

// computers kept on two days; the second day's inventories changed.
void benchFleet(const std::string& save, int computers) {
  auto started = Clock::now();
  auto [day1, slashed1] = dayNames(334);
  auto [day2, slashed2] = dayNames(335);
  fs::create_directories(save + "/" + day1);
  fs::create_directories(save + "/" + day2);
  long long bytes = 0;
  for (int i = 1; i <= computers; ++i) {
    tavrix::samples::Computer c = tavrix::samples::makeComputer(1, i);
    writeBytes(save + "/" + day1 + "/" + c.pcId + ".csv", delivered(c.text, slashed1, 0));
    writeBytes(save + "/" + day2 + "/" + c.pcId + ".csv", delivered(c.text, slashed2, 1));
    bytes += static_cast<long long>(c.text.size()) * 2;
  }
  std::printf("fleet    %d computers x 2 inventories, %.0f MB (written in %.1f s)\n", computers, bytes / 1e6,
              std::chrono::duration<double>(Clock::now() - started).count());
  timeRuns("changes", 1, [&] { return tavrix::history::changesCommand(save, slashed1); });
}

}  // namespace

int main(int argc, char** argv) {
  const int computers = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int kept = argc > 2 ? std::atoi(argv[2]) : 100;
  const int others = argc > 3 ? std::atoi(argv[3]) : 1000;
  const std::string work = argc > 4 ? argv[4] : "/tmp/tavrix-history-bench";
  try {
    fs::remove_all(work);
    benchOneComputer(work + "/one", kept, others);
    if (computers > 0) benchFleet(work + "/fleet", computers);
    fs::remove_all(work);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "history_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
