#include "common/windows_version.h"


#include "platform/os_info.h"

namespace tessa {

namespace {
struct VersionInfo {
  std::string description;
  bool vistaOrLater = false;
};

// The system does not change while the program runs: read it once.
const VersionInfo& Remembered() {
  static const VersionInfo info = [] {
    VersionInfo v;
    v.description = GetOSDescription();
    v.vistaOrLater = !v.description.empty();
    return v;
  }();
  return info;
}
}  // namespace

std::string DescribeOperatingSystem(const std::string& systemName) {
  if (systemName.empty()) return "";
  return systemName + (Is64BitBuild() ? ", 64-bit" : ", 32-bit");
}

std::string GetOSDescription() { return DescribeOperatingSystem(OperatingSystemName()); }

bool bIsVistaOrLater() { return Remembered().vistaOrLater; }

std::string GetWinVerInfo() {
  const std::string& d = Remembered().description;
  return d.empty() ? "GetWinVerInfo Error 2" : d;
}

}  // namespace tessa
