#include "support/forked_children.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tessa::test {

namespace {

// The exit code of child pid once it has ended; -1 when it did not end normally.
int WaitForExitCode(pid_t pid) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Gives up every capability for good: file permissions then bind the
// superuser as they bind any owner of its files, and no program it starts
// gains a capability back. False when one is left.
bool DropEveryCapability() {
  for (int cap = 0; prctl(PR_CAPBSET_READ, cap, 0, 0, 0) >= 0; ++cap) {
    if (prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0) return false;
  }
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
  return syscall(SYS_capset, &header, none) == 0;
}

}  // namespace

int RunInChildrenAtOnce(int count, const std::function<bool(int)>& body) {
  std::vector<pid_t> children;
  for (int c = 0; c < count; ++c) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body(c) ? 0 : 1);
    children.push_back(pid);
  }
  int succeeded = 0;
  for (pid_t pid : children)
    if (WaitForExitCode(pid) == 0) ++succeeded;
  return succeeded;
}

int ExitCodeWithoutPrivileges(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && !DropEveryCapability()) _exit(2);
    _exit(body());
  }
  return WaitForExitCode(pid);
}

}  // namespace tessa::test
