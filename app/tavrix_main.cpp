// tavrix: runs the batch, then, in windowed mode, the windows until the last one closes.
#include "run/main_batch.h"
#include "batch/run_state.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ui/qt_batch_windows.h"
#include "ui/qt_message_sink.h"

int main(int argc, char** argv) {
  tavrix::QtMessageSink messages;  // standard error until the windows make a QApplication
  tavrix::SystemClock clock;
  tavrix::RunState s(messages, clock);
  s.ProgramFolder = tavrix::paths::programFolder();

  // A run without windows never constructs QApplication, so it needs no display.
  tavrix::QtBatchWindows windows(argc, argv);
  const int status = static_cast<int>(tavrix::Main(s, &windows));
  windows.batchFinished();
  if (!windows.anyWindowVisible()) return status;
  windows.exec();
  return status;
}
