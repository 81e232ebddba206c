#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace tessa::test {

namespace {

// How long the bus waits for a program it starts, and this process for the
// bus: only a real fault runs it out.
constexpr int kBusPatienceMs = 240 * 1000;

std::vector<char*> CStrings(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// Starts program with args in env, stdin from /dev/null and stdout and
// stderr written to the files named. Returns its process id, or -1.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& outFile, const std::string& errFile, const std::string& workingFolder = "") {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<std::string> envText = env;
  auto argv = CStrings(argvText);
  auto envp = CStrings(envText);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

bool bDropped(const std::string& entry) {
  for (const char* prefix : {"HOME=", "XDG_", "DISPLAY=", "WAYLAND_DISPLAY=", "DBUS_SESSION_BUS_ADDRESS="})
    if (entry.rfind(prefix, 0) == 0) return true;
  return false;
}

}  // namespace

std::vector<std::string> ChildEnvironment(const std::string& home,
                                          const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (!bDropped(entry) && !overrides.count(name)) env.push_back(entry);
  }
  env.push_back("HOME=" + home);
  for (const auto& [name, value] : overrides)
    if (!value.empty()) env.push_back(name + "=" + value);
  return env;
}

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, int timeoutSeconds, const std::string& workingFolder) {
  ChildResult result;
  TempDir io;
  const std::string outFile = io.file("out"), errFile = io.file("err");
  const pid_t pid = Spawn(program, args, env, outFile, errFile, workingFolder);
  if (pid == -1) return result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, WNOHANG, &usage) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.peakKilobytes = usage.ru_maxrss;
  result.out = ReadFile(outFile);
  result.err = ReadFile(errFile);
  return result;
}

pid_t SpawnChild(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env, const std::string& errFile) {
  return Spawn(program, args, env, "/dev/null", errFile.empty() ? "/dev/null" : errFile);
}

int WaitForChild(pid_t pid, int timeoutMs) {
  int status = 0;
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

std::string TessaprintPath() { return TESSA_BINARY_DIR "/bin/tessaprint"; }

PrivateSessionBus::PrivateSessionBus(const std::string& scratchFolder, const std::vector<std::string>& env) {
  const std::string config = scratchFolder + "/session.conf";
  WriteFile(config,
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>session</type>\n"
            "  <listen>unix:tmpdir=/tmp</listen>\n"
            "  <servicedir>" TESSA_BINARY_DIR "/dbus-1/services</servicedir>\n"
            // The bus's own limits for a program it starts (25 s) and for a
            // client's handshake (30 s) are too short on a busy machine.
            "  <limit name=\"service_start_timeout\">" + std::to_string(kBusPatienceMs) + "</limit>\n"
            "  <limit name=\"auth_timeout\">" + std::to_string(kBusPatienceMs) + "</limit>\n"
            "  <policy context=\"default\">\n"
            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            "    <allow eavesdrop=\"true\"/>\n"
            "    <allow own=\"*\"/>\n"
            "  </policy>\n"
            "</busconfig>\n");
  int toSession[2], fromSession[2];
  if (pipe(toSession) != 0) return;
  if (pipe(fromSession) != 0) {
    close(toSession[0]);
    close(toSession[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toSession[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromSession[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, (scratchFolder + "/bus.log").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addclose(&actions, toSession[1]);
  posix_spawn_file_actions_addclose(&actions, fromSession[0]);
  // The session lasts while its shell waits on stdin; closing our end of
  // that pipe ends the shell, and dbus-run-session then ends the bus.
  std::vector<std::string> argvText{"dbus-run-session", "--config-file=" + config, "--", "sh", "-c",
                                    "echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec cat >/dev/null"};
  std::vector<std::string> envText = env;
  auto argv = CStrings(argvText);
  auto envp = CStrings(envText);
  const int rc = posix_spawnp(&pid_, "dbus-run-session", &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(toSession[0]);
  close(fromSession[1]);
  keepAlive_ = toSession[1];
  fcntl(keepAlive_, F_SETFD, FD_CLOEXEC);
  if (rc != 0) {
    pid_ = -1;
    close(fromSession[0]);
    return;
  }
  std::string line;
  char c;
  pollfd pfd{fromSession[0], POLLIN, 0};
  while (poll(&pfd, 1, kBusPatienceMs) > 0 && read(fromSession[0], &c, 1) == 1 && c != '\n') line += c;
  close(fromSession[0]);
  address_ = line;
}

PrivateSessionBus::~PrivateSessionBus() {
  if (keepAlive_ >= 0) close(keepAlive_);
  if (pid_ > 0) {
    int status;
    for (int i = 0; i < 500 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, &status, 0);
    }
  }
}

bool HasChildProcess(pid_t parent) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // pid (name) state ppid ...: the name may hold blanks and parentheses.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 1));
    std::string state;
    pid_t ppid = 0;
    if (rest >> state >> ppid && ppid == parent) return true;
  }
  return false;
}

bool WaitForProcessEnd(pid_t pid, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 20) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return true;
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && (text[close + 2] == 'Z' || text[close + 2] == 'X'))
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

}  // namespace tessa::test
