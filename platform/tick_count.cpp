#include "platform/tick_count.h"

#include <chrono>

namespace tessa {

int64_t GetTickCount() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tessa
