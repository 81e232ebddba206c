#include "platform/os_info.h"

#include <sys/utsname.h>

#include <fstream>

namespace tessa {

std::string OperatingSystemNameFrom(const std::string& osReleasePath) {
  std::ifstream in(osReleasePath);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (!value.empty() && value.back() == '\r') value.pop_back();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return "";
}

std::string OperatingSystemName() {
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::string name = OperatingSystemNameFrom(path);
    if (!name.empty()) return name;
  }
  struct utsname u {};
  if (uname(&u) == 0) return std::string(u.sysname) + " " + u.release;
  return "";
}

}  // namespace tessa
