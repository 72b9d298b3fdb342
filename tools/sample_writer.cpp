// Writes a sample fleet as CP932 inventory CSV files.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/text.h"
#include "tools/samples.h"

namespace tavrix::samples {

FleetSummary writeFleet(const std::string& folder, int count, std::uint64_t seed, Profile profile) {
  std::filesystem::create_directories(folder);
  FleetSummary summary;
  for (int index = 1; index <= count; ++index) {
    Computer computer = makeComputer(seed, index, profile);
    std::string bytes = text::utf8ToCp932(computer.text);
    std::string path = folder + "/" + computer.pcId + ".csv";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) throw std::runtime_error("cannot write " + path);
    ++summary.files;
    summary.lines += computer.lines;
    summary.bytes += static_cast<long long>(bytes.size());
    for (const auto& [table, rows] : computer.rows) summary.rows[table] += rows;
  }
  return summary;
}

}  // namespace tavrix::samples
