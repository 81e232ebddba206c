// tessaprint: the main program. Until the command-line runner is built it
// only says what it can do so far.
#include <cstdio>

#include "common/windows_version.h"

int main(int argc, char** argv) {
  (void)argv;
  std::printf("tessaprint: running on %s\n", tessa::GetWinVerInfo().c_str());
  if (argc > 1) {
    std::fprintf(stderr, "tessaprint: command-line conversion is not built yet\n");
    return 2;
  }
  std::printf("tessaprint: the main window is not built yet\n");
  return 0;
}
