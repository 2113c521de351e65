#include "motion/motion_document.h"

#include <gtest/gtest.h>

#include <tuple>

#include "motion/block_factory.h"
#include "motion/recent_motions.h"
#include "platform/paths.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

BasePoseTable OneBasePose() {
  BasePoseTable table;
  table.current = 1;
  BasePose& pose = table.entries[1];
  pose.registered = true;
  pose.axisEnable[3] = true;
  pose.values[3] = -700;
  pose.values[4] = 55;  // not enabled: stays out of new poses
  pose.servoEnableMask = 0x5;
  return table;
}

TEST(BlockFactory, FreshBlocksTakeTheBasePoseAndKindDefaults) {
  MotionDocument document;
  const BasePoseTable base = OneBasePose();
  MotionBlock& wait = AddBlock(document, BlockKind::Wait, {10, 20}, base);
  EXPECT_EQ(std::tuple(wait.name, wait.time, wait.xpos, wait.ypos),
            std::tuple(u"<< Wait >>", 50, 10, 20));
  EXPECT_EQ(std::tuple(wait.slots[3], wait.slots[4], wait.servoEnableMask),
            std::tuple(-700, 0, 0x5u))
      << "every fresh block carries the base pose";
  MotionBlock& pad = AddBlock(document, BlockKind::PadIf, {0, 0}, base);
  EXPECT_EQ(std::tuple(pad.name, pad.varAddr, pad.useConst, pad.bluearrow, pad.redarrow),
            std::tuple(u"IF", 0x0EE4, 1u, 16, 46));
  EXPECT_TRUE(AddBlock(document, BlockKind::Cancel, {0, 0}, base).noFile);
  BasePoseTable none = base;
  none.current = 36;
  MotionBlock& pose = AddBlock(document, BlockKind::Pose, {0, 0}, none);
  EXPECT_EQ(std::tuple(pose.slots[3], pose.servoEnableMask, pose.interpWait),
            std::tuple(0, 0u, false))
      << "no base pose chosen";
}

TEST(BlockFactory, PoseNumbersFillTheFirstGap) {
  MotionDocument document;
  EXPECT_EQ(NewPoseCaption(document), u"P 0");
  for (const char16_t* name : {u"P 0", u"P  2", u"my P 1 pose", u"P 2000000000", u"P -4"}) {
    document.Append({}).name = name;
  }
  MotionBlock& calc = document.Append({});
  calc.type = static_cast<std::int32_t>(BlockKind::Calc);
  calc.name = u"P 3";
  EXPECT_EQ(NextFreePoseNumber(document), 3)
      << "huge and negative numbers and other kinds' captions leave the gap";
}

TEST(BlockFactory, NewMotionIsStartPoseEnd) {
  MotionDocument document;
  document.Append(MotionBlock{});
  NewMotion(document, OneBasePose(), {.fontHeight = -12, .clientHeight = -1});
  ASSERT_EQ(document.count(), 3);
  MotionBlock* start = document.head();
  MotionBlock* pose = start->nextInList;
  MotionBlock* end = pose->nextInList;
  EXPECT_EQ(std::tuple(start->type, start->xpos, start->ypos, start->next),
            std::tuple(3, 50, 10, pose));
  EXPECT_EQ(std::tuple(pose->name, pose->ypos, pose->time, pose->slots[3], pose->next),
            std::tuple(u"P 0", 46, 50, -700, end));
  EXPECT_EQ(std::tuple(end->type, end->ypos, end->next), std::tuple(4, 574, nullptr));
  EXPECT_EQ(document.current, pose);
  NewMotion(document, BasePoseTable{}, {.fontHeight = -12, .clientHeight = 0});
  EXPECT_EQ(document.At(2)->ypos, -36) << "a known height, however small";
}

TEST(RecentMotions, RelativeToTheProjectOldestDroppedWhenFull) {
  testing::TempDir dir;
  const std::u16string folder = TextFromPath(dir.Path() / "");
  RecentMotions recent;
  EXPECT_FALSE(AddRecentMotion(recent, folder, u"/elsewhere/walk.KX4"));
  EXPECT_TRUE(AddRecentMotion(recent, folder, folder + u"m0.KX4"));
  EXPECT_FALSE(AddRecentMotion(recent, folder, folder + u"m0.KX4")) << "already listed";
  for (int i = 1; i <= 20; ++i) {
    AddRecentMotion(recent, folder,
                    folder + u"m" + std::u16string(1, char16_t(u'A' + i)) + u".KX4");
  }
  EXPECT_EQ(recent.slots[0], u"mB.KX4") << "the 21st motion dropped the first";
  EXPECT_EQ(RecentMotionMenu(recent).at(0).commandId, 41019) << "the newest first";
  EXPECT_FALSE(RecentMotionPath(recent, folder, 0)) << "file does not exist";
  EXPECT_FALSE(RecentMotionPath(recent, folder, 20));
  const auto empty = RecentMotionMenu(RecentMotions{});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(std::tuple(empty[0].commandId, empty[0].enabled), std::tuple(41000, false));
}

}  // namespace
}  // namespace gestalon::core
