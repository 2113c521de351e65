#include "realtime_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "devmem_records.h"

namespace gestalon::sim {
namespace {

// The only test that waits for real time: a 20 ms move must finish (within a ceiling of a minute)
// while another thread talks to the board through DEVMEM.
TEST(RealTimeDriver, RunsTheBoardInRealTimeUntilDestroyed) {
  VirtualBoard board;
  ASSERT_TRUE(testing::SendValue(board, kControlCycleAddress, 1000, 4));
  ASSERT_TRUE(testing::SendValue(board, kInterpolationMethodAddress, kInterpolationLinear, 1));
  auto port = board.OpenDevmem();
  std::uint64_t stoppedAt = 0;
  {
    RealTimeDriver driver(board, std::chrono::milliseconds(1));
    testing::SendMove(board, {500}, 20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    core::DevmemRecord reply{};
    while (std::chrono::steady_clock::now() < deadline) {
      ASSERT_TRUE(port->WriteRecord(testing::ReadRequestOf(kBufferBusyAddress[0], 1)));
      ASSERT_TRUE(port->ReadRecord(reply));
      if (reply[4] == 0) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(reply[4], 0);
    EXPECT_EQ(testing::CurrentValue(board, 0), 500);
    EXPECT_GE(board.ElapsedMicroseconds(), 20000u);
    EXPECT_TRUE(driver.Running());
    stoppedAt = board.ElapsedMicroseconds();
  }
  const std::uint64_t afterDestruction = board.ElapsedMicroseconds();
  EXPECT_GE(afterDestruction, stoppedAt);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(board.ElapsedMicroseconds(), afterDestruction);
}

}  // namespace
}  // namespace gestalon::sim
