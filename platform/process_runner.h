// Starting an outside program directly (no shell) and watching it without
// blocking: the stand-in for CreateProcess and a zero-time-out wait. A child
// that is let go while still running is reaped when it ends, so it never
// lingers as a zombie.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Splits an argument text at blanks (spaces and tabs); a stretch in double
// quotes keeps its blanks and the quotes are removed ("" gives an empty
// argument), or kept in the word when bKeepQuotes. Nothing else is special:
// no escapes, no expansion.
std::vector<std::string> SplitArguments(std::string_view text, bool bKeepQuotes = false);

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  // A child still running is let go (see Release).
  ~ChildProcess();

  // Starts program (a path, not looked up in PATH) with args after it, in
  // the caller's environment and folder, passing only descriptors 0, 1 and
  // 2 and default signal handling. When bSetNice is true the child's nice
  // value is set to niceValue; a refused raise leaves it as inherited.
  // Returns 0, or the errno that kept it from starting.
  int Start(const std::string& program, const std::vector<std::string>& args, bool bSetNice = false,
            int niceValue = 0);

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }

  // Never blocks. True once the child has ended; exitCode then holds its exit
  // status, or 128 plus the signal number when a signal ended it.
  bool HasEnded(int32_t& exitCode);

  // Stops watching: a child still running keeps running and is reaped in the
  // background when it ends.
  void Release();

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
  int32_t exitCode_ = 0;
};

}  // namespace tessa
