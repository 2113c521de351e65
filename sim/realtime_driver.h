#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "virtual_board.h"

namespace gestalon::sim {

// Runs a virtual board in real time: a thread advances it by the time that really passed, in
// steps of about `step`, from construction until destruction. `board` must outlive the driver.
class RealTimeDriver {
 public:
  static constexpr std::chrono::microseconds kDefaultStep{5000};

  explicit RealTimeDriver(VirtualBoard& board, std::chrono::microseconds step = kDefaultStep);
  // Stops the thread and waits for it.
  ~RealTimeDriver();
  RealTimeDriver(const RealTimeDriver&) = delete;
  RealTimeDriver& operator=(const RealTimeDriver&) = delete;

  // False once the thread ended on an error; the board then stands still.
  bool Running() const { return !failed_.load(); }

 private:
  void Run() noexcept;

  VirtualBoard& board_;
  const std::chrono::microseconds step_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> failed_{false};
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  std::thread thread_;  // last: starts once everything it uses exists
};

}  // namespace gestalon::sim
