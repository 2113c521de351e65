#include "realtime_driver.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace gestalon::sim {

RealTimeDriver::RealTimeDriver(VirtualBoard& board, std::chrono::microseconds step)
    : board_(board), step_(step), thread_([this] { Run(); }) {}

RealTimeDriver::~RealTimeDriver() {
  {
    std::lock_guard lock(wakeMutex_);
    stop_.store(true);
  }
  wake_.notify_all();
  thread_.join();
}

void RealTimeDriver::Run() noexcept {
  try {
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    std::chrono::nanoseconds owed{0};  // real time not yet handed to the board
    while (!stop_.load()) {
      {
        std::unique_lock lock(wakeMutex_);
        wake_.wait_for(lock, step_, [this] { return stop_.load(); });
      }
      const auto now = Clock::now();
      owed += now - last;
      last = now;
      auto microseconds = std::chrono::duration_cast<std::chrono::microseconds>(owed).count();
      owed -= std::chrono::microseconds(microseconds);
      constexpr auto kLargest = std::numeric_limits<std::uint32_t>::max();
      while (microseconds > 0) {
        const auto chunk = static_cast<std::uint32_t>(
            std::min<std::int64_t>(microseconds, std::int64_t{kLargest}));
        board_.Advance(chunk);
        microseconds -= chunk;
      }
    }
  } catch (...) {
    failed_.store(true);
  }
}

}  // namespace gestalon::sim
