// Sample inventories: realistic CP932 inventory CSVs of a fleet of computers, the same for the same seed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tavrix::samples {

// One computer's inventory CSV and the rows its import adds.
struct Computer {
  std::string pcId;                  // the file name before ".csv"
  std::string text;                  // UTF-8 lines, each ending in CR LF
  std::map<std::string, int> rows;   // table name -> rows the import adds (T_BasicInf included)
  int lines = 0;
};

// Full: every part of an inventory, about 800 rows. Slim: the basic row, the drives and a few
// programs and updates, for fleets of a million computers.
enum class Profile { Full, Slim };

// Computer index (from 1) of the fleet of seed.
Computer makeComputer(std::uint64_t seed, int index, Profile profile = Profile::Full);

// "PC00042" for index 42, "PC1000000" for index 1,000,000: unique at any size.
std::string pcIdOf(int index);

struct FleetSummary {
  int files = 0;
  long long lines = 0;
  long long bytes = 0;
  std::map<std::string, long long> rows;
};

// Writes computers 1..count as <pcId>.csv (CP932, CR LF) into folder, created when missing.
// Throws std::runtime_error when a file cannot be written.
FleetSummary writeFleet(const std::string& folder, int count, std::uint64_t seed, Profile profile = Profile::Full);

}  // namespace tavrix::samples
