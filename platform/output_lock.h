// The lock every writer of an output file takes around its read-modify-write
// of that file, so that programs converting into the same PDF at once take
// turns per file while unrelated outputs never wait on each other. The lock
// is an exclusive advisory lock on a lock file named after the output's
// folder (device and inode) and name, in the system's folder for lock files
// (/run/lock, held in memory) or else /tmp, so every path to the same
// output (a symbolic link to it too) finds the same lock; the file is removed again when the lock is
// released, and the system drops the lock when its holder dies.
#pragma once

#include <functional>
#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

class OutputLock {
 public:
  // Waits until this process holds the lock of target (which need not exist
  // yet; its folder should). bGiveUp is asked while the wait goes on (a few
  // times a second); when it says true the wait ends without the lock. A
  // lock file that cannot be opened or locked leaves the lock not held, with
  // the system's reason in error().
  explicit OutputLock(const std::string& target, const std::function<bool()>& bGiveUp = {});
  ~OutputLock();
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // The system's error code when the lock could not be taken; 0 when it is
  // held or the wait was given up.
  int error() const { return error_; }

  // The lock file of target.
  static std::string LockFileOf(const std::string& target);

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace tessa
