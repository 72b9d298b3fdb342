// Message boxes of the program: a QMessageBox once a QApplication exists, standard error before.
#pragma once

#include <memory>

#include "platform/message_sink.h"

class QApplication;

namespace tavrix {

// Caption "TAVRIX", an OK button, the warning icon for MessageStyle::Exclamation and none for Plain.
// Until a QApplication exists (a run without windows, or before the run mode is known) the text goes
// to standard error, so a scheduled run never waits for a click; only the second-instance
// exclamation box makes its own QApplication when a display is there.
class QtMessageSink : public MessageSink {
 public:
  QtMessageSink();
  ~QtMessageSink() override;
  void show(const std::string& text, MessageStyle style = MessageStyle::Plain) override;
  void showWithDetail(const std::string& text, MessageStyle style, const std::string& detail) override;

 private:
  StderrMessageSink fallback_;
  std::unique_ptr<QApplication> app_;
};

}  // namespace tavrix
