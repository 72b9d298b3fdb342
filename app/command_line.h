// The tavrix program's command line: what a start asks for, and the texts of --help and --version.
#pragma once

#include <string>
#include <vector>

namespace tavrix {

enum class StartAction {
  RunBatch,    // no argument: the batch, windowed unless RUNMODE=UPDATEONLY
  UpdateOnly,  // --update-only: the batch without windows, whatever RUNMODE says
  Help,        // --help: the usage on standard output
  Version,     // --version: "tavrix x.y.z" on standard output
  CopyTo,      // --copy-to CONNECTION: the database file copied into an empty server database
  Usage,       // anything else: the usage on standard error
};

struct CommandLine {
  StartAction action = StartAction::RunBatch;
  std::string problem;  // what is wrong with the arguments when action is Usage
  std::string connection;  // the server database of --copy-to
};

// args are the arguments after the program name. --help wins over --version, both over
// --update-only; an argument given twice is still one request.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string usageText();
// "tavrix " and the version of the build, with its line end.
std::string versionText();

}  // namespace tavrix
