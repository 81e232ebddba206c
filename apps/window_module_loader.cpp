#include <dlfcn.h>

#include <cstdio>

#include "apps/window_module.h"

namespace tessa {

namespace {

const WindowModule* Load() {
  void* handle = ::dlopen(kWindowModuleFile, RTLD_LAZY | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "tessaprint: %s\n", ::dlerror());
    return nullptr;
  }
  using Entry = const WindowModule* (*)();
  const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kWindowModuleEntry));
  if (!entry) {
    std::fprintf(stderr, "tessaprint: %s\n", ::dlerror());
    return nullptr;
  }
  return entry();
}

}  // namespace

const WindowModule* LoadWindowModule() {
  static const WindowModule* const module = Load();
  return module;
}

}  // namespace tessa
