// The Qt windows of a windowed batch run: F_Main and F_WAIT, and the QApplication made on demand.
#pragma once

#include <memory>

#include "run/main_batch.h"

class QApplication;

namespace tavrix {

class F_Main;
class F_WAIT;

// The QApplication is made only when the batch shows its windows, so a run without windows needs
// no display. When one already exists (tests), it is used. Without a display to show them on,
// no window is made and the batch goes on without windows.
// Whether Qt can show windows here: an offscreen or other explicitly chosen platform, or an X or
// Wayland display to connect to (Qt aborts the program when it finds none).
bool displayAvailable();

class QtBatchWindows : public BatchWindows {
 public:
  // argc and argv must outlive this object: QApplication keeps them.
  QtBatchWindows(int& argc, char** argv);
  ~QtBatchWindows() override;

  bool showMainAndWait(RunState& s) override;
  void closeWaitAndDetail() override;
  bool fillList(RunState& s) override;

  // After Main has returned: the windows take input again.
  void batchFinished();
  // True when a window is left for the event loop to run.
  bool anyWindowVisible() const;
  // Runs the event loop until the last window closes.
  int exec();

  F_Main* mainWindow() const { return main_.get(); }
  F_WAIT* waitWindow() const { return wait_.get(); }

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> app_;  // only when this object had to make it
  std::unique_ptr<F_Main> main_;
  std::unique_ptr<F_WAIT> wait_;
  RunState* state_ = nullptr;
};

}  // namespace tavrix
