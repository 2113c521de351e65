#include "board/board_scan.h"

#include <gtest/gtest.h>

#include "board/drive_label_text.h"
#include "fake_devmem.h"

namespace gestalon::core {
namespace {

using testing::FakeBoard;
using testing::FakeBoardDrive;

std::shared_ptr<FakeBoard> Board(const std::string& modelName) {
  auto board = std::make_shared<FakeBoard>();
  board->SetText(0x0020, modelName);
  return board;
}

std::vector<std::u16string> Labels(const std::vector<BoardDrive>& drives) {
  std::vector<std::u16string> labels;
  for (const auto& drive : drives) {
    labels.push_back(drive.label);
  }
  return labels;
}

// Scans boards on drives D, E, F... with a link whose current drive is Z.
struct Scan {
  BoardLink link;
  BoardScanResult result;
  Scan(const std::vector<std::shared_ptr<FakeBoard>>& boards, std::u16string_view robotName) {
    link.SetCurrentDrive(FakeBoardDrive(Board("X"), u"Z"));
    std::vector<BoardDrive> drives;
    for (std::size_t i = 0; i < boards.size(); ++i) {
      drives.push_back(
          FakeBoardDrive(boards[i], std::u16string(1, static_cast<char16_t>(u'D' + i))));
    }
    result = ScanBoardDrives(link, drives, robotName);
  }
};

// A board is chosen only when its name is the one exact match; a board whose DEVMEM will not
// open is counted, not listed, and boards that do not identify exactly are not even opened.
TEST(BoardScan, OnlyASingleExactMatchIsChosen) {
  auto closed = Board("ROBO");
  closed->failOpen = true;
  Scan one({Board("OTHER"), closed, Board("ROBO"), Board("ROBO2")}, u"ROBO");
  EXPECT_TRUE(one.result.singleMatch);
  EXPECT_EQ(one.result.count, 4);
  EXPECT_EQ(one.link.CurrentDrive().label, u"F");
  EXPECT_EQ(one.result.modelNames, (std::vector<std::u16string>{u"OTHER", u"ROBO", u"ROBO2"}));
  EXPECT_EQ(Labels(one.link.DriveList().drives), (std::vector<std::u16string>{u"D", u"F", u"G"}));
  EXPECT_FALSE(one.link.IsBoardOpen());

  Scan none[] = {Scan({Board("ROBO"), Board("ROBO")}, u"ROBO"),
                 Scan({Board("robo"), Board("ROBO "), Board("ROB")}, u"ROBO")};
  for (Scan& scan : none) {
    EXPECT_EQ(scan.result.listed.size(), &scan == none ? 2u : 3u);
    EXPECT_FALSE(scan.result.singleMatch);
    EXPECT_EQ(scan.link.CurrentDrive().label, u"Z");
  }

  auto noBlanks = Board("ROBO");
  noBlanks->descriptor.vendor = "Quarel";
  auto unreadable = Board("ROBO");
  unreadable->queryFails = true;
  Scan unidentified({noBlanks, unreadable}, u"ROBO");
  EXPECT_EQ(unidentified.result.count, 0);
  EXPECT_EQ(noBlanks->opens + unreadable->opens, 0);
}

TEST(BoardScan, ChoiceTextsAndChoosingAValidIndex) {
  Scan scan({Board("ROBO"), Board("TWO")}, u"none");
  EXPECT_EQ(BoardChoiceTexts(scan.result),
            (std::vector<std::u16string>{u"ROBO (Dドライブ)", u"TWO (Eドライブ)"}));
  EXPECT_EQ(CurrentBoardChoice(scan.link, scan.result), 0);
  ChooseBoard(scan.link, scan.result, 2);
  ChooseBoard(scan.link, scan.result, -1);
  EXPECT_EQ(scan.link.CurrentDrive().label, u"Z");
  ChooseBoard(scan.link, scan.result, 1);
  EXPECT_EQ(scan.link.CurrentDrive().label, u"E");
  EXPECT_EQ(CurrentBoardChoice(scan.link, scan.result), 1);

  EXPECT_EQ(DriveLabelFormat(u"%s (%cドライブ)"), u"%s (%sドライブ)");
  EXPECT_EQ(DriveLabelFormat(u"100%% %c %-2c %%c"), u"100%% %s %-2s %%c");
#ifndef _WIN32
  BoardDrive drive;
  drive.label = u"/media/robot";
  EXPECT_EQ(DriveLabelText(drive), u"/media/robot");
#endif
}

}  // namespace
}  // namespace gestalon::core
