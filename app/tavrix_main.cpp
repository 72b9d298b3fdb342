// tavrix: runs the batch, then, in windowed mode, the windows until the last one closes.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "run/copy_to_server.h"
#include "run/main_batch.h"
#include "batch/run_state.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ui/qt_batch_windows.h"
#include "ui/qt_message_sink.h"

namespace {

void print(std::FILE* to, const std::string& text) { std::fwrite(text.data(), 1, text.size(), to); }

}  // namespace

int main(int argc, char** argv) {
  // Help, version and usage errors come before anything else: no lock, no log, no file touched.
  const tavrix::CommandLine command = tavrix::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case tavrix::StartAction::Help: print(stdout, tavrix::usageText()); return 0;
    case tavrix::StartAction::Version: print(stdout, tavrix::versionText()); return 0;
    case tavrix::StartAction::Usage:
      print(stderr, "tavrix: " + command.problem + "\n" + tavrix::usageText());
      return static_cast<int>(tavrix::ExitStatus::Usage);
    case tavrix::StartAction::RunBatch:
    case tavrix::StartAction::UpdateOnly:
    case tavrix::StartAction::CopyTo: break;
  }

  tavrix::QtMessageSink messages;  // standard error until the windows make a QApplication
  tavrix::SystemClock clock;
  tavrix::RunState s(messages, clock);
  s.ProgramFolder = tavrix::paths::programFolder();
  if (command.action == tavrix::StartAction::CopyTo)
    return static_cast<int>(tavrix::copyToServer(s, command.connection, stderr));

  // A run without windows never constructs QApplication, so it needs no display.
  int qtArgc = 1;  // the options were ours: Qt sees the program name only
  tavrix::QtBatchWindows windows(qtArgc, argv);
  const bool updateOnly = command.action == tavrix::StartAction::UpdateOnly;
  const int status = static_cast<int>(tavrix::Main(s, updateOnly ? nullptr : &windows));
  windows.batchFinished();
  if (!windows.anyWindowVisible()) return status;
  const int closed = windows.exec();
  return status != 0 ? status : closed;
}
