// F_Main and F_WAIT as the batch shows, closes and fills them.
#include "ui/qt_batch_windows.h"

#include <QApplication>
#include <cstdlib>
#include <string>

#include "ui/main/f_main.h"
#include "ui/main/f_wait.h"
#include "ui/qt_form_support.h"

namespace tavrix {

namespace {
// How long the first start waits for the window system to show a window before going on.
constexpr int kPaintWaitMs = 2000;
}  // namespace

QtBatchWindows::QtBatchWindows(int& argc, char** argv) : argc_(argc), argv_(argv) {}

QtBatchWindows::~QtBatchWindows() {
  if (state_ && state_->Progress == wait_.get()) state_->Progress = nullptr;
  wait_.reset();
  main_.reset();
}

bool displayAvailable() {
  auto env = [](const char* name) {
    const char* v = std::getenv(name);
    return std::string(v ? v : "");
  };
  std::string platform = env("QT_QPA_PLATFORM");
  bool x = !env("DISPLAY").empty(), wayland = !env("WAYLAND_DISPLAY").empty();
  if (platform.empty()) return x || wayland;
  if (platform.starts_with("xcb")) return x;
  if (platform.starts_with("wayland")) return wayland;
  return true;  // offscreen, minimal, vnc, eglfs... need no display server
}

bool QtBatchWindows::showMainAndWait(RunState& s) {
  if (QApplication::instance() == nullptr) {
    if (!displayAvailable()) return false;
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  ui::useJapaneseQtTexts();
  state_ = &s;
  main_ = std::make_unique<F_Main>(s);
  main_->setBusy(true);
  main_->show();
  // Painted before anything is read: the batch gives no event loop until it ends.
  ui::paintNow({main_.get()}, kPaintWaitMs);
  wait_ = std::make_unique<F_WAIT>();
  wait_->setBusy(true);
  wait_->move(main_->frameGeometry().center() - wait_->rect().center());
  wait_->show();
  wait_->raise();
  ui::paintNow({main_.get(), wait_.get()}, kPaintWaitMs);
  s.Progress = wait_.get();
  return true;
}

void QtBatchWindows::closeWaitAndDetail() {
  if (state_) state_->Progress = nullptr;
  if (wait_) {
    wait_->setBusy(false);
    wait_->close();
  }
  if (main_) {
    main_->setBusy(false);
    main_->closeDetail();
  }
}

bool QtBatchWindows::fillList(RunState& s) { return main_ ? main_->F21_List(s) : false; }

void QtBatchWindows::batchFinished() {
  if (state_) state_->Progress = nullptr;
  if (wait_) wait_->setBusy(false);
  if (main_) main_->setBusy(false);
}

bool QtBatchWindows::anyWindowVisible() const {
  if (QApplication::instance() == nullptr) return false;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return true;
  return false;
}

int QtBatchWindows::exec() { return QApplication::exec(); }

}  // namespace tavrix
