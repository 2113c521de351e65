#include "virtual_board.h"

#include <gtest/gtest.h>

namespace gestalon::sim {
namespace {

TEST(VirtualBoard, MemoryIsZeroAtPowerOnAndDropsBytesBeyondItsEnd) {
  VirtualBoard board;
  std::array<std::uint8_t, 4> bytes{1, 2, 3, 4};
  board.Write(0x1FFE, bytes);
  std::array<std::uint8_t, 4> back{};
  board.Read(0x1FFE, back);
  EXPECT_EQ(back, (std::array<std::uint8_t, 4>{1, 2, 0, 0}));
  board.PowerOn();
  board.Read(0x1FFE, back);
  EXPECT_EQ(back, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace gestalon::sim
