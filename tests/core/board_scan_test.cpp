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

TEST(BoardScan, TwoMatchingBoardsChooseNothing) {
  BoardLink link;
  link.SetCurrentDrive(FakeBoardDrive(Board("X"), u"Z"));
  const auto scan = ScanBoardDrives(
      link, {FakeBoardDrive(Board("ROBO"), u"D"), FakeBoardDrive(Board("ROBO"), u"E")}, u"ROBO");
  EXPECT_EQ(scan.count, 2);
  EXPECT_EQ(scan.listed.size(), 2u);
  EXPECT_FALSE(scan.singleMatch);
  EXPECT_EQ(link.CurrentDrive().label, u"Z");
}

TEST(BoardScan, OneMatchIsChosenAmongOthers) {
  BoardLink link;
  link.SetCurrentDrive(FakeBoardDrive(Board("X"), u"Z"));
  const auto scan =
      ScanBoardDrives(link,
                      {FakeBoardDrive(Board("OTHER"), u"D"), FakeBoardDrive(Board("ROBO"), u"F"),
                       FakeBoardDrive(Board("ROBO2"), u"G")},
                      u"ROBO");
  EXPECT_TRUE(scan.singleMatch);
  EXPECT_EQ(link.CurrentDrive().label, u"F");
  EXPECT_EQ(scan.modelNames, (std::vector<std::u16string>{u"OTHER", u"ROBO", u"ROBO2"}));
  EXPECT_EQ(Labels(link.DriveList().drives), (std::vector<std::u16string>{u"D", u"F", u"G"}));
  EXPECT_FALSE(link.IsBoardOpen());
}

TEST(BoardScan, ABoardWhoseDevmemWontOpenIsCountedNotListed) {
  auto closed = Board("ROBO");
  closed->failOpen = true;
  BoardLink link;
  const auto scan = ScanBoardDrives(
      link, {FakeBoardDrive(closed, u"D"), FakeBoardDrive(Board("ROBO"), u"E")}, u"ROBO");
  EXPECT_EQ(scan.count, 2);
  EXPECT_EQ(Labels(scan.listed), (std::vector<std::u16string>{u"E"}));
  EXPECT_TRUE(scan.singleMatch);
  EXPECT_EQ(link.CurrentDrive().label, u"E");
}

TEST(BoardScan, OnlyExactIdentificationTextsCount) {
  auto noBlanks = Board("ROBO");
  noBlanks->descriptor.vendor = "Quarel";
  auto otherProduct = Board("ROBO");
  otherProduct->descriptor.product = "microSD flash   ";
  auto unreadable = Board("ROBO");
  unreadable->queryFails = true;
  BoardLink link;
  const auto scan =
      ScanBoardDrives(link,
                      {FakeBoardDrive(noBlanks, u"D"), FakeBoardDrive(otherProduct, u"E"),
                       FakeBoardDrive(unreadable, u"F")},
                      u"ROBO");
  EXPECT_EQ(scan.count, 0);
  EXPECT_TRUE(scan.listed.empty());
  EXPECT_EQ(noBlanks->opens + otherProduct->opens + unreadable->opens, 0);
}

TEST(BoardScan, ModelNameMustEqualTheRobotNameExactly) {
  BoardLink link;
  link.SetCurrentDrive(FakeBoardDrive(Board("X"), u"Z"));
  const auto scan =
      ScanBoardDrives(link,
                      {FakeBoardDrive(Board("robo"), u"D"), FakeBoardDrive(Board("ROBO "), u"E"),
                       FakeBoardDrive(Board("ROB"), u"F")},
                      u"ROBO");
  EXPECT_EQ(scan.count, 3);
  EXPECT_FALSE(scan.singleMatch);
  EXPECT_EQ(link.CurrentDrive().label, u"Z");
}

TEST(BoardScan, ChoiceTextsNameTheModelAndTheDrive) {
  BoardLink link;
  const auto scan = ScanBoardDrives(
      link, {FakeBoardDrive(Board("ROBO"), u"D"), FakeBoardDrive(Board("TWO"), u"E")}, u"");
  EXPECT_EQ(BoardChoiceTexts(scan),
            (std::vector<std::u16string>{u"ROBO (Dドライブ)", u"TWO (Eドライブ)"}));
}

TEST(BoardScan, ChooseBoardTakesValidIndexesOnly) {
  BoardLink link;
  link.SetCurrentDrive(FakeBoardDrive(Board("X"), u"Z"));
  const auto scan = ScanBoardDrives(
      link, {FakeBoardDrive(Board("A"), u"D"), FakeBoardDrive(Board("B"), u"E")}, u"none");
  EXPECT_EQ(CurrentBoardChoice(link, scan), 0);
  ChooseBoard(link, scan, 2);
  ChooseBoard(link, scan, -1);
  EXPECT_EQ(link.CurrentDrive().label, u"Z");
  ChooseBoard(link, scan, 1);
  EXPECT_EQ(link.CurrentDrive().label, u"E");
  EXPECT_EQ(CurrentBoardChoice(link, scan), 1);
}

TEST(BoardScan, DriveLabelFormatTurnsCharConversionsIntoTexts) {
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
