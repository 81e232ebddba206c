// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes; and small file helpers for tests.
#pragma once

#include <filesystem>
#include <string>

namespace tessa::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path() / name as a "/" text.
  std::string file(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Writes bytes to path, creating its folders; returns path as text.
std::string WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The whole file as bytes; "" when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

// Points HOME at home and empties XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_STATE_HOME, so the user's settings, data and state folders are the
// defaults below home, for the life of the object.
class ScopedHome {
 public:
  explicit ScopedHome(const std::string& home)
      : home_("HOME", home), config_("XDG_CONFIG_HOME", ""), data_("XDG_DATA_HOME", ""), state_("XDG_STATE_HOME", "") {}

 private:
  ScopedEnv home_, config_, data_, state_;
};

// Runs a shell command line, returning its exit status and what it printed
// on stdout (stderr passes through).
struct CommandResult {
  int exitCode = -1;
  std::string output;
};
CommandResult RunCommand(const std::string& commandLine);

// Quotes text for a POSIX shell.
std::string ShellQuote(const std::string& text);

}  // namespace tessa::test
