#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>

#include "board/board_addresses.h"
#include "board/online_connection.h"
#include "cpusettings/cpu_settings.h"
#include "platform/paths.h"
#include "project/project_loader.h"
#include "temp_dir.h"
#include "virtual_board.h"
#include "wait_until.h"

namespace gestalon::testing {

// The connection's timing in the board tests: short cycles, a start limit that is a ceiling.
inline void UseTestTiming(core::OnlineContext& context) {
  context.timing.cyclePeriod = std::chrono::milliseconds(2);
  context.timing.startLimit = kWaitCeiling;
  context.timing.stopGrace = std::chrono::milliseconds(2);
}

// Connects and waits until the connection's first pose has reached the board and the board has
// finished moving, so that the next pose goes out at once.
inline void ConnectAndSettle(core::OnlineConnection& online, sim::VirtualBoard& board,
                             const std::atomic<std::uint32_t>& systemFlags) {
  ASSERT_EQ(online.StartOnline(), 1);
  ASSERT_TRUE(WaitUntil([&] { return online.Online(); }));
  ASSERT_TRUE(WaitUntil(
      [&] { return board.Word(core::BoardAddress::kMoveTime) == core::kConnectPoseTime; }));
  board.Advance(10'000'000);
  ASSERT_TRUE(
      WaitUntil([&] { return (systemFlags.load() & core::BoardStatusBit::kBuffer0Busy) == 0; }));
}

// A project of the robot "GST" in a folder of its own, and a virtual board with its card folder.
class CardAndProject : public ::testing::Test {
 protected:
  CardAndProject() {
    std::filesystem::create_directories(CardFolder());
    std::filesystem::create_directories(ProjectFolder());
    project.project.folder = core::TextFromPath(ProjectFolder()) + u"/";
    core::SetRobotName(project.cpu, u"GST");
  }
  std::filesystem::path CardFolder() const { return temp / "card"; }
  std::filesystem::path ProjectFolder() const { return temp / "project"; }

  TempDir temp;
  sim::VirtualBoard board{temp / "card"};
  core::LoadedProject project;
};

}  // namespace gestalon::testing
