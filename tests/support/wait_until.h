// Waiting for what a child process or another thread does: the condition is
// checked every 10 ms until it holds or a generous limit has passed, so a
// busy machine only makes a passing test slower, never a failing one.
#pragma once

#include <chrono>
#include <thread>

namespace tessa::test {

// Long enough that only a real fault runs it out.
inline constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(120);

// True once condition() holds; false when limit passed first.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = kPatience) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace tessa::test
