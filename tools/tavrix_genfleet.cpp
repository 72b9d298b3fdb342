// tavrix-genfleet: writes sample inventory CSVs of a fleet of computers, for demos and benchmarks.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/samples.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: tavrix-genfleet <folder> <count> [seed]\n");
    return 2;
  }
  char* end = nullptr;
  long count = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 0 || count > 99999) {
    std::fprintf(stderr, "tavrix-genfleet: count must be a number from 0 to 99999\n");
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
    auto summary = tavrix::samples::writeFleet(argv[1], static_cast<int>(count), seed);
    long long rows = 0;
    for (const auto& entry : summary.rows) rows += entry.second;
    std::printf("%d files, %lld lines, %lld bytes, %lld rows\n", summary.files, summary.lines, summary.bytes, rows);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrix-genfleet: %s\n", e.what());
    return 1;
  }
  return 0;
}
