#pragma once

#include <atomic>
#include <cstdint>

namespace gestalon::core {

// Flags shared by the user-interface thread and the board workers. The board-busy flag is not
// here: BoardLink hands it out only through TryTakeBoard / TakeBoard.
struct BoardFlags {
  // 1 while the online worker runs, or while an offline settings write holds DEVMEM open.
  // Writing 0 asks the online worker to stop. Write transactions send only while it is 1.
  std::atomic<std::uint32_t> connectionActive{0};
  // Set by a failed write flush; cleared when an online connection starts and when it ends.
  std::atomic<std::uint32_t> communicationError{0};
  // 1 while a motion plays on the robot; waits for the board then fail at once.
  std::atomic<std::uint32_t> playbackActive{0};
  // 1 while the online worker runs after a successful robot check: what "online" means.
  std::atomic<std::uint32_t> online{0};
  // The outgoing pose (or the servo bit) changed and waits to be sent.
  std::atomic<std::uint32_t> posePending{0};
  // Set before the online worker starts; cleared once the board answered the robot check.
  std::atomic<std::uint32_t> startupPending{0};
  // 1 whenever no online worker runs.
  std::atomic<std::uint32_t> workerFinished{1};
  // Nesting depth of stop requests being made.
  std::atomic<std::uint32_t> stopRequestNesting{0};
  // Some address of the refresh-request table waits to be read.
  std::atomic<std::uint32_t> refreshPending{0};
};

}  // namespace gestalon::core
