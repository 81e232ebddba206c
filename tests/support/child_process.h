// Runs the built programs as child processes in a scratch home folder, and
// starts a private session bus whose activation files point at the build.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tessa::test {

// The environment of a child: this process's, with HOME replaced, the XDG
// folders and any display removed, and overrides applied (empty value:
// removed).
std::vector<std::string> ChildEnvironment(const std::string& home,
                                          const std::map<std::string, std::string>& overrides = {});

struct ChildResult {
  int exitCode = -1;  // -1 when it did not end normally in time
  std::string out;
  std::string err;
  long peakKilobytes = 0;  // the most memory it held at once (resident)
};

// Runs program with args (no shell) in env, waiting at most timeoutSeconds,
// in workingFolder ("" this process's own).
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, int timeoutSeconds = 60,
                     const std::string& workingFolder = "");

// Starts program with args in env without waiting; its output is dropped,
// its stderr written to errFile when one is named. Returns its process id,
// or -1.
pid_t SpawnChild(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env, const std::string& errFile = "");

// Waits up to timeoutMs for child pid (from SpawnChild) to end; its exit
// code, or -1 when it did not end normally in time.
int WaitForChild(pid_t pid, int timeoutMs);

// The built tessaprint.
std::string TessaprintPath();

// A session bus of its own, started with dbus-run-session; the bus's
// activation files are those of the build tree, and activated programs get
// env. Ends the bus when the object goes.
class PrivateSessionBus {
 public:
  PrivateSessionBus(const std::string& scratchFolder, const std::vector<std::string>& env);
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // The bus address; "" when the bus did not start.
  const std::string& address() const { return address_; }

 private:
  pid_t pid_ = -1;
  int keepAlive_ = -1;  // the write end of the pipe the session waits on
  std::string address_;
};

// True when process parent has a child process of its own right now.
bool HasChildProcess(pid_t parent);

// True once process pid has ended (gone or a zombie), polling up to
// timeoutMs.
bool WaitForProcessEnd(pid_t pid, int timeoutMs);

}  // namespace tessa::test
