// Where the running program's file lies and what it is called.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// The full path of the running program's file; "" when the system does not
// say.
std::string ProgramFilePath();

// The program's file name without folder and extension ("tessaprint").
std::string ProgramFileStem();

}  // namespace tessa
