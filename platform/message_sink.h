// Message boxes: the one way the program shows a message to the user.
#pragma once

#include <string>
#include <vector>

namespace tavrix {

enum class MessageStyle {
  Plain = 0,         // OK button, no icon
  Exclamation = 48,  // OK button, exclamation icon
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows text with the caption "TAVRIX" and returns when the user has closed the box.
  virtual void show(const std::string& text, MessageStyle style = MessageStyle::Plain) = 0;
  // The same where a box is shown; where none can be, detail (the text with the path and cause it
  // concerns, as the run log has it) is shown instead, for a user who may not read the log.
  virtual void showWithDetail(const std::string& text, MessageStyle style, const std::string& detail) {
    (void)detail;
    show(text, style);
  }
};

// Without a display: "TAVRIX: <text>" on standard error; never waits.
class StderrMessageSink : public MessageSink {
 public:
  void show(const std::string& text, MessageStyle style) override;
  void showWithDetail(const std::string& text, MessageStyle style, const std::string& detail) override {
    show(detail.empty() ? text : detail, style);
  }
};

// For tests: keeps every message in order.
class RecordingMessageSink : public MessageSink {
 public:
  struct Message {
    std::string text;
    MessageStyle style;
  };
  void show(const std::string& text, MessageStyle style) override { messages.push_back({text, style}); }
  std::vector<std::string> texts() const;
  std::vector<Message> messages;
};

}  // namespace tavrix
