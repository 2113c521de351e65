#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "devmem_records.h"
#include "servo_interpolator.h"
#include "virtual_board.h"

namespace gestalon::sim {
namespace {

using testing::CurrentValue;
using testing::SendMove;
using testing::SendValue;
using testing::WriteRecordOf;

constexpr std::uint32_t kUnit = VirtualBoard::kDefaultControlCycle;

void SetMethod(VirtualBoard& board, std::uint32_t slot, std::uint8_t method) {
  ASSERT_TRUE(SendValue(board, kInterpolationMethodAddress + slot, method, 1));
}

// --- The curves ---

TEST(InterpolatedValue, EachMethodFollowsItsCurve) {
  struct Case {
    std::uint8_t method;
    std::int16_t start, target;
    std::uint32_t elapsed, time;
    std::int16_t value;
  };
  const std::vector<Case> cases{
      {kInterpolationLinear, 0, 1000, 0, 10, 0},
      {kInterpolationLinear, 0, 1000, 5, 10, 500},
      {kInterpolationLinear, 100, -300, 1, 4, 0},
      {kInterpolationLinear, 0, 1000, 10, 10, 1000},
      {kInterpolationLinear, 0, 1000, 11, 10, 1000},
      {kInterpolationLinear, 0, 1000, 0, 0, 1000},  // no time: at the target at once
      {3, 0, 1000, 3, 10, 300},
      {4, 0, 1000, 3, 10, 300},
      {9, 0, 1000, 3, 10, 300},
      {kInterpolationJump, -20, 700, 1, 100, 700},
      {kInterpolationCubic, 0, 1000, 5, 10, 500},
      {kInterpolationCubic, 1000, 0, 2, 10, 896},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InterpolatedValue(c.method, c.start, c.target, c.elapsed, c.time), c.value)
        << int{c.method} << " at " << c.elapsed << "/" << c.time;
  }
  // The cubic curve eases in and out monotonically over the whole range: slow at both ends.
  std::int16_t previous = -32768;
  for (std::uint32_t elapsed = 1; elapsed <= 97; ++elapsed) {
    const std::int16_t value = InterpolatedValue(kInterpolationCubic, -32768, 32767, elapsed, 97);
    EXPECT_GE(value, previous) << elapsed;
    previous = value;
  }
  EXPECT_EQ(previous, 32767);
  EXPECT_LT(InterpolatedValue(kInterpolationCubic, 0, 1000, 1, 10), 100);
  EXPECT_GT(InterpolatedValue(kInterpolationCubic, 0, 1000, 9, 10), 900);
}

// --- Moves started by the time word ---

TEST(VirtualBoardServos, ALinearMoveReachesItsTargetsAfterItsTime) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  SetMethod(board, 1, kInterpolationLinear);
  SendMove(board, {1000, -400}, 10);
  EXPECT_EQ(board.Byte(kFillCountAddress), 1);
  EXPECT_NE(board.Byte(kBufferBusyAddress[0]), 0);
  board.Advance(5 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 500);
  EXPECT_EQ(CurrentValue(board, 1), -200);
  board.Advance(4 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 900);
  EXPECT_NE(board.Byte(kBufferBusyAddress[0]), 0);
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 1000);
  EXPECT_EQ(CurrentValue(board, 1), -400);
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
}

TEST(VirtualBoardServos, EachSlotFollowsItsOwnMethod) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationJump);
  SetMethod(board, 1, kInterpolationLinear);
  SetMethod(board, 2, kInterpolationCubic);
  SendMove(board, {800, 800, 800}, 8);
  EXPECT_EQ(CurrentValue(board, 0), 0);  // nothing moves before the first unit
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 800);
  EXPECT_EQ(CurrentValue(board, 1), 100);
  EXPECT_LT(CurrentValue(board, 2), 100);
  EXPECT_GT(CurrentValue(board, 2), 0);
  board.Advance(7 * kUnit);
  EXPECT_EQ(CurrentValue(board, 2), 800);
}

// A move starts from where the servos stand, with the power on or off; time 0 moves at once.
TEST(VirtualBoardServos, AMoveStartsFromWhereTheServosAreAndTimeZeroMovesAtOnce) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  ASSERT_TRUE(SendValue(board, kServoPowerAddress, 0, 2));
  board.SetWord(kServoCurrentAddress, 200);
  SendMove(board, {600}, 4);
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 300);
  board.Advance(3 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 600);
  SendMove(board, {-1234}, 0);
  EXPECT_EQ(CurrentValue(board, 0), -1234);
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
}

// The servos report their outputs at the capture variables: source plus base, within the limits.
TEST(VirtualBoardServos, OutputsReportTheirPositionsAtTheCaptureVariables) {
  VirtualBoard board;
  const auto setMotor = [&](std::uint32_t k, std::uint16_t capture, std::uint16_t source,
                            std::int16_t base, std::int16_t lower, std::int16_t upper) {
    const std::uint32_t record = kMotorRecordAddress + kMotorRecordSize * k;
    board.SetWord(record, capture);
    board.SetWord(record + 2, source);
    board.SetWord(record + 10, static_cast<std::uint16_t>(base));
    board.SetWord(record + 12, static_cast<std::uint16_t>(lower));
    board.SetWord(record + 14, static_cast<std::uint16_t>(upper));
  };
  setMotor(0, 0x0D80, kServoCurrentAddress, 100, -1000, 1000);
  setMotor(1, 0x0D82, kServoCurrentAddress + 2, 0, -50, 50);
  setMotor(2, 0x0D84, kServoCurrentAddress + 4, 7, 1, -1);  // no limits when lower > upper
  setMotor(3, 0, kServoCurrentAddress, 5, -9, 9);           // no capture variable
  setMotor(4, 0x0D86, kServoCurrentAddress, 0, 10, 10);     // lower = upper: a fixed output
  setMotor(5, 0x0D88, 0, 9, -9, 9);                         // no source
  SendMove(board, {-200, 300, 3000}, 0);
  board.Advance(kUnit);
  EXPECT_EQ(static_cast<std::int16_t>(board.Word(0x0D80)), -100);
  EXPECT_EQ(board.Word(0x0D82), 50);
  EXPECT_EQ(board.Word(0x0D84), 3007);
  EXPECT_EQ(board.Word(0x0D86), 10);
  EXPECT_EQ(board.Word(0x0D88), 0);
  EXPECT_EQ(board.Word(0), 0);
}

// Only a DEVMEM write touching the time word starts a move (its high byte alone will do), also
// when the targets come in the same record.
TEST(VirtualBoardServos, OnlyWritesTouchingTheTimeWordStartMoves) {
  VirtualBoard board;
  ASSERT_TRUE(SendValue(board, kServoTargetAddress, 100, 2));
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress + 2, 5, 2));
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress - 2, 5, 2));
  board.SetWord(kMoveTimeAddress, 5);  // board-side writes have no side effects
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress + 1, 0, 1));
  EXPECT_EQ(board.Byte(kFillCountAddress), 1);

  SetMethod(board, 127, kInterpolationLinear);
  ASSERT_TRUE(board.WriteDevmemRecord(  // slot 127 and the time word
      WriteRecordOf(0x0AFE, std::vector<std::uint8_t>{0x64, 0x00, 0x02, 0x00})));
  EXPECT_EQ(board.Byte(kFillCountAddress), 2);
  board.Advance(5 * kUnit + 2 * kUnit);  // the first move, then the second
  EXPECT_EQ(CurrentValue(board, 127), 100);
}

TEST(VirtualBoardServos, QueuedMovesRunOneAfterTheOther) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  SendMove(board, {100}, 2);
  SendMove(board, {-100}, 4);
  SendMove(board, {0}, 1);
  EXPECT_EQ(board.Byte(kFillCountAddress), 3);
  board.Advance(2 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 100);
  EXPECT_EQ(board.Byte(kFillCountAddress), 2);
  board.Advance(2 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 0);
  board.Advance(2 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), -100);
  EXPECT_EQ(board.Byte(kFillCountAddress), 1);
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
}

TEST(VirtualBoardServos, AFullBufferReplacesItsLastWaitingMove) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationJump);
  for (std::int16_t i = 1; i <= static_cast<std::int16_t>(ServoInterpolator::kDepth); ++i) {
    SendMove(board, {i}, 1);
  }
  SendMove(board, {99}, 1);
  EXPECT_EQ(board.Byte(kFillCountAddress), ServoInterpolator::kDepth);
  std::vector<std::int16_t> reached;
  for (std::size_t unit = 0; unit < ServoInterpolator::kDepth; ++unit) {
    board.Advance(kUnit);
    reached.push_back(CurrentValue(board, 0));
  }
  EXPECT_EQ(reached, (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6, 7, 99}));
}

// A reset of buffer 0 empties it where the servos stand; buffers 1 and 2 clear their bytes, and
// only the value 1 asks for a reset.
TEST(VirtualBoardServos, ResetEmptiesTheBufferWhereTheServosStand) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  SendMove(board, {1000}, 10);
  SendMove(board, {-1000}, 10);
  board.Advance(3 * kUnit);
  board.WriteMemory(kBufferBusyAddress[1], std::vector<std::uint8_t>{1});
  board.WriteMemory(kBufferBusyAddress[2], std::vector<std::uint8_t>{1});
  ASSERT_TRUE(SendValue(board, kBufferResetAddress[1], 1, 1));
  ASSERT_TRUE(SendValue(board, kBufferResetAddress[2], 2, 1));
  EXPECT_EQ(board.Byte(kBufferBusyAddress[1]), 0);
  EXPECT_EQ(board.Byte(kBufferResetAddress[1]), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[2]), 1);
  EXPECT_EQ(board.Byte(kBufferResetAddress[2]), 2);
  EXPECT_EQ(board.Byte(kFillCountAddress), 2);  // buffer 0 untouched

  ASSERT_TRUE(SendValue(board, kBufferResetAddress[0], 1, 1));
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
  EXPECT_EQ(board.Byte(kBufferResetAddress[0]), 0);
  board.Advance(20 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 300);
}

// --- Time ---

TEST(VirtualBoardTime, OneUnitPerBasicControlCycleAndZeroMeansTenMilliseconds) {
  for (const std::uint32_t cycle : {2500u, 0u}) {
    SCOPED_TRACE(cycle);
    const std::uint32_t unit = cycle == 0 ? 10000 : cycle;
    VirtualBoard board;
    ASSERT_TRUE(SendValue(board, kControlCycleAddress, cycle, 4));
    SetMethod(board, 0, kInterpolationLinear);
    SendMove(board, {400}, 4);
    board.Advance(unit - 1);
    EXPECT_EQ(CurrentValue(board, 0), 0);
    board.Advance(1);
    EXPECT_EQ(CurrentValue(board, 0), 100);
    board.Advance(unit + unit / 5);  // a fifth of a unit left over
    EXPECT_EQ(CurrentValue(board, 0), 200);
    board.Advance(unit - unit / 5);
    EXPECT_EQ(CurrentValue(board, 0), 300);
    EXPECT_EQ(board.ElapsedMicroseconds(), 3u * unit);
  }
}

}  // namespace
}  // namespace gestalon::sim
