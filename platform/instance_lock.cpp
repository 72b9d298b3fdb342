// The instance and batch guards: an abstract socket name per user, an flock per CSV folder.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>

namespace tavrix {

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire(const std::string& programFolder) {
  release();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;
  // The name: "\0tavrix-<uid>-<hash of the folder>", short enough for any folder.
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = "tavrix-" + std::to_string(::getuid()) + "-" +
                           std::to_string(std::hash<std::string>{}(programFolder));
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    fd_ = fd;
    return true;
  }
  const int error = errno;
  ::close(fd);
  return error != EADDRINUSE;
}

void InstanceLock::release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FolderLock::~FolderLock() { release(); }

bool FolderLock::acquire(const std::string& folder) {
  release();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void FolderLock::release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tavrix
