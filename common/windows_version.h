// The system's readable description (kept in the settings file by the main
// window) and the "current system" flag that the settings-file rule asks for.
#pragma once

#include <string>

namespace tessa {

// Builds the description: the system's name, then ", 64-bit" or ", 32-bit"
// for this build. Sets the flag that bIsVistaOrLater answers.
std::string GetOSDescription();

// True on every system this program runs on; computed once through
// GetOSDescription and remembered.
bool bIsVistaOrLater();

// The description, computed on the first call and remembered;
// "GetWinVerInfo Error 2" when the system says nothing about itself.
std::string GetWinVerInfo();

// The description built from a given system name (for tests).
std::string DescribeOperatingSystem(const std::string& systemName);

}  // namespace tessa
