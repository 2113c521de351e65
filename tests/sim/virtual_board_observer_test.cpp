#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devmem_records.h"
#include "virtual_board.h"

namespace gestalon::sim {
namespace {

using testing::SendValue;

// What the observers saw, in order: "move <time> <slot 0> <slot 127>" or "block <address>".
struct Trace {
  std::vector<std::string> lines;

  void Attach(VirtualBoard& board) {
    board.SetMoveObserver([this](const ServoMove& move) {
      lines.push_back("move " + std::to_string(move.time) + " " + std::to_string(move.targets[0]) +
                      " " + std::to_string(move.targets[127]));
    });
    board.SetBlockObserver(
        [this](std::uint32_t address) { lines.push_back("block " + std::to_string(address)); });
  }
};

std::vector<std::uint8_t> Write(std::uint32_t address, std::vector<std::uint8_t> data) {
  std::vector<std::uint8_t> code;
  code.reserve(6 + data.size());
  for (const std::uint8_t byte : {std::uint8_t{0x90}, static_cast<std::uint8_t>(address),
                                  static_cast<std::uint8_t>(address >> 8), std::uint8_t{0},
                                  std::uint8_t{0}, static_cast<std::uint8_t>(data.size())}) {
    code.push_back(byte);
  }
  for (const std::uint8_t byte : data) {
    code.push_back(byte);
  }
  return code;
}

TEST(VirtualBoardObservers, SeeMovesAndBlockAddressesInProgramOrder) {
  VirtualBoard board;
  Trace trace;
  trace.Attach(board);
  std::vector<std::uint8_t> code;
  for (const auto& part :
       {Write(0x0FFC, {0x20, 0x01, 0, 0}), Write(0x0A00, {0x34, 0x12}), Write(0x0B00, {5, 0}),
        Write(0x0FFC, {0x20, 0x01, 0, 0}), Write(0x0FFE, {0x01, 0}), Write(0x0B00, {9, 0})}) {
    code.insert(code.end(), part.begin(), part.end());
  }
  code.push_back(0x83);
  board.RunImage(code);
  board.Advance(VirtualBoard::kDefaultControlCycle);
  // The same address written again is no change; a write of its upper half is.
  EXPECT_EQ(trace.lines, (std::vector<std::string>{"block 288", "move 5 4660 0", "block 65824",
                                                   "move 9 4660 0"}));
  EXPECT_FALSE(board.Running());
}

TEST(VirtualBoardObservers, SeeDevmemMovesAndCanBeRemoved) {
  VirtualBoard board;
  Trace trace;
  trace.Attach(board);
  SendValue(board, kServoTargetAddress + 2 * 127, 0xFFFF, 2);
  SendValue(board, kMoveTimeAddress, 3, 2);
  board.SetWord32(kBlockCodeAddress, 7);  // memory access of tests is no board write
  EXPECT_EQ(trace.lines, (std::vector<std::string>{"move 3 0 -1"}));

  board.SetMoveObserver({});
  board.SetBlockObserver({});
  SendValue(board, kMoveTimeAddress, 4, 2);
  SendValue(board, kBlockCodeAddress, 9, 4);
  EXPECT_EQ(trace.lines.size(), 1u);
  EXPECT_EQ(board.Word(kMoveTimeAddress), 4);
}

}  // namespace
}  // namespace gestalon::sim
