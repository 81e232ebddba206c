#include "platform/shell_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tessa {

bool ShellOpen(const std::string& target) {
  const char* fromEnv = std::getenv("TESSAPRINT_OPENER");
  const std::string opener = (fromEnv && *fromEnv) ? fromEnv : "xdg-open";
  // Everything the children need is prepared before forking.
  char* const argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()), nullptr};
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;

  const pid_t child = fork();
  if (child < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return false;
  }
  if (child == 0) {
    // The middle process starts the opener and ends at once, so the opener
    // is adopted by init and never becomes our zombie.
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execvp(argv[0], argv);
      const char failed = 1;
      (void)!write(pipeFds[1], &failed, 1);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(pipeFds[1]);
  int status = 0;
  waitpid(child, &status, 0);
  // The pipe closes without a byte when exec succeeded.
  char failed = 0;
  const ssize_t got = read(pipeFds[0], &failed, 1);
  close(pipeFds[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace tessa
