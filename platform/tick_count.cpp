#include "platform/tick_count.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace tessa {

namespace {
std::mutex& TickMutex() {
  static std::mutex m;
  return m;
}
TickSource& InstalledSource() {
  static TickSource source;
  return source;
}
}  // namespace

int64_t GetTickCount() {
  TickSource source;
  {
    std::lock_guard<std::mutex> lock(TickMutex());
    source = InstalledSource();
  }
  if (source) return source();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SetTickSource(TickSource source) {
  std::lock_guard<std::mutex> lock(TickMutex());
  InstalledSource() = std::move(source);
}

}  // namespace tessa
