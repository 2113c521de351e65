#include "board/online_connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/board_addresses.h"
#include "board/outgoing_pose.h"
#include "cpusettings/cpu_settings.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "sim_online.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "virtual_board.h"
#include "virtual_drive.h"
#include "wait_until.h"

namespace gestalon::core {
namespace {

using gestalon::testing::ConnectAndSettle;
using gestalon::testing::RecordingPrompter;
using gestalon::testing::RecordingViewNotifier;
using gestalon::testing::WaitUntil;
using namespace std::chrono_literals;

constexpr std::uint32_t kServoOn = SystemFlag::kServoOn;

std::uint32_t TargetAddress(int slider) {
  return BoardAddress::kServoTarget + 2 * static_cast<std::uint32_t>(slider);
}

std::uint32_t MotorWordAddress(int motor, int word) {
  return BoardAddress::kMotorRecords + 64 * static_cast<std::uint32_t>(motor) +
         2 * static_cast<std::uint32_t>(word);
}

// A robot called "GST" on a virtual board, a project of the same name, and a connection with
// short cycles.
class Online : public ::testing::Test {
 protected:
  Online() {
    board.SetModelName("GST");
    link.SetCurrentDrive(sim::VirtualBoardDrive(board, u"V"));
    SetRobotName(cpu, u"GST");
  }

  OnlineContext Context() {
    OnlineContext context{sliders, cpu, systemFlags, u"GST", slot};
    context.sessionMutex = &session;
    context.prompter = &prompter;
    context.views = &views;
    context.requestProjectChoice = [this](std::u16string boardName) {
      std::lock_guard lock(choiceMutex);
      projectChoices.push_back(std::move(boardName));
    };
    context.startStatusWindow = [this] { ++statusWindows; };
    gestalon::testing::UseTestTiming(context);
    return context;
  }

  std::vector<std::u16string> ProjectChoices() {
    std::lock_guard lock(choiceMutex);
    return projectChoices;
  }

  // Waits for `cycles` more status polls of the worker (each repaints the pose area).
  bool WaitCycles(std::size_t cycles) {
    const auto repaints = [&] {
      std::lock_guard lock(views.mutex_);
      return static_cast<std::size_t>(
          std::count(views.events.begin(), views.events.end(), "repaint pose"));
    };
    const std::size_t start = repaints();
    return WaitUntil([&] { return repaints() >= start + cycles; });
  }

  static void Stop(OnlineConnection& online) {
    EXPECT_EQ(online.StopOnline(), 1);
    EXPECT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
  }

  sim::VirtualBoard board;
  BoardLink link;
  SliderTable sliders{};
  CpuSettings cpu{};
  std::atomic<std::uint32_t> systemFlags{SystemFlag::kOnline};
  OutgoingPoseSlot slot;
  std::mutex session;
  RecordingPrompter prompter;
  RecordingViewNotifier views;
  std::mutex choiceMutex;
  std::vector<std::u16string> projectChoices;
  std::atomic<int> statusWindows{0};  // times the status window was asked to open
};

// Yes asks for the project to open, Cancel just ends; neither touches the project's settings.
TEST_F(Online, OtherNameAnsweredYesOrCancelDisconnects) {
  board.SetModelName("OTHER");
  board.SetWord32(BoardAddress::kControlCycle, 5000);
  for (const PromptAnswer answer : {PromptAnswer::kYes, PromptAnswer::kCancel}) {
    SCOPED_TRACE(static_cast<int>(answer));
    prompter.Clear();
    prompter.QueueAnswer(answer);
    OnlineConnection online(link, Context());
    EXPECT_EQ(online.StartOnline(), 1);  // the board answered; the question ends it
    ASSERT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
    EXPECT_FALSE(online.Online());
    EXPECT_EQ(ProjectChoices(), std::vector<std::u16string>{u"OTHER"});  // Yes only
    const auto calls = prompter.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].buttons, PromptButtons::kYesNoCancel);
    EXPECT_EQ(calls[0].text, LoadText(TextId::kMsgRobotNameMismatch));
    EXPECT_EQ(systemFlags.load() & SystemFlag::kOnline, 0u);
    EXPECT_FALSE(link.IsBoardOpen());
    std::lock_guard lock(session);
    EXPECT_EQ(cpu.basicControlCycle, 0);
    systemFlags.fetch_or(SystemFlag::kOnline);
  }
}

TEST_F(Online, OtherNameAnsweredNoAdoptsTheBoardSettings) {
  board.SetModelName("OTHER");
  board.SetWord32(BoardAddress::kControlCycle, 5000);
  board.SetWord(MotorWordAddress(1, MotorWord::kAdr0), 0x0C04);   // slider 2
  board.SetWord(MotorWordAddress(1, MotorWord::kAdrEn), 0x0C06);  // slider 3
  prompter.QueueAnswer(PromptAnswer::kNo);
  systemFlags.fetch_or(SystemFlag::kStatusWindow);
  OnlineConnection online(link, Context());
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  EXPECT_EQ(statusWindows.load(), 1);
  EXPECT_TRUE(ProjectChoices().empty());
  {
    std::lock_guard lock(session);
    EXPECT_EQ(cpu.basicControlCycle, 5000);
    EXPECT_EQ(cpu.motors[1].words[MotorWord::kAdr0], 0x0C04);
    EXPECT_EQ(sliders[2].companion, 3);
    EXPECT_EQ(RobotName(cpu), u"GST");
  }
  // The settings go back to the board under the project's name.
  EXPECT_EQ(board.Byte(BoardAddress::kModelName), 'G');
  EXPECT_EQ(board.Word32(BoardAddress::kControlCycle), 5000u);
  Stop(online);
}

TEST_F(Online, ReachesTheBoardWithCompanionAndMaskRulesSkippingDisabledSliders) {
  // Channel 1: slider 2 with its companion 3 after it; channel 2: slider 6 with its companion 5
  // before it. The channel links come from the board's motor records.
  board.SetWord(MotorWordAddress(1, MotorWord::kAdr0), 0x0C04);
  board.SetWord(MotorWordAddress(1, MotorWord::kAdrEn), 0x0C06);
  board.SetWord(MotorWordAddress(2, MotorWord::kAdr0), 0x0C0C);
  board.SetWord(MotorWordAddress(2, MotorWord::kAdrEn), 0x0C0A);
  sliders[10].flags2 |= SliderFlag2::kDisabled;
  OnlineConnection online(link, Context());
  ASSERT_NO_FATAL_FAILURE(ConnectAndSettle(online, board, systemFlags));
  MotionBlock pose;
  for (int i = 0; i < kPoseSlotCount; ++i) {
    pose.slots[i] = static_cast<std::int16_t>(100 + i);
  }
  pose.slots[10] = 555;
  pose.servoEnableMask = (1u << 1) | (1u << 2);
  HandOverPose(slot, link, pose, 40);
  ASSERT_TRUE(WaitUntil([&] { return board.Word(BoardAddress::kMoveTime) == 40; }));
  for (int i : {0, 1, 2, 4, 6, 9, 11, 127}) {
    EXPECT_EQ(board.Word(TargetAddress(i)), 100 + i) << "slider " << i;
  }
  EXPECT_EQ(board.Word(TargetAddress(3)), 103);  // companion after its channel: its own value
  EXPECT_EQ(board.Word(TargetAddress(5)), 0);    // companion before its channel: masked to 0
  EXPECT_EQ(board.Word(TargetAddress(10)), 0);   // disabled: never sent
  // The next pose waits while the board still moves. Without the mask bit the companion before
  // its channel gets its own value.
  ASSERT_TRUE(WaitUntil([&] { return (systemFlags.load() & BoardStatusBit::kBuffer0Busy) != 0; }));
  pose.servoEnableMask = 0;
  pose.slots[5] = -7;
  HandOverPose(slot, link, pose, 41);
  ASSERT_TRUE(WaitCycles(5));
  EXPECT_EQ(board.Word(TargetAddress(5)), 0);
  EXPECT_EQ(link.Flags().posePending.load(), 1u);
  board.Advance(10'000'000);
  ASSERT_TRUE(WaitUntil([&] { return board.Word(BoardAddress::kMoveTime) == 41; }));
  EXPECT_EQ(static_cast<std::int16_t>(board.Word(TargetAddress(5))), -7);
  Stop(online);
}

TEST_F(Online, AllSlidersDisabledSendsNothingAndKeepsThePosePending) {
  for (SliderDef& slider : sliders) {
    slider.flags2 |= SliderFlag2::kDisabled;
  }
  OnlineConnection online(link, Context());
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  MotionBlock pose;
  pose.slots.fill(77);
  HandOverPose(slot, link, pose, 30);
  ASSERT_TRUE(WaitCycles(10));
  EXPECT_EQ(link.Flags().posePending.load(), 1u);
  EXPECT_EQ(board.Word(BoardAddress::kMoveTime), 0);
  EXPECT_EQ(board.Word(TargetAddress(0)), 0);
  Stop(online);
}

// The bit is written within a cycle and reasserted after the board changes it; stopping clears
// it without switching the board off.
TEST_F(Online, BitIsWrittenWithinACycleAndReassertedAfterTheBoardChangesIt) {
  board.SetWord(BoardAddress::kServoPower, 7);
  OnlineConnection online(link, Context());
  ASSERT_EQ(online.StartOnline(), 1);
  // The first cycle always writes the state SystemFlags asks for.
  ASSERT_TRUE(WaitUntil([&] { return board.Word(BoardAddress::kServoPower) == 0; }));
  for (const std::uint16_t on : {1, 0, 1}) {
    if (on != 0) {
      systemFlags.fetch_or(kServoOn);
    } else {
      systemFlags.fetch_and(~kServoOn);
    }
    ASSERT_TRUE(WaitUntil([&] { return board.Word(BoardAddress::kServoPower) == on; }));
    board.SetWord(BoardAddress::kServoPower, static_cast<std::uint16_t>(1 - on));
    EXPECT_TRUE(WaitUntil([&] { return board.Word(BoardAddress::kServoPower) == on; }));
  }

  EXPECT_EQ(online.StopOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
  EXPECT_EQ(systemFlags.load() & kServoOn, 0u);
  EXPECT_NE(systemFlags.load() & SystemFlag::kOnline, 0u);
  EXPECT_EQ(board.Word(BoardAddress::kServoPower), 1);
  EXPECT_EQ(link.Flags().posePending.load(), 1u);
  EXPECT_FALSE(link.IsBoardOpen());
  EXPECT_EQ(online.StopOnline(), 0);  // nothing runs any more
}

TEST_F(Online, FailingPortSetsTheCommunicationErrorAndTheWorkerKeepsCycling) {
  OnlineConnection online(link, Context());
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  board.SetDevmemFailing(true);
  systemFlags.fetch_or(kServoOn);  // the next servo write fails
  ASSERT_TRUE(WaitUntil([&] { return link.Flags().communicationError.load() != 0; }));
  EXPECT_TRUE(WaitCycles(5));
  EXPECT_TRUE(online.Online());
  EXPECT_EQ(link.Flags().connectionActive.load(), 1u);
  Stop(online);
  EXPECT_FALSE(online.Online());
  EXPECT_EQ(link.Flags().communicationError.load(), 0u);
}

// A DEVMEM that does not open, or a board that never answers, is no connection once the start
// limit has passed.
TEST_F(Online, NoAnswerWithinTheStartLimitIsNoConnection) {
  for (const bool opens : {false, true}) {
    SCOPED_TRACE(opens);
    BoardDrive drive = sim::VirtualBoardDrive(board, u"V");
    if (!opens) {
      drive.openDevmem = [] { return std::unique_ptr<DevmemPort>(); };
    }
    link.SetCurrentDrive(drive);
    board.SetDevmemFailing(opens);
    OnlineContext context = Context();
    context.timing.startLimit = 150ms;
    OnlineConnection online(link, std::move(context));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(online.StartOnline(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 150ms);
    EXPECT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
    EXPECT_EQ(systemFlags.load() & SystemFlag::kOnline, 0u);
    EXPECT_TRUE(prompter.Calls().empty());
    EXPECT_FALSE(link.IsBoardOpen());
    systemFlags.fetch_or(SystemFlag::kOnline);
  }
}

// A board of the robot's name connects without asking and is reset; the asynchronous start
// reports its result; a second start is refused while connected; a playing motion keeps the
// connection through a stop; the connection starts again once it has ended, and its destruction
// stops the worker.
TEST_F(Online, StartsOnceStopsUnlessPlayingAndEndsWithItsObject) {
  for (const std::uint32_t playing : {BoardAddress::kPlayByte, BoardAddress::kBufferBusy[1]}) {
    board.WriteMemory(playing, std::vector<std::uint8_t>{1});
  }
  {
    OnlineContext context = Context();
    context.timing.stopPolls = 5;
    OnlineConnection online(link, std::move(context));
    EXPECT_FALSE(online.ConnectionStartTime().has_value());
    std::atomic<int> result{-1};
    ASSERT_TRUE(online.StartOnlineAsync([&](int r) { result.store(r); }));
    ASSERT_TRUE(WaitUntil([&] { return result.load() != -1; }));
    EXPECT_EQ(result.load(), 1);
    ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
    EXPECT_TRUE(online.ConnectionStartTime().has_value());
    EXPECT_TRUE(prompter.Calls().empty());
    EXPECT_TRUE(ProjectChoices().empty());
    EXPECT_EQ(statusWindows.load(), 0);  // not asked for
    EXPECT_EQ(board.Byte(BoardAddress::kPlayByte), 0);
    EXPECT_EQ(board.Byte(BoardAddress::kBufferBusy[1]), 0);
    EXPECT_EQ(online.StartOnline(), 0);
    link.Flags().playbackActive.store(1);
    EXPECT_EQ(online.StopOnline(), 1);
    ASSERT_TRUE(WaitCycles(3));
    EXPECT_TRUE(online.Online());
    EXPECT_EQ(link.Flags().connectionActive.load(), 1u);
    link.Flags().playbackActive.store(0);
    Stop(online);
    EXPECT_FALSE(online.Online());
    ASSERT_EQ(online.StartOnline(), 1);
    ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  }
  EXPECT_EQ(link.Flags().workerFinished.load(), 1u);
  EXPECT_FALSE(link.IsBoardOpen());
}

}  // namespace
}  // namespace gestalon::core
