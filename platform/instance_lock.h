// Single-instance guard: an exclusive flock held for the life of the object.
#pragma once

#include <string>

namespace tavrix {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when this process now holds the lock; false when another holds it. A lock file that
  // cannot be created falls back to locking the program file itself.
  bool acquire(const std::string& lockPath, const std::string& fallbackPath = {});
  void release();

 private:
  int fd_ = -1;
};

}  // namespace tavrix
