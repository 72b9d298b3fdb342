// The program folder every benchmark lays out: Tavrix.ini for an UPDATEONLY run with its folders under it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tavrix::bench {

// This repository, for its delivered scripts.
inline std::filesystem::path sourceDir() {
  const char* env = std::getenv("TAVRIX_SOURCE_DIR");
  return env ? std::filesystem::path(env) : std::filesystem::path(__FILE__).parent_path().parent_path();
}

// Tavrix.ini in folder: log, db, csv and save beside it, the scripts from dstrb; FLEET_COUNTS as the
// package sets it (ON), or as TAVRIX_BENCH_FLEET_COUNTS says, to compare.
inline void writeIni(const std::filesystem::path& folder, const std::filesystem::path& dstrb = sourceDir() / "dstrb") {
  std::filesystem::create_directories(folder / "csv");
  const char* counts = std::getenv("TAVRIX_BENCH_FLEET_COUNTS");
  std::ofstream ini(folder / "Tavrix.ini", std::ios::binary);
  ini << "[Tavrix Section]\r\nLOG_DIR=" << (folder / "log").string() << "\r\nLOG_FILE=Tavrix.log\r\nMDB_DIR="
      << (folder / "db").string() << "\r\nMDB_NAME=Tavrix.mdb\r\nCSV_DIR=" << (folder / "csv").string()
      << "\r\nDSTRB_DIR=" << dstrb.string() << "\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=" << (folder / "save").string()
      << "\r\nFLEET_COUNTS=" << (counts ? counts : "ON") << "\r\n";
}

}  // namespace tavrix::bench
