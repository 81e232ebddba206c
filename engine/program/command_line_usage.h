// The short usage of the program's command line and the arguments that ask
// for it: plain constants, so that the program can answer them before it
// loads anything else.
#pragma once

#include <cstring>

namespace tessa {

// Printed for --help and -h (on stdout) and after an invalid command line
// (on stderr).
inline constexpr const char* kCommandLineUsage =
    "usage: tessaprint /S <image or mask> /T <pdf, folder or mask> [options]\n"
    "       tessaprint /J <job file> [/L <log file>] [/B <failed-tasks job file>]\n"
    "options: /F <type> input type (-1 detects)  /C <type> output type  /R subfolders\n"
    "         /G output beside each input  /+ append  /A /D /K /U /I <text> author, creator,\n"
    "         keywords, subject, title  /M <0-4> TIFF compression  /W <pages> TIFF pages\n"
    "         /L <log file>  /B <job file> failed tasks  /Z log every file  /V show log lines\n"
    "         /? online help\n"
    "a folder is given as a mask: /S /scans/*.jpg\n";

// True for --help and -h, which ask for the usage when they are the only
// argument.
inline bool bIsUsageArgument(const char* arg) {
  return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

}  // namespace tessa
