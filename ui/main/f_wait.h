// F_WAIT: the wait window shown while the batch runs, with the import's progress.
#pragma once

#include <QWidget>

#include "batch/run_state.h"

class QLabel;
class QProgressBar;

namespace tavrix {

class F_WAIT : public QWidget, public ImportProgress {
  Q_OBJECT

 public:
  F_WAIT();

  // Shows "file i of n" and the file name, and repaints at once: the batch gives no event loop.
  void fileStarted(int index, int count, const std::string& fileName) override;

  // While busy the window ignores its close box; the batch decides when it closes.
  void setBusy(bool busy) { busy_ = busy; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* label_;
  QProgressBar* progress_;
  QLabel* fileName_;
  bool busy_ = false;
};

}  // namespace tavrix
