#include "platform/sibling_file.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <fstream>
#include <string>

namespace tessa {

namespace {

// The umask from /proc/self/status; changing it to read it would race with
// other threads creating files.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

std::string WrittenPath(const std::string& target) {
  std::string path = target;
  // As many links as the system itself follows in one path.
  for (int hop = 0; hop <= 40; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char link[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof link)) {
      if (n >= 0) errno = ENAMETOOLONG;
      return "";
    }
    const std::filesystem::path named(std::string(link, static_cast<size_t>(n)));
    path = (named.is_absolute() ? named : std::filesystem::path(path).parent_path() / named).string();
  }
  errno = ELOOP;
  return "";
}

std::string SiblingTempPattern(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  const std::string name = path.filename().string();
  constexpr size_t kSuffix = 8;  // "." before the name and ".XXXXXX" after it
  if (name.size() + kSuffix > NAME_MAX) return folder + "/.tmp.XXXXXX";
  return folder + "/." + name + ".XXXXXX";
}

std::string FreeSiblingName(const std::string& target, const std::string& suffix) {
  const std::filesystem::path path(target);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  for (const std::string& pattern : {SiblingTempPattern(target), folder + "/.tmp.XXXXXX"}) {
    std::string name = pattern + suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) continue;
    ::close(fd);
    ::unlink(name.c_str());
    return name;
  }
  return "";
}

std::string LinkUnderSiblingName(const std::string& target) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const std::filesystem::path path(target);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  std::random_device random;
  for (const std::string& pattern : {SiblingTempPattern(target), folder + "/.tmp.XXXXXX"}) {
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::string name = pattern;
      uint64_t bits = (static_cast<uint64_t>(random()) << 32) | random();
      for (size_t i = name.size() - 6; i < name.size(); ++i, bits /= 62) name[i] = kLetters[bits % 62];
      if (::link(target.c_str(), name.c_str()) == 0) return name;
      if (errno != EEXIST) break;
    }
  }
  return "";
}

mode_t ReplacementFileMode(const std::string& target) {
  struct stat old{};
  if (::stat(target.c_str(), &old) == 0) return old.st_mode & 07777;
  return 0666 & ~CurrentUmask();
}

}  // namespace tessa
