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
    for (std::string_view key : {"LOG_DIR", "LOG_FILE", "MDB_DIR", "MDB_NAME", "CSV_DIR", "DSTRB_DIR", "CSV_SAVE_DIR"})
      if (text::trim(readKey(s, key)).empty()) s.MissingIniKeys.emplace_back(key);
    s.LOG_DIR = readKey(s, "LOG_DIR");
    s.LOG_FILE = readKey(s, "LOG_FILE");
    s.MDB_DIR = readKey(s, "MDB_DIR");
    s.MDB_NAME = readKey(s, "MDB_NAME");
    s.CSV_DIR = readKey(s, "CSV_DIR");
    s.DSTRB_DIR = readKey(s, "DSTRB_DIR");
    s.RunMode = text::toUpperAscii(readKey(s, "RUNMODE"));
    s.CSV_SAVE_DIR = readKey(s, "CSV_SAVE_DIR");
    for (std::string* folder : {&s.LOG_DIR, &s.MDB_DIR, &s.CSV_DIR, &s.DSTRB_DIR, &s.CSV_SAVE_DIR}) {
      normaliseFolder(*folder, s.ProgramFolder);
    }
    return false;
  } catch (const std::exception&) {
    return true;
  }
}

}  // namespace tavrix
