// Opens a document or web address with the desktop's preferred program, as a
// double-click would, without waiting for it.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Starts the opener (xdg-open, or the program named by the environment
// variable TESSAPRINT_OPENER) with target as its one argument, detached from
// this process. False when the opener could not be started.
bool ShellOpen(const std::string& target);

}  // namespace tessa
