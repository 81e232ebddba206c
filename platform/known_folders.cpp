#include "platform/known_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tessa {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// An XDG base folder: the variable when it holds an absolute path, else
// home & fallback.
std::string XdgFolder(const char* variable, const std::string& home, const char* fallback) {
  const std::string v = Env(variable);
  if (!v.empty() && v[0] == '/') return WithoutTrailingSlash(v);
  return home + fallback;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs ("$HOME/..." or an absolute path).
std::string DocumentsFolder(const std::string& home) {
  const std::string config = XdgFolder("XDG_CONFIG_HOME", home, "/.config");
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 18, "XDG_DOCUMENTS_DIR=") != 0) continue;
    std::string value = line.substr(start + 18);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    // A documents folder set to the home folder itself means "none".
    value = WithoutTrailingSlash(value);
    if (!value.empty() && value[0] == '/' && value != home) return value;
  }
  return home + "/Documents";
}

}  // namespace

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  }
  return WithoutTrailingSlash(home);
}

std::string UserStateFolder() {
  const std::string home = HomeFolder();
  return home.empty() ? "" : XdgFolder("XDG_STATE_HOME", home, "/.local/state");
}

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return exe.parent_path().string();
}

SpecialFolderLookup LookUpSpecialFolder(long csidl) {
  SpecialFolderLookup r;
  switch (csidl) {
    case CSIDL_WINDOWS:
      return {SpecialFolderStatus::Found, "/usr"};
    case CSIDL_PROGRAM_FILES:
    case CSIDL_PROGRAM_FILESX86:
      return {SpecialFolderStatus::Found, "/opt"};
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA:
    case CSIDL_PROFILE:
    case CSIDL_PERSONAL:
      break;
    default:
      return r;
  }
  const std::string home = HomeFolder();
  if (home.empty()) return {SpecialFolderStatus::DoesNotExist, ""};
  r.status = SpecialFolderStatus::Found;
  switch (csidl) {
    case CSIDL_APPDATA: r.path = XdgFolder("XDG_CONFIG_HOME", home, "/.config"); break;
    case CSIDL_LOCAL_APPDATA: r.path = XdgFolder("XDG_DATA_HOME", home, "/.local/share"); break;
    case CSIDL_PROFILE: r.path = home; break;
    default: r.path = DocumentsFolder(home); break;
  }
  return r;
}

}  // namespace tessa
