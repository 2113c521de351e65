#pragma once

#include <chrono>
#include <thread>

namespace gestalon::testing {

// Waits for something another thread does. The limit is a ceiling that only a fault reaches,
// never the expected time: on a busy machine a worker may stall for seconds.
inline constexpr std::chrono::milliseconds kWaitCeiling{60'000};

// Polls `condition` every millisecond until it holds (true) or `limit` has passed (false).
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = kWaitCeiling) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace gestalon::testing
