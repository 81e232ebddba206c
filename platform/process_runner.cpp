#include "platform/process_runner.h"

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace tessa {

namespace {

int32_t DecodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return status;
}

// Waits for pid on a thread of its own, so a child left running is reaped
// the moment it ends.
void ReapInBackground(pid_t pid) {
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view text, bool bKeepQuotes) {
  std::vector<std::string> out;
  std::string current;
  bool inWord = false;
  bool inQuotes = false;
  for (char c : text) {
    if (c == '"') {
      inQuotes = !inQuotes;
      inWord = true;
      if (bKeepQuotes) current += c;
    } else if (!inQuotes && (c == ' ' || c == '\t')) {
      if (inWord) out.push_back(std::move(current));
      current.clear();
      inWord = false;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (inWord) out.push_back(std::move(current));
  return out;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), ended_(other.ended_), exitCode_(other.exitCode_) {
  other.pid_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    pid_ = other.pid_;
    ended_ = other.ended_;
    exitCode_ = other.exitCode_;
    other.pid_ = -1;
  }
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

int ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, bool bSetNice,
                        int niceValue) {
  Release();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  // The child takes the nice value of the thread that starts it. Linux keeps
  // nice values per thread, so a short-lived thread at the wanted value
  // starts it: the program runs at that value from its first instruction,
  // and this thread's own value never changes.
  pid_t pid = -1;
  int rc = 0;
  auto spawn = [&] {
    if (bSetNice) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), niceValue);
    rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  };
  if (bSetNice) std::thread(spawn).join();
  else spawn();
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return rc;

  pid_ = pid;
  ended_ = false;
  exitCode_ = 0;
  return 0;
}

bool ChildProcess::HasEnded(int32_t& exitCode) {
  if (pid_ <= 0) return false;
  if (!ended_) {
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0) return false;
    ended_ = true;
    // r < 0 (ECHILD): someone else reaped it; its status is lost.
    exitCode_ = r == pid_ ? DecodeStatus(status) : 0;
  }
  exitCode = exitCode_;
  return true;
}

void ChildProcess::Release() {
  if (pid_ > 0 && !ended_) {
    int32_t ignored = 0;
    if (!HasEnded(ignored)) ReapInBackground(pid_);
  }
  pid_ = -1;
  ended_ = false;
}

}  // namespace tessa
