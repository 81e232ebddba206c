// The program's data folder: the installed folder that holds the demo folders,
// the language files and the help, found relative to the running executable.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// The data folder for an executable in exeFolder: exeFolder/../share/
// tessaprint when that folder exists (installed, and in the build tree),
// else exeFolder itself. Written with "/" and without a trailing "/".
std::string ProgramDataFolderBeside(const std::string& exeFolder);

// The data folder of the running executable; "" when the system does not
// say where the executable lies.
std::string ProgramDataFolder();

}  // namespace tessa
