// The tavrix program's command line.
#include "app/command_line.h"

namespace tavrix {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  bool help = false, version = false, updateOnly = false;
  for (const std::string& arg : args) {
    if (arg == "--help") help = true;
    else if (arg == "--version") version = true;
    else if (arg == "--update-only") updateOnly = true;
    else if (!arg.empty() && arg[0] == '-') return {StartAction::Usage, "unknown option \"" + arg + "\""};
    else return {StartAction::Usage, "unexpected argument \"" + arg + "\""};
  }
  if (help) return {StartAction::Help, {}};
  if (version) return {StartAction::Version, {}};
  return {updateOnly ? StartAction::UpdateOnly : StartAction::RunBatch, {}};
}

std::string usageText() {
  return "usage: tavrix [--update-only]\n"
         "       tavrix --help | --version\n"
         "\n"
         "Imports the inventory CSV files of the CSV folder into the inventory database, as set in\n"
         "Tavrix.ini beside the program, then shows the computer list unless RUNMODE=UPDATEONLY.\n"
         "\n"
         "  --update-only  run the batch without windows, whatever RUNMODE says (scheduled runs)\n"
         "  --help         print this help and exit\n"
         "  --version      print the version and exit\n"
         "\n"
         "Exit status: 0 every file imported; 1 some files not imported; 2 usage error;\n"
         "3 configuration or database error; 4 another instance is running.\n";
}

std::string versionText() {
  return "tavrix " + std::to_string(TAVRIX_VERSION_MAJOR) + "." + std::to_string(TAVRIX_VERSION_MINOR) + "." +
         std::to_string(TAVRIX_VERSION_PATCH) + "\n";
}

}  // namespace tavrix
