// Single-instance guard: an exclusive flock held for the life of the object.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavrix {

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire(const std::string& lockPath, const std::string& fallbackPath) {
  release();
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 && !fallbackPath.empty()) fd = open(fallbackPath.c_str(), O_RDONLY | O_CLOEXEC);
  // Nothing to lock at all: running is better than refusing every start.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::release() {
  if (fd_ >= 0) {
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace tavrix
