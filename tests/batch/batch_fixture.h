// A fresh run state in a temporary program folder, with a recorded message sink and a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "batch/run_state.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

class BatchFixture : public ::testing::Test {
 protected:
  BatchFixture() : clock(DateTime{2026, 12, 5, 9, 7, 3}) { reset(); }

  void reset() {
    state = std::make_unique<RunState>(messages, clock);
    state->ProgramFolder = dir.path();
    state->IniPath = dir.path() + "/Tavrix.ini";
  }
  void writeIni(const std::string& body) { writeFile(dir.path() + "/Tavrix.ini", "[Tavrix Section]\r\n" + body); }

  TempDir dir;
  RecordingMessageSink messages;
  FixedClock clock;
  std::unique_ptr<RunState> state;
};

}  // namespace tavrix::test
