// What the running system says about itself: its readable name and whether
// this program was built for 64 bits.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// PRETTY_NAME of os-release (/etc/os-release, else /usr/lib/os-release), else
// the kernel's name and release from uname; "" when neither answers.
std::string OperatingSystemName();

// The same, read from the given os-release file only (for tests).
std::string OperatingSystemNameFrom(const std::string& osReleasePath);

// True when the program is a 64-bit build.
constexpr bool Is64BitBuild() { return sizeof(void*) == 8; }

}  // namespace tessa
