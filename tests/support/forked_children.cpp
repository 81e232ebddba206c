#include "support/forked_children.h"

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
  const uid_t nobody = 65534;
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(2);
    _exit(body());
  }
  return WaitForExitCode(pid);
}

}  // namespace tessa::test
