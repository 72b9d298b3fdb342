// The tavrix program's command line.
#include "app/command_line.h"

namespace tavrix {

namespace {

CommandLine request(StartAction action, std::string problem = {}, std::string connection = {}) {
  CommandLine line;
  line.action = action;
  line.problem = std::move(problem);
  line.connection = std::move(connection);
  return line;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  bool help = false, version = false, updateOnly = false;
  // --copy-to stands alone: a copy is no batch, and wants no other request beside it.
  if (!args.empty() && args[0] == "--copy-to") {
    if (args.size() < 2 || args[1].empty()) return request(StartAction::Usage, "--copy-to needs a connection string");
    if (args.size() > 2) return request(StartAction::Usage, "--copy-to stands alone, not with \"" + args[2] + "\"");
    return request(StartAction::CopyTo, {}, args[1]);
  }
  for (const std::string& arg : args) {
    if (arg == "--copy-to") return request(StartAction::Usage, "--copy-to stands alone, not with \"" + args[0] + "\"");
    if (arg == "--help") help = true;
    else if (arg == "--version") version = true;
    else if (arg == "--update-only") updateOnly = true;
    else if (!arg.empty() && arg[0] == '-') return request(StartAction::Usage, "unknown option \"" + arg + "\"");
    else return request(StartAction::Usage, "unexpected argument \"" + arg + "\"");
  }
  if (help) return request(StartAction::Help);
  if (version) return request(StartAction::Version);
  return request(updateOnly ? StartAction::UpdateOnly : StartAction::RunBatch);
}

std::string usageText() {
  return "usage: tavrix [--update-only]\n"
         "       tavrix --copy-to CONNECTION\n"
         "       tavrix --help | --version\n"
         "\n"
         "Imports the inventory CSV files of the CSV folder into the inventory database, as set in\n"
         "Tavrix.ini beside the program, then shows the computer list unless RUNMODE=UPDATEONLY.\n"
         "\n"
         "  --update-only  run the batch without windows, whatever RUNMODE says (scheduled runs)\n"
         "  --copy-to CONNECTION\n"
         "                 copy the database file into an empty PostgreSQL database (a libpq connection\n"
         "                 string without a password); then set DB_SERVER to it\n"
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
