#include "board/board_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board/online_connection.h"
#include "board/outgoing_pose.h"
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
class BoardWrite : public ::testing::Test {
 protected:
  BoardWrite() {
    std::filesystem::create_directories(CardFolder());
    std::filesystem::create_directories(ProjectFolder());
    project.project.folder = TextFromPath(ProjectFolder()) + u"/";
    project.project.ROMINI = u"STARTUP.XML";
    SetRobotName(project.cpu, u"GST");
    board.SetModelName("GST");
  }

  std::filesystem::path CardFolder() const { return temp / "card"; }
  std::filesystem::path ProjectFolder() const { return temp / "project"; }
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
  TempDir temp;
  sim::VirtualBoard board{temp / "card"};
  BoardLink link;
  LoadedProject project;
  RecordingPrompter prompter;
  RecordingProgressSink progress;
};

TEST_F(BoardWrite, WithoutABoardToWriteToNothingIsWritten) {
  TempDir otherCard;
  sim::VirtualBoard other(otherCard.Path());
  other.SetModelName("OTHER");
  BoardDrive unopenable = sim::VirtualBoardDrive(other, u"O");
  unopenable.openDevmem = [] { return std::unique_ptr<DevmemPort>(); };
  BoardDrive gone = sim::VirtualBoardDrive(other, u"G");
  gone.root = temp / "gone";
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
      {"named drive without its folder",
       {sim::VirtualBoardDrive(board, u"V")},
       gone,
       notConnected,
       0},
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
    EXPECT_TRUE(std::filesystem::is_empty(otherCard.Path()));
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
  SliderTable sliders{};
  std::atomic<std::uint32_t> systemFlags{SystemFlag::kOnline};
  OutgoingPoseSlot slot;
  OnlineContext context{sliders, project.cpu, systemFlags, u"GST", slot};
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
  const int records = watch.records.load();
  EXPECT_TRUE(WaitUntil([&] { return watch.records.load() > records; }));
  EXPECT_EQ(online.StopOnline(), 1);
  EXPECT_TRUE(WaitUntil([&] { return !online.WorkerRunning(); }));
  EXPECT_FALSE(link.IsBoardOpen());
  EXPECT_FALSE(watch.closedInTransfer.load());
}

}  // namespace
}  // namespace gestalon::core
