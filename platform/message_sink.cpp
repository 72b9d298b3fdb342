// Message boxes without a display, and the recorder for tests.
#include "platform/message_sink.h"

#include <cstdio>

namespace tavrix {

void StderrMessageSink::show(const std::string& text, MessageStyle) {
  std::fprintf(stderr, "TAVRIX: %s\n", text.c_str());
  std::fflush(stderr);
}

std::vector<std::string> RecordingMessageSink::texts() const {
  std::vector<std::string> out;
  for (const auto& m : messages) out.push_back(m.text);
  return out;
}

}  // namespace tavrix
