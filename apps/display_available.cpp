#include "apps/display_available.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tessa {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

bool bDisplayAvailable() {
  std::error_code ec;
  const std::string wayland = Env("WAYLAND_DISPLAY");
  if (!wayland.empty()) {
    const std::filesystem::path socket =
        wayland.front() == '/' ? std::filesystem::path(wayland) : std::filesystem::path(Env("XDG_RUNTIME_DIR")) / wayland;
    if (std::filesystem::exists(socket, ec)) return true;
  }
  const std::string display = Env("DISPLAY");
  if (display.empty()) return false;
  if (display.front() != ':') return true;  // a remote display
  const std::string number = display.substr(1, display.find('.') - 1);
  return std::filesystem::exists("/tmp/.X11-unix/X" + number, ec);
}

}  // namespace tessa
