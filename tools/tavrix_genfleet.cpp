// tavrix-genfleet: writes sample inventory CSVs of a fleet of computers, for demos and benchmarks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "tools/samples.h"

namespace {

constexpr long kMostComputers = 9999999;

int usage() {
  std::fprintf(stderr, "usage: tavrix-genfleet [--slim] <folder> <count> [seed]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tavrix::samples::Profile profile = tavrix::samples::Profile::Full;
  if (argc > 1 && std::strcmp(argv[1], "--slim") == 0) {
    profile = tavrix::samples::Profile::Slim;
    --argc;
    ++argv;
  }
  if (argc < 3 || argc > 4) return usage();
  char* end = nullptr;
  long count = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 0 || count > kMostComputers) {
    std::fprintf(stderr, "tavrix-genfleet: count must be a number from 0 to %ld\n", kMostComputers);
    return 2;
  }
  unsigned long long seed = 1;
  if (argc == 4) {
    seed = std::strtoull(argv[3], &end, 10);
    if (*end != '\0') {
      std::fprintf(stderr, "tavrix-genfleet: seed must be a number\n");
      return 2;
    }
  }
  try {
    auto summary = tavrix::samples::writeFleet(argv[1], static_cast<int>(count), seed, profile);
    long long rows = 0;
    for (const auto& entry : summary.rows) rows += entry.second;
    std::printf("%d files, %lld lines, %lld bytes, %lld rows\n", summary.files, summary.lines, summary.bytes, rows);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrix-genfleet: %s\n", e.what());
    return 1;
  }
  return 0;
}
