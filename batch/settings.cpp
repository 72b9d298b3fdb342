// F_READ_INI: the run settings from Tavrix.ini.
#include "batch/settings.h"

#include <exception>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace tavrix {
namespace {

constexpr std::string_view kSection = "Tavrix Section";
constexpr std::string_view kAbsent = "@@@";

std::string readKey(const RunState& s, std::string_view key) {
  std::string value = profile::readString(s.IniPath, kSection, key, kAbsent);
  return value == kAbsent ? std::string() : value;
}

// "*" stands for the program folder; every folder setting ends with "/".
void normaliseFolder(std::string& value, const std::string& programFolder) {
  value = paths::toSlashes(value);
  if (!value.empty() && value.front() == '*') {
    value = std::string(text::trim(text::replaceAll(value, "*", programFolder)));
  }
  if (value.empty() || value.back() != '/') {
    value = std::string(text::trim(value + "/"));
  }
}

}  // namespace

bool F_READ_INI(RunState& s) {
  try {
    s.MissingIniKeys.clear();
    // A required key, noted when it is absent or blank: without it no file may be touched.
    auto required = [&s](std::string_view key) {
      std::string value = readKey(s, key);
      if (text::trim(value).empty()) s.MissingIniKeys.emplace_back(key);
      return value;
    };
    // Optional: the inventory on a server; then no database file is named or made.
    s.DB_SERVER = std::string(text::trim(readKey(s, "DB_SERVER")));
    const bool onServer = !s.DB_SERVER.empty();
    s.LOG_DIR = required("LOG_DIR");
    s.LOG_FILE = required("LOG_FILE");
    s.MDB_DIR = onServer ? readKey(s, "MDB_DIR") : required("MDB_DIR");
    s.MDB_NAME = onServer ? readKey(s, "MDB_NAME") : required("MDB_NAME");
    s.CSV_DIR = required("CSV_DIR");
    s.DSTRB_DIR = required("DSTRB_DIR");
    s.RunMode = text::toUpperAscii(readKey(s, "RUNMODE"));
    s.CSV_SAVE_DIR = required("CSV_SAVE_DIR");
    // Optional: software and update counts kept for the fleet summaries (beside a database file,
    // in a server database).
    s.Watch = readWatchRules(s.IniPath, s.WatchProblem);
    const std::string counts = text::toUpperAscii(std::string(text::trim(readKey(s, "FLEET_COUNTS"))));
    s.KeepFleetCounts = (counts == "ON" || counts == "YES" || counts == "1");
    for (std::string* folder : {&s.LOG_DIR, &s.MDB_DIR, &s.CSV_DIR, &s.DSTRB_DIR, &s.CSV_SAVE_DIR}) {
      normaliseFolder(*folder, s.ProgramFolder);
    }
    return false;
  } catch (const std::exception&) {
    return true;
  }
}

}  // namespace tavrix
