// QMessageBox behind the MessageSink.
#include "ui/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/qt_form_support.h"

namespace tavrix {

void QtMessageSink::show(const std::string& text, MessageStyle style) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    fallback_.show(text, style);
    return;
  }
  QMessageBox box(style == MessageStyle::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QStringLiteral("TAVRIX"), ui::qs(text), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("TavrixMessageBox"));
  // F_WAIT stays on top during the batch; a box behind it would look like a hung program.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

}  // namespace tavrix
