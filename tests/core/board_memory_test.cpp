#include "board/board_memory.h"

#include <gtest/gtest.h>

#include <vector>

#include "board/board_addresses.h"
#include "board/board_settings.h"
#include "board/settings_image.h"
#include "board_link_setup.h"
#include "golden_files.h"
#include "recording_ports.h"
#include "sample_cpu_settings.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

using testing::FakeBoard;
using testing::FakeBoardDrive;
using testing::RecordingPrompter;
using testing::SampleCpuSettings;
using Sent = testing::SentRecords;
using Online = testing::OpenBoardLink;

TEST(BoardMemoryMotor, PackPutsWord20ByteAFirstAndZeroesTheReservedTail) {
  MotorRecord motor;
  motor.words[MotorWord::kAdrRdp] = 0x1234;
  motor.words[MotorWord::kReserved22] = 0xBEEF;
  motor.word20A = 0x0A;
  motor.word20B = 0x0B;
  BoardMirror mirror{};
  mirror.fill(0xFF);
  PackMotorRecord(motor, mirror, 0x1040);
  EXPECT_EQ(MirrorWord(mirror, 0x1040), 0x1234);
  EXPECT_EQ(MirrorWord(mirror, 0x1040 + 40), 0x0B0A);
  EXPECT_EQ(MirrorWord(mirror, 0x1040 + 44), 0xBEEF);
  for (std::uint32_t n = 23; n < 32; ++n) {
    EXPECT_EQ(MirrorWord(mirror, 0x1040 + 2 * n), 0) << n;
  }
  EXPECT_EQ(mirror[0x1080], 0xFF);  // the next record is untouched
  MotorRecord back;
  UnpackMotorRecord(mirror, 0x1040, back);
  EXPECT_EQ(back, motor);
  EXPECT_EQ(MirrorText(mirror, 0x1FFD, 8), "\xFF\xFF\xFF") << "texts stop at the end of memory";
  EXPECT_EQ(MirrorText(mirror, 0x1040, 1), "4") << "and after their longest";
}

TEST(BoardMemorySettings, WriteThenReadGivesTheSameSettings) {
  Online t(true);
  t.board->SetWord(0x0010, 12);
  const CpuSettings written = SampleCpuSettings();
  ASSERT_EQ(WriteBoardSettings(t.link, written, nullptr), 1);
  EXPECT_FALSE(t.link.BoardBusy());
  EXPECT_EQ(t.board->Word(0x1000 + 31 * 64 + 44), written.motors[31].words[22]);
  for (const auto& sent : testing::Sent(*t.board, 'W')) {
    EXPECT_LT(sent.first, 0x1800u) << "nothing past the last motor record";
  }

  BoardLink fresh;
  ASSERT_TRUE(fresh.OpenBoard(FakeBoardDrive(t.board, u"D")));
  CpuSettings read{};
  std::u16string name;
  EXPECT_EQ(ReadBoardSettings(fresh, read, &name), 1);
  EXPECT_EQ(read.interpolationMethods, written.interpolationMethods);
  EXPECT_EQ(read.motors, written.motors);
  EXPECT_EQ(read.modelName, CpuSettings{}.modelName);  // the record's own name is not touched

  // Only 16 bytes of the name are fetched; a failed read leaves every field alone.
  t.board->SetText(0x0020, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  ReadBoardSettings(fresh, read, &name);
  EXPECT_EQ(name, u"ABCDEFGHIJKLMNOP");
  t.board->failReads = true;
  const CpuSettings before = read = SampleCpuSettings();
  EXPECT_EQ(ReadBoardSettings(fresh, read, &name), 1);
  EXPECT_EQ(read, before);
  EXPECT_EQ(name, u"ABCDEFGHIJKLMNOP");
}

TEST(BoardMemorySettings, SettingsWordIsReadFromFirmware10On) {
  for (std::uint16_t version : {9, 10}) {
    Online t(false);
    t.board->SetWord(0x0010, version);
    t.board->SetWord(0x0092, 0x5A5A);
    CpuSettings settings{};
    settings.settingsWord92 = 7;
    ReadBoardSettings(t.link, settings, nullptr);
    EXPECT_EQ(t.board->WasRequested(0x0092), version >= 10) << version;
    EXPECT_EQ(settings.settingsWord92, version >= 10 ? 0x5A5A : 7) << version;
  }
}

TEST(BoardMemorySettings, WriteNotSentFailedOrTimedOut) {
  Online t(false);
  const CpuSettings settings = SampleCpuSettings();
  EXPECT_EQ(WriteBoardSettings(t.link, settings, nullptr), 0) << "not connected: mirror only";
  EXPECT_TRUE(t.board->written.empty());
  EXPECT_EQ(MirrorWord(t.link.Mirror(), 0x1000 + 2), settings.motors[0].words[1]);
  EXPECT_EQ(t.link.Flags().communicationError.load(), 0u);

  t.link.Flags().connectionActive = t.link.Flags().online = 1;
  t.board->failWrites = true;
  EXPECT_EQ(WriteBoardSettings(t.link, settings, nullptr), 0);
  EXPECT_EQ(t.link.Flags().communicationError.load(), 1u);
  EXPECT_FALSE(t.link.BoardBusy());

  RecordingPrompter prompter;
  ASSERT_TRUE(t.link.TryTakeBoard());  // another task holds the board
  EXPECT_EQ(WriteBoardSettings(t.link, settings, &prompter), 0);
  EXPECT_EQ(testing::ShownTexts(prompter), testing::Texts({TextId::kMsgBoardTimeout}));
  EXPECT_TRUE(t.board->written.empty());
  EXPECT_TRUE(t.link.BoardBusy());  // still the other task's
  t.link.Flags().playbackActive = 1;
  EXPECT_EQ(WriteBoardSettings(t.link, settings, &prompter), 0);
  EXPECT_EQ(prompter.Calls().size(), 1u);
}

TEST(BoardMemorySettings, OfflineWriteOpensTheCurrentDriveOnlyWhenOffline) {
  auto board = std::make_shared<FakeBoard>();
  BoardLink link;
  link.SetCurrentDrive(FakeBoardDrive(board, u"E"));
  EXPECT_EQ(WriteBoardSettingsOffline(link, SampleCpuSettings(), nullptr), 1);
  EXPECT_EQ(std::pair(board->opens, board->closes), std::pair(1, 1));
  EXPECT_EQ(link.Flags().connectionActive.load(), 0u);
  EXPECT_EQ(board->Word(0x0046), 0x0203);

  link.Flags().online = 0;
  board->failOpen = true;
  EXPECT_EQ(WriteBoardSettingsOffline(link, SampleCpuSettings(), nullptr), 0);
  EXPECT_EQ(link.Flags().connectionActive.load(), 0u);
}

TEST(BoardMemoryRefresh, A260ByteRequestIsFetchedAs255ThenTheLast5) {
  Online t(true);
  for (std::uint32_t a = 0x0200; a < 0x0304; ++a) {
    t.board->memory[a] = static_cast<std::uint8_t>(a | 1);
  }
  RequestBoardRefresh(t.link, 0x0200, 260);
  EXPECT_FALSE(t.link.BoardBusy());
  ServiceRefreshRequests(t.link);
  const auto first = testing::Sent(*t.board, 'R');
  ASSERT_EQ(first.size(), 16u);  // 255 bytes in requests of 16
  EXPECT_EQ(first.front(), std::make_pair(0x0200u, 16));
  EXPECT_EQ(first.back(), std::make_pair(0x02F0u, 15));
  EXPECT_EQ(t.link.Mirror()[0x02FE], 0xFF);
  EXPECT_EQ(t.link.Mirror()[0x02FF], 0);
  EXPECT_EQ(t.link.Flags().refreshPending.load(), 0u);

  ServiceRefreshRequests(t.link);  // nothing pending: the last 5 wait
  EXPECT_EQ(t.board->Records('R').size(), 16u);
  RequestBoardRefresh(t.link, 0x1000, 2);
  t.board->written.clear();
  ServiceRefreshRequests(t.link);
  EXPECT_EQ(testing::Sent(*t.board, 'R'), (Sent{{0x02FF, 5}, {0x1000, 2}}));
  EXPECT_EQ(t.link.Mirror()[0x0303], 0x03);

  RequestBoardRefresh(t.link, 0x1FFE, 10);  // cut at the end of memory, then the scan wraps
  t.board->written.clear();
  ServiceRefreshRequests(t.link);
  EXPECT_EQ(testing::Sent(*t.board, 'R'), (Sent{{0x1FFE, 2}}));
  EXPECT_EQ(t.link.Refresh().cursor, 0u);
  RequestBoardRefresh(t.link, 0x0010, 1);
  ServiceRefreshRequests(t.link);
  EXPECT_EQ(testing::Sent(*t.board, 'R').back(), std::make_pair(0x0010u, 1));
}

TEST(BoardMemoryRefresh, RequestsOutOfRangeOfflineOrWhileTheBoardIsHeld) {
  Online t(true);
  RequestBoardRefresh(t.link, 0x2000, 4);
  EXPECT_EQ(t.link.Flags().refreshPending.load(), 0u);
  ASSERT_TRUE(t.link.TryTakeBoard());
  EXPECT_FALSE(TryRequestBoardRefresh(t.link, 0x0200, 4)) << "gives way to the board's holder";
  EXPECT_EQ(t.link.Flags().refreshPending.load(), 0u);
  t.link.ReleaseBoard();
  EXPECT_TRUE(TryRequestBoardRefresh(t.link, 0x0200, 4));
  EXPECT_FALSE(t.link.BoardBusy());
  EXPECT_EQ(t.link.Refresh().requested[0x0203], 1);
  EXPECT_EQ(t.link.Refresh().requested[0x0204], 0);

  // A failed read keeps the requests.
  t.board->failReads = true;
  ServiceRefreshRequests(t.link);
  EXPECT_EQ(t.link.Flags().refreshPending.load(), 1u);
  EXPECT_EQ(t.link.Refresh().requested[0x0203], 1);
  t.board->failReads = false;
  t.link.Refresh().cursor = 0;
  ServiceRefreshRequests(t.link);
  EXPECT_EQ(t.link.Refresh().requested[0x0203], 0);

  t.link.Flags().online = 0;
  RequestBoardRefresh(t.link, 0x0300, 4);
  EXPECT_TRUE(TryRequestBoardRefresh(t.link, 0x0300, 4));  // nothing to ask while offline
  EXPECT_EQ(t.link.Flags().refreshPending.load(), 0u);
  EXPECT_EQ(t.link.Refresh().requested[0x0300], 0);
}

TEST(BoardMemoryStatus, ReadingsStatusAndBusyBits) {
  Online t(true);
  SliderTable sliders{};
  // Motor record 3 drives slider 5; the board reports its position at 0x0D84.
  StoreMirrorWord(t.link.Mirror(), 0x1000 + 3 * 64 + 2, 0x0C00 + 2 * 5);  // ADR0
  StoreMirrorWord(t.link.Mirror(), 0x1000 + 3 * 64 + 0, 0x0D84);          // ADRRDP
  StoreMirrorWord(t.link.Mirror(), 0x1000 + 3 * 64 + 10, 100);            // OFS
  // Addresses beyond memory are left out of the second pass.
  StoreMirrorWord(t.link.Mirror(), 0x1000 + 2 * MotorWord::kAdr2B, 0xFFF0);
  StoreMirrorWord(t.link.Mirror(), 0x1000 + 2 * MotorWord::kAdr3B, 0x0500);
  sliders[5].flags2 = SliderFlag2::kServoChannel;
  sliders[6].flags2 = SliderFlag2::kServoChannel;  // no record names slider 6
  t.board->SetWord(0x0D84, 40);
  t.board->SetWord(0x0C00 + 10, 1234);
  t.board->SetWord(0x0C00 + 12, 0xFFFE);
  t.board->SetWord(0x0C00 + 2 * 127, 77);
  t.board->memory[0x0B43] = 1;
  t.board->memory[0x0B63] = 2;
  EXPECT_EQ(PollBoardStatus(t.link, sliders),
            BoardStatusBit::kBuffer0Busy | BoardStatusBit::kBuffer2Busy);
  EXPECT_EQ(sliders[5].reading, 40 - 100);
  EXPECT_EQ(sliders[6].reading, -2);
  EXPECT_EQ(sliders[127].reading, 77);
  // The second pass refreshes the board's status range.
  EXPECT_TRUE(t.board->WasRequested(0x0008));
  EXPECT_TRUE(t.board->WasRequested(0x0500));
  EXPECT_FALSE(t.board->WasRequested(0xFFF0));

  t.board->failReads = true;
  EXPECT_EQ(PollBoardStatus(t.link, sliders), 0u);
  EXPECT_EQ(sliders[5].reading, 40 - 100);
}

TEST(BoardMemoryStop, ResetSendsTheThreeBuffersAndClearsThePendingPoseOnlyWhenSent) {
  Online t(true);
  t.link.Flags().posePending = 1;
  RecordingPrompter prompter;
  EXPECT_EQ(ResetInterpolationBuffers(t.link, &prompter), 1);
  EXPECT_EQ(testing::Sent(*t.board, 'W'), (Sent{{0x0B44, 1}, {0x0B54, 1}, {0x0B64, 1}}));
  EXPECT_EQ(t.board->memory[0x0B54], 1);
  EXPECT_EQ(t.link.Flags().posePending.load(), 0u);
  EXPECT_FALSE(t.link.BoardBusy());

  t.link.Flags().connectionActive = 0;
  t.link.Flags().posePending = 1;
  EXPECT_EQ(ResetInterpolationBuffers(t.link, nullptr), 0);
  EXPECT_EQ(t.link.Flags().posePending.load(), 1u);
  EXPECT_FALSE(t.link.BoardBusy());

  t.link.Flags().connectionActive = 1;
  ASSERT_TRUE(t.link.TryTakeBoard());
  t.link.Flags().communicationError = 1;
  EXPECT_EQ(ResetInterpolationBuffers(t.link, &prompter), 0);
  EXPECT_EQ(testing::ShownTexts(prompter), testing::Texts({TextId::kMsgBoardTimeout}));
  EXPECT_EQ(t.link.Flags().posePending.load(), 1u);
}

// Where the start-up call goes is checked with the whole start-up image by the image builder's
// tests; here the settings program itself, and a patch that finds no settings program.
TEST(SettingsImage, WritesEverySettingInOrderAndPatchesOnlyItself) {
  const std::vector<std::uint8_t> image = BuildSettingsImage(testing::SampleCpuSettings());
  EXPECT_EQ(image.size(), kSettingsImageSize);
  EXPECT_EQ(image, testing::CoreGoldenBytes("settings_image_sample.hex"));
  std::vector<std::uint8_t> other(100, 0xC0);
  PatchStartupCall(other, 0x1234);
  EXPECT_EQ(other, std::vector<std::uint8_t>(100, 0xC0)) << "not a settings image";
}

}  // namespace
}  // namespace gestalon::core
