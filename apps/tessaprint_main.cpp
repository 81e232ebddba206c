// tessaprint: the main program. It answers --help and -h by itself and hands
// every other start to the core library (program_main.cpp).
#include <dlfcn.h>

#include <cstdio>

#include "apps/program_entry.h"
#include "engine/program/command_line_usage.h"

int main(int argc, char** argv) {
  if (argc == 2 && tessa::bIsUsageArgument(argv[1])) {
    std::fputs(tessa::kCommandLineUsage, stdout);
    return 0;
  }
  void* core = ::dlopen(tessa::kProgramCoreFile, RTLD_LAZY | RTLD_LOCAL);
  using Entry = int (*)(int, char**);
  const auto entry = core ? reinterpret_cast<Entry>(::dlsym(core, tessa::kProgramCoreEntry)) : nullptr;
  if (!entry) {
    std::fprintf(stderr, "tessaprint: %s\n", ::dlerror());
    return 1;
  }
  return entry(argc, argv);
}
