// QMessageBox behind the MessageSink.
#include "ui/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <memory>

#include "ui/qt_form_support.h"

namespace tavrix {

namespace {

bool displayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

QtMessageSink::QtMessageSink() = default;
QtMessageSink::~QtMessageSink() = default;

void QtMessageSink::showWithDetail(const std::string& text, MessageStyle style, const std::string& detail) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return fallback_.showWithDetail(text, style, detail);
  show(text, style);
}

void QtMessageSink::show(const std::string& text, MessageStyle style) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    fallback_.show(text, style);
    // The second-instance message comes before any window exists; a user who started the program
    // from the desktop must still see it, and the program ends right after.
    if (style != MessageStyle::Exclamation || !displayAvailable()) return;
    static int argc = 1;
    static char name[] = "tavrix";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  QMessageBox box(style == MessageStyle::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QStringLiteral("TAVRIX"), ui::qs(text), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("TavrixMessageBox"));
  // F_WAIT stays on top during the batch; a box behind it would look like a hung program.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

}  // namespace tavrix
