// Message boxes of the program: a QMessageBox once a QApplication exists, standard error before.
#pragma once

#include "platform/message_sink.h"

namespace tavrix {

// Caption "TAVRIX", an OK button, the warning icon for MessageStyle::Exclamation and none for Plain.
// Until a QApplication exists (a run without windows, or before the run mode is known) the text goes
// to standard error, so a scheduled run never waits for a click.
class QtMessageSink : public MessageSink {
 public:
  void show(const std::string& text, MessageStyle style = MessageStyle::Plain) override;

 private:
  StderrMessageSink fallback_;
};

}  // namespace tavrix
