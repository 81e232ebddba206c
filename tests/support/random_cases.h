// Seeded random inputs for the robustness tests, and a watchdog that ends
// the test program, naming the case, when one case runs far too long.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tessa::test {

// A fixed-seed generator with the draws the tests need.
class RandomCases {
 public:
  explicit RandomCases(unsigned seed) : engine_(seed) {}

  // A whole number in [lo, hi].
  size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }
  long long Between(long long lo, long long hi) { return std::uniform_int_distribution<long long>(lo, hi)(engine_); }
  bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
  char Byte() { return static_cast<char>(Below(256)); }

  std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = Byte();
    return s;
  }
  // n characters drawn from alphabet.
  std::string From(const std::string& alphabet, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[Below(alphabet.size())];
    return s;
  }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

  // bytes with a few random damages: flipped bytes, a cut, a removed or
  // inserted stretch, or a copied stretch.
  std::string Damage(std::string bytes) {
    const int rounds = 1 + static_cast<int>(Below(3));
    for (int r = 0; r < rounds; ++r) {
      const size_t size = bytes.size();
      switch (Below(5)) {
        case 0:
          for (size_t i = 0, n = 1 + Below(8); i < n && size > 0; ++i) bytes[Below(size)] = Byte();
          break;
        case 1: bytes.resize(Below(size + 1)); break;
        case 2:
          if (size > 0) {
            const size_t at = Below(size);
            bytes.erase(at, 1 + Below(std::min<size_t>(size - at, 512)));
          }
          break;
        case 3: bytes.insert(Below(size + 1), Bytes(1 + Below(64))); break;
        default:
          if (size > 0) {
            const size_t at = Below(size);
            const std::string piece = bytes.substr(at, 1 + Below(256));
            bytes.insert(Below(size + 1), piece);
          }
          break;
      }
    }
    return bytes;
  }

 private:
  std::mt19937_64 engine_;
};

// Aborts the program with the armed case's description when a case has
// run longer than the limit: a hang then fails fast and says where.
class CaseWatchdog {
 public:
  explicit CaseWatchdog(std::chrono::seconds limit = std::chrono::seconds(60)) : limit_(limit) {
    thread_ = std::thread([this] { Watch(); });
  }
  ~CaseWatchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  CaseWatchdog(const CaseWatchdog&) = delete;
  CaseWatchdog& operator=(const CaseWatchdog&) = delete;

  // Starts timing the case described by what.
  void Arm(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    what_ = what;
    deadline_ = std::chrono::steady_clock::now() + limit_;
    armed_ = true;
    wake_.notify_all();
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
      if (!armed_) {
        wake_.wait(lock);
        continue;
      }
      const auto deadline = deadline_;
      if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && armed_ && !stop_ &&
          deadline_ == deadline) {
        std::fprintf(stderr, "A case ran longer than %lld s: %s\n", static_cast<long long>(limit_.count()),
                     what_.c_str());
        std::abort();
      }
    }
  }

  std::chrono::seconds limit_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string what_;
  std::chrono::steady_clock::time_point deadline_;
  bool armed_ = false;
  bool stop_ = false;
};

}  // namespace tessa::test
