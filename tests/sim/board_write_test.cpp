#include "board/board_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board/board_addresses.h"
#include "board/firmware_update.h"
#include "board/online_connection.h"
#include "board/outgoing_pose.h"
#include "fake_devmem.h"
#include "platform/paths.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "shown_texts.h"
#include "sim_online.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "virtual_board.h"
#include "virtual_drive.h"
#include "wait_until.h"

namespace gestalon::core {
namespace {

using gestalon::testing::FakeBoard;
using gestalon::testing::FakeBoardDrive;
using gestalon::testing::ReadBytes;
using gestalon::testing::RecordingProgressSink;
using gestalon::testing::RecordingPrompter;
using gestalon::testing::TempDir;
using gestalon::testing::WaitUntil;
using namespace std::chrono_literals;

// What the ports of one drive saw: how often DEVMEM was opened, records written, and whether a
// port was ever closed while a transfer on it was still under way.
struct PortWatch {
  std::atomic<int> opens{0};
  std::atomic<int> records{0};
  std::atomic<int> inTransfer{0};
  std::atomic<bool> closedInTransfer{false};
};

// A DEVMEM that takes 2 ms per record, so the online worker holds the board for most of the time.
class SlowPort : public DevmemPort {
 public:
  SlowPort(std::unique_ptr<DevmemPort> inner, PortWatch& watch)
      : inner_(std::move(inner)), watch_(watch) {
    ++watch_.opens;
  }
  ~SlowPort() override {
    if (watch_.inTransfer.load() != 0) {
      watch_.closedInTransfer.store(true);
    }
  }
  bool WriteRecord(const DevmemRecord& record) override {
    ++watch_.inTransfer;
    std::this_thread::sleep_for(2ms);
    const bool ok = inner_->WriteRecord(record);
    ++watch_.records;
    --watch_.inTransfer;
    return ok;
  }
  bool ReadRecord(DevmemRecord& record) override {
    ++watch_.inTransfer;
    const bool ok = inner_->ReadRecord(record);
    --watch_.inTransfer;
    return ok;
  }

 private:
  std::unique_ptr<DevmemPort> inner_;
  PortWatch& watch_;
};

// A robot "GST", its project folder and a virtual board of the same name with its card folder.
class BoardWrite : public gestalon::testing::CardAndProject {
 protected:
  BoardWrite() {
    project.project.ROMINI = u"STARTUP.XML";
    board.SetModelName("GST");
  }

  BoardWriteTask Task() {
    BoardWriteTask task;
    task.link = &link;
    task.project = &project;
    task.settings = project.cpu;
    task.prompter = &prompter;
    task.progress = &progress;
    return task;
  }

  std::vector<std::u16string> Messages() const { return testing::ShownTexts(prompter); }
  BoardLink link;
  RecordingPrompter prompter;
  RecordingProgressSink progress;
};

TEST_F(BoardWrite, WithoutABoardToWriteToNothingIsWritten) {
  TempDir otherCard;
  sim::VirtualBoard other(otherCard.Path());
  other.SetModelName("OTHER");
  BoardDrive unopenable = sim::VirtualBoardDrive(other, u"O");
  unopenable.openDevmem = [] { return std::unique_ptr<DevmemPort>(); };
  struct Case {
    const char* name;
    std::vector<BoardDrive> candidates;
    std::optional<BoardDrive> named;
    std::vector<std::u16string> messages;
    int choices;  // times the board chooser was asked
  };
  const std::vector<std::u16string> notConnected{LoadText(TextId::kMsgRobotNotConnected)};
  const std::vector<Case> cases{
      {"no board", {}, {}, notConnected, 0},
      {"a board whose DEVMEM does not open", {unopenable}, {}, notConnected, 0},
      {"choice cancelled", {sim::VirtualBoardDrive(other, u"O")}, {}, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompter.Clear();
    progress.results.clear();
    int choices = 0;
    BoardWriteTask task = Task();
    task.candidates = c.candidates;
    task.namedDrive = c.named;
    task.chooseBoard = [&](BoardLink&, const BoardScanResult&) {
      ++choices;
      return false;
    };
    EXPECT_EQ(WriteToBoard(task), 0);
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(choices, c.choices);
    EXPECT_EQ(progress.results, std::vector<int>{0});
    EXPECT_FALSE(std::filesystem::exists(ProjectFolder() / "STARTUP.BIN"));
    EXPECT_TRUE(std::filesystem::is_empty(CardFolder()));
    EXPECT_FALSE(link.IsBoardOpen());
  }
}

// The scan picks the one board carrying the robot's name; a second write to the named drive
// rewrites unchanged files with their old times.
TEST_F(BoardWrite, TheMatchingBoardGetsTheFilesAndARepeatKeepsUnchangedTimes) {
  TempDir otherCard;
  sim::VirtualBoard other(otherCard.Path());
  other.SetModelName("OTHER");
  BoardWriteTask task = Task();
  task.candidates = {sim::VirtualBoardDrive(other, u"O"), sim::VirtualBoardDrive(board, u"V")};
  task.chooseBoard = [](BoardLink&, const BoardScanResult&) {
    ADD_FAILURE() << "one board matches";
    return false;
  };
  EXPECT_EQ(WriteToBoard(task), 1);
  EXPECT_TRUE(task.settingsLoaded);
  EXPECT_EQ(Messages(), std::vector<std::u16string>{LoadText(TextId::kMsgWriteDone)});
  EXPECT_EQ(ReadBytes(CardFolder() / "STARTUP.BIN"), ReadBytes(ProjectFolder() / "STARTUP.BIN"));
  EXPECT_TRUE(std::filesystem::is_empty(otherCard.Path()));
  // Whole seconds: Windows keeps file times to 100 ns only.
  const std::filesystem::file_time_type old = std::chrono::floor<std::chrono::seconds>(
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  for (const char* name : {"STARTUP.BIN", "STARTUP.XML"}) {
    std::filesystem::last_write_time(ProjectFolder() / name, old);
  }
  BoardWriteTask again = Task();
  again.namedDrive = sim::VirtualBoardDrive(board, u"V");
  EXPECT_EQ(WriteToBoard(again), 1);
  for (const char* name : {"STARTUP.BIN", "STARTUP.XML"}) {
    EXPECT_EQ(std::filesystem::last_write_time(ProjectFolder() / name), old) << name;
  }
  EXPECT_FALSE(link.IsBoardOpen());
}

// The worker keeps the board for whole cycles on a slow DEVMEM and the communication-error flag
// makes WaitBoardIdle give up: the write still closes and reopens the port only between cycles.
TEST_F(BoardWrite, PortIsClosedAndReopenedOnlyBetweenTheWorkersCycles) {
  PortWatch watch;
  BoardDrive drive = sim::VirtualBoardDrive(board, u"V");
  drive.openDevmem = [&]() -> std::unique_ptr<DevmemPort> {
    return std::make_unique<SlowPort>(board.OpenDevmem(), watch);
  };
  link.SetCurrentDrive(drive);
  std::atomic<std::uint32_t> systemFlags{SystemFlag::kOnline};
  OutgoingPoseSlot slot;
  OnlineContext context{project.sliders, project.cpu, systemFlags, u"GST", slot};
  gestalon::testing::UseTestTiming(context);
  OnlineConnection online(link, std::move(context));
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  link.Flags().communicationError.store(1);
  BoardWriteTask task = Task();
  EXPECT_EQ(WriteToBoard(task), 1);
  EXPECT_FALSE(watch.closedInTransfer.load());
  EXPECT_TRUE(task.flushed);
  // The connection goes on through the reopened port.
  EXPECT_EQ(watch.opens.load(), 2);
  EXPECT_TRUE(online.Online());
  EXPECT_EQ(online.StopOnline(), 1);
  EXPECT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
  EXPECT_FALSE(link.IsBoardOpen());
  EXPECT_FALSE(watch.closedInTransfer.load());
}

constexpr FlashTiming kFastTiming{1ms, 1ms, 60s};

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  gestalon::testing::WriteBytes(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The board's answer to the next read of the flash command word.
DevmemRecord CommandReply(std::uint32_t value) {
  DevmemRecord reply = FakeBoard::Reply('R', BoardAddress::kFlashCommand, 4);
  for (int i = 0; i < 4; ++i) {
    reply[4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return reply;
}

// No data succeeds at once and a cancel stops before the first piece; 300 bytes go in three.
TEST(FirmwareTransfer, ThreeHundredBytesGoToFlashInThreePieces) {
  sim::VirtualBoard board;
  BoardLink link;
  ASSERT_TRUE(link.OpenBoard(sim::VirtualBoardDrive(board, u"V")));
  EXPECT_EQ(TransferToFlash(link, {}, kFirmwareFlashAddress, nullptr, nullptr, kFastTiming), 1);
  std::atomic<bool> cancel{true};
  EXPECT_EQ(
      TransferToFlash(link, Pattern(300, 1), kFirmwareFlashAddress, nullptr, &cancel, kFastTiming),
      0);
  EXPECT_EQ(board.RecordsWritten(), 0u);
  const auto data = Pattern(300, 3);
  RecordingProgressSink progress;
  EXPECT_EQ(TransferToFlash(link, data, kFirmwareFlashAddress, &progress, nullptr, kFastTiming), 1);
  board.PowerOn();  // flash keeps what it was given
  EXPECT_EQ(board.Flash(kFirmwareFlashAddress, 300), data);
  // The last piece carries the whole buffer: its tail still holds the second piece's bytes.
  const std::vector<std::uint8_t> tail(data.begin() + 128 + 44, data.begin() + 256);
  EXPECT_EQ(board.Flash(kFirmwareFlashAddress + 300, 84), tail);
  EXPECT_EQ(progress.progress, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}, {2, 2}}));
}

// Each of the three pieces is polled until the board's command word leaves 2; any other value,
// a write or a poll that fails ends the transfer at that piece.
TEST(FirmwareTransfer, ThePolledCommandWordDecidesEachPiece) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> answers;  // the command word as polled
    bool failWrites, failReads;
    int result;
    std::size_t reads, writes;  // R and W records that reached the board
  };
  const Case cases[] = {
      {"done after some polls", {2, 2, 0, 0, 0}, false, false, 1, 5, 9},
      {"another value", {5}, false, false, 0, 1, 3},
      {"a write that fails", {}, true, false, 0, 0, 0},
      {"a poll that cannot be read", {}, false, true, 0, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto fake = std::make_shared<FakeBoard>();
    for (const std::uint32_t answer : c.answers) {
      fake->scriptedReplies.push_back(CommandReply(answer));
    }
    fake->failWrites = c.failWrites;
    fake->failReads = c.failReads;
    BoardLink link;
    ASSERT_TRUE(link.OpenBoard(FakeBoardDrive(fake, u"F")));
    EXPECT_EQ(TransferToFlash(link, Pattern(300, 1), 0x08020000, nullptr, nullptr, kFastTiming),
              c.result);
    EXPECT_EQ(fake->Records('R').size(), c.reads);
    EXPECT_EQ(fake->Records('W').size(), c.writes);
    EXPECT_EQ(fake->failedWrites, c.failWrites ? 1 : 0);  // nothing more is tried
    EXPECT_EQ(link.Flags().communicationError.load(), c.failWrites ? 1u : 0u);
  }
}

TEST(FirmwareTransfer, BoardStillWorkingAfterThePollLimitFails) {
  auto fake = std::make_shared<FakeBoard>();  // keeps the command word at 2
  BoardLink link;
  ASSERT_TRUE(link.OpenBoard(FakeBoardDrive(fake, u"F")));
  const FlashTiming timing{1ms, 1ms, 80ms};
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(TransferToFlash(link, Pattern(10, 1), kFirmwareFlashAddress, nullptr, nullptr, timing),
            0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 80ms);
  EXPECT_GT(fake->Records('R').size(), 1u);
}

class FirmwareUpdate : public gestalon::testing::CardAndProject {
 protected:
  FirmwareUpdate() {
    board.SetModelName("GST");
    WriteFile(FirmwarePath(), firmware);
    WriteFile(UpdaterPath(ProgramFolder()), updater);
  }

  std::filesystem::path FirmwarePath() const { return temp / "firmware.bin"; }
  std::filesystem::path ProgramFolder() const { return temp / "program"; }
  FirmwareUpdateRequest Request() {
    FirmwareUpdateRequest request;
    request.firmwareFile = FirmwarePath();
    request.programFolder = ProgramFolder();
    request.candidates = {sim::VirtualBoardDrive(board, u"V")};
    request.robotName = u"GST";
    request.prompter = &prompter;
    request.progress = &progress;
    request.timing = kFastTiming;
    request.offlineLimit = 60s;  // a ceiling: the worker ends long before
    return request;
  }

  void ExpectOneMessage(PromptIcon icon, int textId) {
    const auto calls = prompter.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].icon, icon);
    EXPECT_EQ(calls[0].text, LoadText(textId));
  }

  BoardLink link;
  RecordingPrompter prompter;
  RecordingProgressSink progress;
  std::vector<std::uint8_t> firmware = Pattern(300, 11);
  std::vector<std::uint8_t> updater = Pattern(200, 99);
};

TEST_F(FirmwareUpdate, SendsFirmwareAndUpdaterAndRunsTheUpdater) {
  EXPECT_EQ(RunFirmwareUpdate(link, Request()), 1);
  EXPECT_EQ(board.Flash(kFirmwareFlashAddress, firmware.size()), firmware);
  EXPECT_EQ(board.Flash(kUpdaterFlashAddress, updater.size()), updater);
  EXPECT_EQ(board.UpdaterRuns(), 1);
  EXPECT_EQ(board.LastUpdaterAddress(), kUpdaterFlashAddress);
  ExpectOneMessage(PromptIcon::kNone, TextId::kMsgFirmwareUpdateDone);
  EXPECT_EQ(progress.results, std::vector<int>{1});
  EXPECT_FALSE(link.IsBoardOpen());
}

// Files that cannot be sent, or no board to send them to, end the update before the board.
TEST_F(FirmwareUpdate, RefusalsEndBeforeTheBoard) {
  struct Case {
    const char* name;
    std::function<void(FirmwareUpdateRequest&)> spoil;
    PromptIcon icon;
    int textId;
  };
  const std::vector<Case> cases{
      {"missing firmware", [&](auto& r) { r.firmwareFile = temp / "missing.bin"; },
       PromptIcon::kError, TextId::kMsgFirmwareFileOpenFailed},
      {"firmware that would reach the updater",
       [&](auto&) { WriteFile(FirmwarePath(), Pattern(kMaxFirmwareBytes + 1, 1)); },
       PromptIcon::kError, TextId::kMsgFirmwareTransferFailed},
      {"no board", [&](auto& r) { r.candidates.clear(); }, PromptIcon::kWarning,
       TextId::kMsgRobotNotConnected},
      {"online, with no connection to stop",
       [&](auto& r) {
         link.Flags().online.store(1);
         r.offlineLimit = 50ms;
       },
       PromptIcon::kError, TextId::kMsgDisconnectFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompter.Clear();
    progress.results.clear();
    FirmwareUpdateRequest request = Request();
    c.spoil(request);
    EXPECT_EQ(RunFirmwareUpdate(link, request), 0);
    ExpectOneMessage(c.icon, c.textId);
    EXPECT_EQ(progress.results, std::vector<int>{0});
    EXPECT_EQ(board.RecordsWritten(), 0u);
    EXPECT_EQ(board.Flash(kFirmwareFlashAddress, 1), std::vector<std::uint8_t>{0xFF});
    WriteFile(FirmwarePath(), firmware);
    WriteFile(UpdaterPath(ProgramFolder()), updater);
    link.Flags().online.store(0);
  }
}

// A motion playing keeps the connection up past the offline limit: the update ends with a
// message. Once it has ended, the update stops the connection and goes ahead.
TEST_F(FirmwareUpdate, StopsTheOnlineConnectionFirst) {
  std::atomic<std::uint32_t> systemFlags{SystemFlag::kOnline};
  OutgoingPoseSlot slot;
  OnlineContext context{project.sliders, project.cpu, systemFlags, u"GST", slot};
  gestalon::testing::UseTestTiming(context);
  context.timing.stopPolls = 5;
  link.SetCurrentDrive(sim::VirtualBoardDrive(board, u"V"));
  OnlineConnection online(link, std::move(context));
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(gestalon::testing::WaitUntil([&] { return online.Online(); }));
  FirmwareUpdateRequest request = Request();
  request.online = &online;
  request.offlineLimit = 50ms;
  link.Flags().playbackActive.store(1);
  EXPECT_EQ(RunFirmwareUpdate(link, request), 0);
  ExpectOneMessage(PromptIcon::kError, TextId::kMsgCannotDisconnectWhilePlaying);
  EXPECT_TRUE(online.Online());
  EXPECT_EQ(board.UpdaterRuns(), 0);
  prompter.Clear();
  link.Flags().playbackActive.store(0);
  request.offlineLimit = 60s;
  EXPECT_EQ(RunFirmwareUpdate(link, request), 1);
  EXPECT_FALSE(online.Online());
  EXPECT_EQ(board.UpdaterRuns(), 1);
}

}  // namespace
}  // namespace gestalon::core
