// The two guards of a start: one instance of the program per user, and one batch per CSV folder.
#pragma once

#include <string>

namespace tavrix {

// One instance per user and program folder: an abstract local socket name bound for the life of
// the object. Nothing is left on disk, and it goes with the process however it ends.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when this process now holds programFolder's lock for this user; false when another
  // process of the user holds it. A system without such names lets every start run.
  bool acquire(const std::string& programFolder);
  void release();

 private:
  int fd_ = -1;
};

// One batch per CSV folder, whichever user runs it (root included): an exclusive flock on the
// folder itself, which every run finds and none leaves anything in.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // True when this process now holds folder's lock, or the folder cannot be opened (nothing to
  // guard: the batch finds that out itself); false when another process holds it.
  bool acquire(const std::string& folder);
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace tavrix
