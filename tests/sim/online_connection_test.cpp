#include "board/online_connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board/board_addresses.h"
#include "board/byte_code.h"
#include "board/outgoing_pose.h"
#include "board/playback.h"
#include "cpusettings/cpu_settings.h"
#include "fake_devmem.h"
#include "motion/motion_writer.h"
#include "motion_block_setup.h"
#include "platform/paths.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "sim_online.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/code_page.h"
#include "text/format.h"
#include "virtual_board.h"
#include "virtual_drive.h"
#include "wait_until.h"

namespace gestalon::core {
namespace {

using gestalon::testing::Chain;
using gestalon::testing::ConnectAndSettle;
using gestalon::testing::FakeBoard;
using gestalon::testing::ReadBytes;
using gestalon::testing::RecordingProgressSink;
using gestalon::testing::RecordingPrompter;
using gestalon::testing::RecordingViewNotifier;
using gestalon::testing::TempDir;
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
    std::atomic<int> result{-1};
    ASSERT_TRUE(online.StartOnlineAsync([&](int r) { result.store(r); }));
    ASSERT_TRUE(WaitUntil([&] { return result.load() != -1; }));
    EXPECT_EQ(result.load(), 1);
    ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
    EXPECT_TRUE(prompter.Calls().empty());
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

constexpr std::uint32_t kStepMicroseconds = 10'000;  // one time unit at the default cycle

// Every W record sent through DEVMEM, in order, from any thread.
struct WriteLog {
  std::vector<DevmemRecord> Writes() const {
    std::lock_guard lock(mutex);
    return writes;
  }
  mutable std::mutex mutex;
  std::vector<DevmemRecord> writes;
};

class RecordingPort : public DevmemPort {
 public:
  RecordingPort(std::unique_ptr<DevmemPort> inner, WriteLog& log)
      : inner_(std::move(inner)), log_(log) {}
  bool WriteRecord(const DevmemRecord& record) override {
    if (record[0] == 'W') {
      std::lock_guard lock(log_.mutex);
      log_.writes.push_back(record);
    }
    return inner_->WriteRecord(record);
  }
  bool ReadRecord(DevmemRecord& record) override { return inner_->ReadRecord(record); }

 private:
  std::unique_ptr<DevmemPort> inner_;
  WriteLog& log_;
};

// The views as the front end would drive them: the motion area is read under the session lock
// on every repaint request, and the list position of the selected block is noted when it changes.
class PlaybackViews : public gestalon::testing::RecordingViewNotifier {
 public:
  PlaybackViews(std::mutex& session, const MotionDocument& motion)
      : session_(session), motion_(motion) {}
  void Repaint(Pane pane) override {
    if (pane == Pane::kPose) {
      ++poseRepaints;
      return;
    }
    std::lock_guard lock(session_);
    int index = 0;
    for (const MotionBlock& block : motion_) {
      if (block.Selected()) {
        std::lock_guard marksLock(marksMutex_);
        if (marks_.empty() || marks_.back() != index) {
          marks_.push_back(index);
        }
        return;
      }
      ++index;
    }
  }

  std::vector<int> Marks() const {
    std::lock_guard lock(marksMutex_);
    return marks_;
  }
  // "lock" and "unlock", as the playback asked for them.
  std::vector<std::string> Locks() {
    std::lock_guard lock(mutex_);
    return events;
  }

  std::atomic<int> poseRepaints{0};

 private:
  std::mutex& session_;
  const MotionDocument& motion_;
  mutable std::mutex marksMutex_;
  std::vector<int> marks_;
};

// A preparation dialog that, when asked to, keeps the preparation at its end until released.
class GatedProgress : public RecordingProgressSink {
 public:
  void Finish(int result) override {
    RecordingProgressSink::Finish(result);
    reached.store(true);
    WaitUntil([&] { return !hold.load(); });
  }
  std::atomic<bool> hold{false};
  std::atomic<bool> reached{false};
};

MotionBlock Block(BlockKind kind, std::u16string name) {
  MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.name = std::move(name);
  return block;
}

// A pose that waits for its move to end, so the board stays in its code while the servos move.
MotionBlock WaitingPose(std::u16string name, std::uint16_t time, std::int16_t slot0) {
  MotionBlock block = Block(BlockKind::Pose, std::move(name));
  block.time = time;
  block.interpWait = true;
  block.slots[0] = slot0;
  return block;
}

// A robot "GST" on a virtual board stepped by the test, online, and a playback for it.
class Playback : public gestalon::testing::CardAndProject {
 protected:
  // Connects, lets the connection's first pose finish, and makes the playback.
  void GoOnline() {
    const std::u16string robotName = ProjectRobotName(project);
    board.SetModelName(ToAnsi(robotName));
    BoardDrive drive = sim::VirtualBoardDrive(board, u"V");
    drive.openDevmem = [this]() -> std::unique_ptr<DevmemPort> {
      return std::make_unique<RecordingPort>(board.OpenDevmem(), log);
    };
    link.SetCurrentDrive(drive);
    OnlineContext context{project.sliders, project.cpu, systemFlags, robotName, slot};
    context.sessionMutex = &session;
    gestalon::testing::UseTestTiming(context);
    online = std::make_unique<OnlineConnection>(link, std::move(context));
    ASSERT_NO_FATAL_FAILURE(gestalon::testing::ConnectAndSettle(*online, board, systemFlags));
    PlaybackContext playContext{project};
    playContext.sessionMutex = &session;
    playContext.views = &views;
    playContext.prompter = &prompter;
    playContext.progress = &progress;
    playContext.cancelRequest = &cancelCopy;
    playContext.loadPose = [this](MotionBlock& block) {
      std::lock_guard lock(loadMutex);
      poseLoads.push_back(block.name);
    };
    playContext.timing.followPause = 1ms;
    playContext.timing.endPause = 5ms;
    playContext.timing.flushPause = 1ms;
    playback = std::make_unique<MotionPlayback>(link, std::move(playContext));
  }

  // Runs the board in steps of one time unit until `done` holds (false after 120 s). While a
  // motion plays, each step waits for a further turn of the playback's loop, so every state of
  // the board that lasts two units is seen. The move times the board takes are noted.
  bool Drive(const std::function<bool()>& done) {
    const auto noteMoveTime = [&] {
      const std::uint16_t time = board.Word(BoardAddress::kMoveTime);
      if (moveTimes.empty() || moveTimes.back() != time) {
        moveTimes.push_back(time);
      }
    };
    // The board runs code only when it is advanced: what it holds now comes before any of it,
    // however far the playback has got meanwhile.
    noteMoveTime();
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      if (playback->Playing()) {
        const int turns = views.poseRepaints.load();
        WaitUntil([&] { return views.poseRepaints.load() > turns || !playback->Playing(); });
      } else {
        std::this_thread::sleep_for(1ms);
      }
      board.Advance(kStepMicroseconds);
      noteMoveTime();
    }
    return true;
  }

  void PlayToEnd(MotionBlock* from, std::uint32_t overridePercent = 100) {
    ASSERT_EQ(playback->PlayMotion(motion, from, overridePercent), 1);
    ASSERT_TRUE(Drive([&] { return !playback->Active(); }));
  }

  std::vector<std::u16string> PoseLoads() {
    std::lock_guard lock(loadMutex);
    return poseLoads;
  }

  // The blocks marked, but the Start block, whose jump may or may not be seen.
  std::vector<int> MarksAfterStart() const {
    std::vector<int> marks = views.Marks();
    if (!marks.empty() && marks.front() == 0) {
      marks.erase(marks.begin());
    }
    return marks;
  }

  // Position in the log of the last write of `value` at `address`; -1 when none from `from` on.
  std::ptrdiff_t LastWrite(std::uint32_t address, std::uint8_t value, std::size_t from = 0) const {
    const auto writes = log.Writes();
    for (auto i = static_cast<std::ptrdiff_t>(writes.size()) - 1;
         i >= static_cast<std::ptrdiff_t>(from); --i) {
      const DevmemRecord& write = writes[static_cast<std::size_t>(i)];
      if (FakeBoard::AddressOf(write) == address && write[4] == value) {
        return i;
      }
    }
    return -1;
  }

  WriteLog log;
  BoardLink link;
  std::atomic<std::uint32_t> systemFlags{SystemFlag::kOnline};
  OutgoingPoseSlot slot;
  std::mutex session;
  RecordingPrompter prompter;
  GatedProgress progress;
  std::atomic<bool> cancelCopy{false};
  MotionDocument motion;
  PlaybackViews views{session, motion};
  std::mutex loadMutex;
  std::vector<std::u16string> poseLoads;
  std::vector<std::uint16_t> moveTimes;
  std::unique_ptr<OnlineConnection> online;
  std::unique_ptr<MotionPlayback> playback;  // last: ends before everything it uses
};

// Start -> P1 -> P2 -> End in list order.
struct TwoPoses {
  MotionBlock* start;
  MotionBlock* p1;
  MotionBlock* p2;
  MotionBlock* end;
};

TwoPoses AppendTwoPoses(MotionDocument& motion, std::uint16_t time = 20) {
  TwoPoses blocks{
      &motion.Append(Block(BlockKind::Start, u"S")), &motion.Append(WaitingPose(u"P1", time, 100)),
      &motion.Append(WaitingPose(u"P2", time, 200)), &motion.Append(Block(BlockKind::End, u"E"))};
  Chain({blocks.start, blocks.p1, blocks.p2, blocks.end});
  return blocks;
}

TEST(PlaybackStartBlock, ExchangeKeepsListPlacesAndRedirectsEveryArrow) {
  MotionDocument motion;
  MotionBlock* a = &motion.Append(WaitingPose(u"P1", 30, 1));
  MotionBlock* b = &motion.Append(Block(BlockKind::If, u"IF"));
  MotionBlock* c = &motion.Append(Block(BlockKind::Start, u"S"));
  MotionBlock* d = &motion.Append(Block(BlockKind::End, u"E"));
  c->next = a;  // S -> P1 -> IF -> E, and IF's branch back to S
  a->next = b;
  b->next = d;
  b->branch = c;
  motion.current = a;
  MotionBlock* follow = MoveStartBlockToFront(motion, a);
  // The contents moved and the arrows follow them.
  EXPECT_TRUE(a->Is(BlockKind::Start));
  EXPECT_EQ(c->time, 30);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->next, b);
  EXPECT_EQ(b->next, d);
  EXPECT_EQ(b->branch, a);
  EXPECT_EQ(motion.current, c);
  EXPECT_EQ(follow, c);
}

// A motion played from the start marks its blocks in order and, ended by the board, leaves the
// buffers alone.
TEST_F(Playback, FromTheStartMarksTheExecutedBlocksInOrder) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  AppendTwoPoses(motion);
  const std::size_t before = log.Writes().size();
  PlayToEnd(nullptr);
  EXPECT_EQ(PoseLoads(), (std::vector<std::u16string>{u"P1", u"P2"}));
  EXPECT_EQ(MarksAfterStart(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(board.Word(BoardAddress::kServoTarget), 200);
  // The board was started in this order: image name, cleared error and code address, buffer 0
  // reset with the cancel word, the play byte.
  const auto writes = log.Writes();
  std::vector<std::uint32_t> start;
  for (std::size_t i = before; i < writes.size() && start.size() < 6; ++i) {
    if (FakeBoard::AddressOf(writes[i]) == BoardAddress::kLatestMotion || !start.empty()) {
      start.push_back(FakeBoard::AddressOf(writes[i]));
    }
    if (start.size() == 1) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(&writes[i][4]), writes[i][3]),
                std::string("TEMP.BIN", 9));
    }
  }
  EXPECT_EQ(start, (std::vector<std::uint32_t>{0x0200, 0x017C, 0x01FC, 0x0B44, 0x0EE6, 0x01FB}));
  // TEMP.BIN is the image followed by 0x80, on the card as in the project folder.
  const std::string image = ReadBytes(CardFolder() / "TEMP.BIN");
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(static_cast<std::uint8_t>(image.back()), kPlaybackImageEnd);
  EXPECT_EQ(image, ReadBytes(ProjectFolder() / "TEMP.BIN"));
  EXPECT_GT(LastWrite(BoardAddress::kPlayByte, 0), LastWrite(BoardAddress::kPlayByte, 1));
  EXPECT_EQ(views.Locks(), (std::vector<std::string>{"lock", "unlock"}));
  EXPECT_EQ(progress.results, std::vector<int>{1});
  EXPECT_EQ(link.Flags().playbackActive.load(), 0u);
}

// Start -> Call sub.KX4 -> P1 -> End; sub.KX4 is Start -> S1 -> End.
void MakeCallingMotion(MotionDocument& motion, const std::filesystem::path& folder) {
  MotionDocument sub;
  MotionBlock* subStart = &sub.Append(Block(BlockKind::Start, u"S"));
  MotionBlock* subPose = &sub.Append(WaitingPose(u"S1", 60, 400));
  MotionBlock* subEnd = &sub.Append(Block(BlockKind::End, u"E"));
  Chain({subStart, subPose, subEnd});
  ASSERT_TRUE(WriteMotionFile(folder / "sub.KX4", sub, SliderTable{}, 100, nullptr));
  MotionBlock* start = &motion.Append(Block(BlockKind::Start, u"S"));
  MotionBlock* call = &motion.Append(Block(BlockKind::SubRoutine, u"CALL"));
  call->fileName = u"sub.KX4";
  MotionBlock* pose = &motion.Append(WaitingPose(u"P1", 40, 500));
  MotionBlock* end = &motion.Append(Block(BlockKind::End, u"E"));
  Chain({start, call, pose, end});
}

// The code of a called motion marks the calling block; the override applies once to the played
// and the called motions.
TEST_F(Playback, CalledMotionMarksTheCallingBlockAndTakesTheOverrideOnce) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  MakeCallingMotion(motion, ProjectFolder());
  PlayToEnd(nullptr, 50);
  EXPECT_EQ(MarksAfterStart(), (std::vector<int>{1, 2, 3}));
  // The called motion's pose is not in the edited motion: only P1 reaches the pose area.
  EXPECT_EQ(PoseLoads(), std::vector<std::u16string>{u"P1"});
  // The connection's pose (18), then the called pose (60 -> 30), then P1 (40 -> 20).
  EXPECT_EQ(moveTimes, (std::vector<std::uint16_t>{kConnectPoseTime, 30, 20}));
}

TEST_F(Playback, UserStopResetsInterpolationBufferZero) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  AppendTwoPoses(motion, 500);
  ASSERT_EQ(playback->PlayMotion(motion, nullptr, 100), 1);
  ASSERT_TRUE(Drive([&] { return !PoseLoads().empty(); }));
  ASSERT_TRUE(playback->Playing());
  // Another start while one plays is refused.
  EXPECT_EQ(playback->PlayMotion(motion, nullptr, 100), 0);
  playback->StopMotion();
  EXPECT_FALSE(playback->Playing());
  ASSERT_TRUE(Drive([&] { return !playback->Active(); }));
  EXPECT_GT(LastWrite(BoardAddress::kBufferReset[0], 1), LastWrite(BoardAddress::kPlayByte, 0));
  EXPECT_FALSE(board.Running());
  EXPECT_EQ(board.Byte(BoardAddress::kBufferBusy[0]), 0);  // the move was cut short
  EXPECT_EQ(link.Flags().playbackActive.load(), 0u);
}

TEST_F(Playback, UnlinkedStartOrUnwritableFileSendsNothing) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  motion.Append(Block(BlockKind::Start, u"S"));
  MotionBlock* pose = &motion.Append(WaitingPose(u"P1", 20, 100));
  const std::size_t before = log.Writes().size();
  EXPECT_EQ(playback->PlayMotion(motion, pose, 100), 0);
  const auto calls = prompter.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].icon, PromptIcon::kWarning);
  EXPECT_EQ(calls[0].text, LoadText(TextId::kMsgNoStartPose));
  EXPECT_EQ(LastWrite(BoardAddress::kPlayByte, 1, before), -1);
  EXPECT_FALSE(std::filesystem::exists(CardFolder() / "TEMP.BIN"));
  // Linked, but the motion file cannot be written: a folder stands in its place.
  motion.head()->next = pose;
  std::filesystem::create_directories(ProjectFolder() / "TEMP.KX4" / "inside");
  EXPECT_EQ(playback->PlayMotion(motion, nullptr, 100), 0);
  const auto failed = prompter.Calls();
  ASSERT_EQ(failed.size(), 2u);
  EXPECT_EQ(failed[1].icon, PromptIcon::kError);
  // The separators as given: the project's folder text may end in either kind on Windows.
  auto slashed = [](std::u16string text) {
    std::replace(text.begin(), text.end(), u'\\', u'/');
    return text;
  };
  EXPECT_EQ(slashed(failed[1].text), slashed(Format(LoadText(TextId::kMsgMotionSaveFailed),
                                                    TextFromPath(ProjectFolder() / "TEMP.KX4"))));
  EXPECT_TRUE(WaitUntil([&] { return link.TryTakeBoard(); }));  // given back
  link.ReleaseBoard();
}

// A copy stopped by the user, or an image that cannot be saved, does not play the card's old
// image.
TEST_F(Playback, ReplayFromAChosenBlockWithinTheSameSecondsPlaysTheNewImage) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  const TwoPoses blocks = AppendTwoPoses(motion, 4);
  PlayToEnd(nullptr);
  ASSERT_EQ(board.Word(BoardAddress::kServoTarget), 200);
  const std::size_t marked = views.Marks().size();
  blocks.p2->slots[0] = 222;
  PlayToEnd(blocks.p2);
  EXPECT_EQ(board.Word(BoardAddress::kServoTarget), 222);
  EXPECT_EQ(PoseLoads(), (std::vector<std::u16string>{u"P1", u"P2", u"P2"}));
  const std::vector<int> marks = views.Marks();
  EXPECT_EQ(std::count(marks.begin() + static_cast<std::ptrdiff_t>(marked), marks.end(), 1), 0);
  EXPECT_EQ(blocks.start->next, blocks.p1);  // the motion itself still starts at P1
}

TEST_F(Playback, StopDuringThePreparationKeepsTheMotionFromStarting) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  AppendTwoPoses(motion);
  const std::size_t before = log.Writes().size();
  progress.hold.store(true);
  ASSERT_EQ(playback->PlayMotion(motion, nullptr, 100), 1);
  ASSERT_TRUE(WaitUntil([&] { return progress.reached.load(); }));
  playback->StopMotion();
  progress.hold.store(false);
  ASSERT_TRUE(Drive([&] { return !playback->Active(); }));
  EXPECT_EQ(LastWrite(BoardAddress::kPlayByte, 1, before), -1);
  EXPECT_TRUE(views.Locks().empty());
  EXPECT_EQ(progress.results, std::vector<int>{1});
}

TEST_F(Playback, FailedPreparationDoesNotPlayTheCardsOldImage) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  const TwoPoses blocks = AppendTwoPoses(motion, 4);
  PlayToEnd(nullptr);
  const std::size_t before = log.Writes().size();
  prompter.Clear();
  blocks.p2->slots[0] = 333;
  cancelCopy.store(true);  // Escape, answered Yes
  ASSERT_EQ(playback->PlayMotion(motion, nullptr, 100), 1);
  ASSERT_TRUE(Drive([&] { return !playback->Active(); }));
  ASSERT_FALSE(prompter.Calls().empty());
  EXPECT_EQ(prompter.Calls()[0].text, LoadText(TextId::kMsgConfirmAbort));
  EXPECT_EQ(progress.results, (std::vector<int>{1, 0}));
  EXPECT_EQ(board.Word(BoardAddress::kServoTarget), 200);
  EXPECT_EQ(LastWrite(BoardAddress::kPlayByte, 1, before), -1);
  // An image that cannot be saved in the project folder is reported (the copy to the card and
  // its flush fail the same way: BoardCopyTest).
  cancelCopy.store(false);
  prompter.Clear();
  std::filesystem::remove(ProjectFolder() / "TEMP.BIN");
  std::filesystem::create_directories(ProjectFolder() / "TEMP.BIN" / "inside");
  ASSERT_EQ(playback->PlayMotion(motion, nullptr, 100), 1);
  ASSERT_TRUE(Drive([&] { return !playback->Active(); }));
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_EQ(prompter.Calls()[0].text, LoadText(TextId::kFileSaveFailed));
  EXPECT_EQ(progress.results, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(LastWrite(BoardAddress::kPlayByte, 1, before), -1);
  EXPECT_EQ(views.Locks().size(), 2u);  // only the first playback locked the views
}

}  // namespace
}  // namespace gestalon::core
