// How the tessaprint program reaches its core: the small program answers
// --help itself and loads the core library for everything else, so that
// asking for the usage maps no image or PDF library.
#pragma once

namespace tessa {

// The core's file (found through the program's library path) and the C name
// of its main function, int (int argc, char** argv).
inline constexpr const char* kProgramCoreFile = "libtessaprint_core.so";
inline constexpr const char* kProgramCoreEntry = "tessa_program_main";

}  // namespace tessa
