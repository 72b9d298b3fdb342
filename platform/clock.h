// The current local time, and a clock that tests can set.
#pragma once

#include "platform/datetime.h"

namespace tavrix {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime now() const = 0;
  // The pause after a database file is created.
  virtual void pause(int milliseconds) const = 0;
};

class SystemClock : public Clock {
 public:
  DateTime now() const override;
  void pause(int milliseconds) const override;
};

// Always shows the time it was given; pauses do not wait.
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime t) : time_(t) {}
  DateTime now() const override { return time_; }
  void pause(int milliseconds) const override { pausedMs_ += milliseconds; }
  void set(DateTime t) { time_ = t; }
  int pausedMilliseconds() const { return pausedMs_; }

 private:
  DateTime time_;
  mutable int pausedMs_ = 0;
};

}  // namespace tavrix
