// The lock every writer of an output file takes around its read-modify-write
// of that file, so that programs converting into the same PDF at once take
// turns per file while unrelated outputs never wait on each other. The lock
// is an exclusive advisory lock on a hidden lock file beside the output,
// removed again when the lock is released; the system drops the lock when
// its holder dies.
#pragma once

#include <functional>
#include <string>

namespace tessa {

class OutputLock {
 public:
  // Waits until this process holds the lock of target (which need not exist
  // yet). bGiveUp is asked whenever the wait is interrupted by a signal; when
  // it says true the wait ends without the lock. A lock file that cannot be
  // made (a folder that takes no new files) leaves the lock not held: the
  // caller goes on, as nothing else can write there either.
  explicit OutputLock(const std::string& target, const std::function<bool()>& bGiveUp = {});
  ~OutputLock();
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;

  bool held() const { return fd_ >= 0; }

  // The lock file of target: "." + name + ".lock" beside it, or a short name
  // made from a hash of the name when that one would be too long.
  static std::string LockFileOf(const std::string& target);

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace tessa
