#include "board/online_connection.h"

#include <utility>

#include "board/board_addresses.h"
#include "board/board_memory.h"
#include "board/board_settings.h"
#include "pose/servo_channels.h"
#include "project/system_settings.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kRobotNameMaxChars = 32;
constexpr std::uint32_t kPollBits =
    BoardStatusBit::kBuffer0Busy | BoardStatusBit::kBuffer1Busy | BoardStatusBit::kBuffer2Busy;
constexpr std::int32_t kServoChannelBits = 64;
constexpr auto kStartCheckInterval = std::chrono::milliseconds(1);
constexpr auto kBoardRetryPause = std::chrono::milliseconds(1);

// What ReadBoardSettings leaves in the name when the board never answered: a lone surrogate,
// which no text converted from the ANSI code page contains.
constexpr char16_t kNoBoardAnswer[] = u"\xD800";

// Releases a board taken by the caller when the scope ends, also on an exception.
class BoardRelease {
 public:
  explicit BoardRelease(BoardLink& link) : link_(link) {}
  ~BoardRelease() { link_.ReleaseBoard(); }
  BoardRelease(const BoardRelease&) = delete;
  BoardRelease& operator=(const BoardRelease&) = delete;

 private:
  BoardLink& link_;
};

TransferRange Range(std::uint32_t address, std::uint32_t length) {
  return {static_cast<std::int32_t>(address), static_cast<std::int32_t>(length)};
}

std::uint32_t TargetAddress(int slider) {
  return BoardAddress::kServoTarget + 2 * static_cast<std::uint32_t>(slider);
}

// How one slider's value goes out: its flags and, for a servo-channel slider, the companion
// whose value goes with it (-1 when the channel has none).
struct SliderRoute {
  std::uint32_t flags2 = 0;
  std::int32_t channel = 0;
  std::int32_t companion = -1;
};

std::array<SliderRoute, kSliderCount> RoutesOf(const SliderTable& sliders) {
  std::array<SliderRoute, kSliderCount> routes{};
  for (int i = 0; i < kSliderCount; ++i) {
    const SliderDef& slider = sliders[i];
    routes[i].flags2 = slider.flags2;
    routes[i].channel = slider.channel;
    const std::int32_t j = slider.companion;
    // The companion index is only meaningful when that slider really is this channel's
    // companion; a channel without one keeps whatever index was left from earlier.
    if ((slider.flags2 & SliderFlag2::kServoChannel) != 0 && j >= 0 && j < kSliderCount &&
        (sliders[j].flags2 & SliderFlag2::kServoCompanion) != 0 &&
        sliders[j].channel == slider.channel) {
      routes[i].companion = j;
    }
  }
  return routes;
}

}  // namespace

OnlineConnection::OnlineConnection(BoardLink& link, OnlineContext context)
    : link_(link), context_(std::move(context)) {}

OnlineConnection::~OnlineConnection() {
  shuttingDown_.store(true);
  if (starter_.joinable()) {
    starter_.join();
  }
  if (!workerExited_.load()) {
    link_.Flags().connectionActive.store(0);
  }
  if (worker_.joinable()) {
    worker_.join();
  }
}

int OnlineConnection::StartOnline() {
  BoardFlags& flags = link_.Flags();
  if (flags.connectionActive.load() != 0 || flags.workerFinished.load() == 0) {
    return 0;
  }
  {
    std::lock_guard lock(threadMutex_);
    if (shuttingDown_.load()) {
      return 0;
    }
    if (worker_.joinable()) {
      // A worker that failed its robot check may still be ending (or waiting for an answer).
      if (!workerExited_.load()) {
        return 0;
      }
      worker_.join();
    }
    flags.startupPending.store(1);
    workerExited_.store(false);
    try {
      worker_ = std::thread([this] { Run(); });
    } catch (...) {
      workerExited_.store(true);
      flags.startupPending.store(0);
      ChangeSystemFlags(0, SystemFlag::kOnline);
      return 0;
    }
  }
  const auto started = std::chrono::steady_clock::now();
  while (flags.startupPending.load() != 0) {
    if (shuttingDown_.load() ||
        std::chrono::steady_clock::now() - started >= context_.timing.startLimit) {
      ChangeSystemFlags(0, SystemFlag::kOnline);
      flags.connectionActive.store(0);
      return 0;
    }
    std::this_thread::sleep_for(kStartCheckInterval);
  }
  return 1;
}

bool OnlineConnection::StartOnlineAsync(std::function<void(int)> done) {
  std::lock_guard lock(threadMutex_);
  if (shuttingDown_.load()) {
    return false;
  }
  if (starter_.joinable()) {
    if (!starterDone_.load()) {
      return false;
    }
    starter_.join();
  }
  starterDone_.store(false);
  try {
    starter_ = std::thread([this, done = std::move(done)] {
      int result = 0;
      try {
        result = StartOnline();
        if (done) {
          done(result);
        }
      } catch (...) {
        // The caller hears nothing more; the connection flags are already consistent.
      }
      starterDone_.store(true);
    });
  } catch (...) {
    starterDone_.store(true);
    return false;
  }
  return true;
}

int OnlineConnection::StopOnline() {
  BoardFlags& flags = link_.Flags();
  if (flags.connectionActive.load() == 0) {
    return 0;
  }
  flags.connectionActive.store(0);
  std::this_thread::sleep_for(context_.timing.stopGrace);
  for (int i = 0; i < context_.timing.stopPolls && flags.workerFinished.load() == 0; ++i) {
    std::this_thread::sleep_for(context_.timing.stopPollInterval);
  }
  std::lock_guard lock(threadMutex_);
  if (worker_.joinable() && workerExited_.load()) {
    worker_.join();
  }
  return 1;
}

bool OnlineConnection::Online() const {
  return link_.Flags().online.load() != 0;
}

bool OnlineConnection::WorkerRunning() const {
  return !workerExited_.load();
}

std::optional<std::chrono::system_clock::time_point> OnlineConnection::ConnectionStartTime() const {
  if (!hasStartTime_.load()) {
    return std::nullopt;
  }
  return std::chrono::system_clock::time_point(
      std::chrono::system_clock::duration(startTime_.load()));
}

void OnlineConnection::SetRobotName(std::u16string name) {
  auto lock = LockSession();
  context_.robotName = std::move(name);
}

void OnlineConnection::Run() noexcept {
  boardOpened_ = false;
  onlineReached_ = false;
  try {
    if (Connect()) {
      RunCycles();
    }
  } catch (...) {
    // Nothing escapes the worker: the connection ends below as it would otherwise.
  }
  try {
    if (onlineReached_) {
      EndConnection();
    } else {
      EndFailedConnection();
    }
  } catch (...) {
    link_.Flags().online.store(0);
  }
  workerExited_.store(true);
  if (onlineReached_) {
    link_.Flags().workerFinished.store(1);
  }
}

bool OnlineConnection::Connect() {
  BoardFlags& flags = link_.Flags();
  flags.connectionActive.store(1);
  flags.startupPending.store(1);
  startTime_.store(std::chrono::system_clock::now().time_since_epoch().count());
  hasStartTime_.store(true);
  if (shuttingDown_.load()) {
    return false;
  }
  if (!link_.OpenBoard(link_.CurrentDrive())) {
    return false;
  }
  boardOpened_ = true;
  flags.communicationError.store(0);
  if (CheckRobot() == 0 || shuttingDown_.load()) {
    return false;
  }

  // No pose goes out until a status poll has seen interpolation buffer 0 idle.
  ChangeSystemFlags(BoardStatusBit::kBuffer0Busy, 0);
  flags.online.store(1);
  onlineReached_ = true;
  flags.workerFinished.store(0);
  RefreshMenuChecks();
  RepaintPoseArea();
  if ((context_.systemFlags.load() & SystemFlag::kStatusWindow) != 0 &&
      context_.startStatusWindow) {
    context_.startStatusWindow();
  }

  OutgoingPose pose = context_.currentPose ? context_.currentPose() : context_.outgoingPose.Take();
  pose.time = kConnectPoseTime;
  context_.outgoingPose.Put(pose);
  flags.posePending.store(1);
  return true;
}

int OnlineConnection::CheckRobot() {
  CpuSettings scratch;
  {
    auto lock = LockSession();
    scratch = context_.cpu;
  }
  std::u16string boardName = kNoBoardAnswer;
  {
    if (link_.TakeBoard() == 0) {
      return 0;
    }
    BoardRelease release(link_);
    ReadBoardSettings(link_, scratch, &boardName);
  }
  // A board that does not answer is no board: the start-up stays pending, so StartOnline
  // reports the failed connection.
  if (boardName == kNoBoardAnswer) {
    return 0;
  }
  link_.Flags().startupPending.store(0);

  const std::u16string robotName = [&] {
    auto lock = LockSession();
    return context_.robotName.substr(0, kRobotNameMaxChars);
  }();
  if (boardName != robotName) {
    const PromptAnswer answer =
        context_.prompter
            ? context_.prompter->Ask(PromptIcon::kWarning, LoadText(TextId::kMsgRobotNameMismatch),
                                     PromptButtons::kYesNoCancel)
            : PromptAnswer::kCancel;
    if (answer == PromptAnswer::kYes) {
      if (context_.requestProjectChoice) {
        context_.requestProjectChoice(boardName);
      }
      return 0;
    }
    if (answer != PromptAnswer::kNo) {
      return 0;
    }
  }

  {
    auto lock = LockSession();
    context_.cpu = scratch;
    DeriveServoChannels(context_.sliders, context_.cpu);
  }
  WriteBoardSettings(link_, scratch, context_.prompter);

  if (link_.TakeBoard() == 0) {
    return 0;
  }
  BoardRelease release(link_);
  BoardMirror& mirror = link_.Mirror();
  StoreMirrorByte(mirror, BoardAddress::kPlayByte, 0);
  for (std::uint32_t address : BoardAddress::kBufferReset) {
    StoreMirrorByte(mirror, address, 1);
  }
  // Sends nothing (and fails) once the connection is no longer wanted.
  const bool sent = link_.WriteTransaction(
      {Range(BoardAddress::kPlayByte, 1), Range(BoardAddress::kBufferReset[0], 1),
       Range(BoardAddress::kBufferReset[1], 1), Range(BoardAddress::kBufferReset[2], 1)});
  return sent ? 1 : 0;
}

void OnlineConnection::RunCycles() {
  BoardFlags& flags = link_.Flags();
  bool firstCycle = true;
  while (!shuttingDown_.load()) {
    // A stop request made while a motion plays is ignored. The playing motion is looked at
    // whenever the request is seen, not only after the pause: a request arriving between that
    // look and the loop's test would otherwise end the connection under the playing motion.
    if (flags.connectionActive.load() == 0) {
      if (flags.playbackActive.load() == 0) {
        break;
      }
      flags.connectionActive.store(1);
    }
    // Other tasks get the board between cycles; a cycle that finds it taken just waits.
    if (link_.TryTakeBoard()) {
      BoardRelease release(link_);
      RunCycle(firstCycle);
      firstCycle = false;
    }
    std::this_thread::sleep_for(context_.timing.cyclePeriod);
  }
}

void OnlineConnection::RunCycle(bool firstCycle) {
  BoardFlags& flags = link_.Flags();
  if ((context_.systemFlags.load() & BoardStatusBit::kBuffer0Busy) == 0 &&
      flags.posePending.exchange(0) != 0) {
    // The flag is cleared before the copy is taken: a pose handed over meanwhile sets it again
    // and goes out in a later cycle instead of being lost.
    if (!SendOutgoingPose(context_.outgoingPose.Take())) {
      flags.posePending.store(1);
    }
  }

  std::u16string errorText;
  const std::uint32_t errorAddress = ReadLastError(link_, &errorText);
  link_.SetLastError({std::move(errorText), errorAddress});

  const std::uint32_t busy = PollStatus();
  ChangeSystemFlags(busy, kPollBits & ~busy);
  RepaintPoseArea();

  ServiceRefreshRequests(link_);

  // The poll has just read the board's servo word back: a board that switched its servos by
  // itself gets the state SystemFlags asks for.
  const bool servoOn = (context_.systemFlags.load() & SystemFlag::kServoOn) != 0;
  const std::uint16_t word = MirrorWord(link_.Mirror(), BoardAddress::kServoPower);
  if (firstCycle || (servoOn && word == 0) || (!servoOn && word != 0)) {
    StoreMirrorWord(link_.Mirror(), BoardAddress::kServoPower, servoOn ? 1 : 0);
    link_.WriteTransaction({Range(BoardAddress::kServoPower, 2)});
  }
}

bool OnlineConnection::SendOutgoingPose(const OutgoingPose& pose) {
  std::array<SliderRoute, kSliderCount> routes;
  {
    auto lock = LockSession();
    routes = RoutesOf(context_.sliders);
  }
  const auto disabled = [&](int i) { return (routes[i].flags2 & SliderFlag2::kDisabled) != 0; };
  BoardMirror& mirror = link_.Mirror();
  const auto store = [&](int slider, std::int16_t value) {
    StoreMirrorWord(mirror, TargetAddress(slider), static_cast<std::uint16_t>(value));
    link_.AppendWrite(static_cast<std::int32_t>(TargetAddress(slider)), 2);
  };

  bool anyRun = false;
  bool anySent = false;
  int i = 0;
  while (i < kSliderCount) {
    if (disabled(i)) {
      ++i;
      continue;
    }
    anyRun = true;
    link_.ClearWriteList();
    for (; i < kSliderCount && !disabled(i); ++i) {
      const SliderRoute& route = routes[i];
      store(i, pose.values[i]);
      if ((route.flags2 & SliderFlag2::kServoChannel) != 0 && route.companion >= 0) {
        const std::int32_t n = route.channel;
        const bool masked = n >= 0 && n < kServoChannelBits && ((pose.servoMask >> n) & 1U) != 0;
        store(route.companion, masked ? std::int16_t{0} : pose.values[route.companion]);
      }
      if ((route.flags2 & SliderFlag2::kServoCompanion) == 0) {
        store(i, pose.values[i]);
      }
    }
    // A failed flush sets the communication-error flag.
    anySent = link_.SendWriteList() || anySent;
  }
  if (anyRun) {
    // The values are all on the board before the time word, which starts the move.
    StoreMirrorWord(mirror, BoardAddress::kMoveTime, pose.time);
    anySent = link_.WriteTransaction({Range(BoardAddress::kMoveTime, 2)}) || anySent;
  }
  return anySent;
}

std::uint32_t OnlineConnection::PollStatus() {
  // The poll runs on the worker's own table, so the session lock is held only for the copies.
  {
    auto lock = LockSession();
    for (int i = 0; i < kSliderCount; ++i) {
      pollSliders_[i].flags2 = context_.sliders[i].flags2;
      pollSliders_[i].reading = context_.sliders[i].reading;
    }
  }
  const std::uint32_t busy = PollBoardStatus(link_, pollSliders_);
  {
    auto lock = LockSession();
    for (int i = 0; i < kSliderCount; ++i) {
      context_.sliders[i].reading = pollSliders_[i].reading;
    }
  }
  return busy;
}

void OnlineConnection::EndFailedConnection() {
  ChangeSystemFlags(0, SystemFlag::kOnline);
  link_.Flags().connectionActive.store(0);
  if (boardOpened_) {
    link_.CloseBoard();
    boardOpened_ = false;
  }
}

void OnlineConnection::EndConnection() {
  BoardFlags& flags = link_.Flags();
  // The board's own servo word stays as it is.
  ChangeSystemFlags(0, SystemFlag::kServoOn);
  flags.posePending.store(1);
  {
    // The port goes away only while no other task is in a transfer on it; the write task,
    // which closes and reopens it under the board too, then finds the system offline.
    while (!link_.TryTakeBoard()) {
      std::this_thread::sleep_for(kBoardRetryPause);
    }
    BoardRelease release(link_);
    link_.CloseBoard();
    boardOpened_ = false;
    flags.online.store(0);
  }
  RefreshMenuChecks();
  RepaintPoseArea();
  flags.communicationError.store(0);
}

void OnlineConnection::ChangeSystemFlags(std::uint32_t set, std::uint32_t clear) {
  std::uint32_t old = context_.systemFlags.load();
  std::uint32_t next = 0;
  do {
    next = (old & ~clear) | set;
  } while (!context_.systemFlags.compare_exchange_weak(old, next));
  if (next != old) {
    RefreshMenuChecks();
  }
}

void OnlineConnection::RefreshMenuChecks() {
  if (context_.views) {
    context_.views->RefreshMenuChecks();
  }
}

void OnlineConnection::RepaintPoseArea() {
  if (context_.views) {
    context_.views->Repaint(Pane::kPose);
  }
}

std::unique_lock<std::mutex> OnlineConnection::LockSession() {
  return context_.sessionMutex ? std::unique_lock<std::mutex>(*context_.sessionMutex)
                               : std::unique_lock<std::mutex>();
}

}  // namespace gestalon::core
