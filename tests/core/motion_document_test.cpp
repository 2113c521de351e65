#include "motion/motion_document.h"

#include <gtest/gtest.h>

#include <tuple>

#include "motion/block_factory.h"
#include "motion/recent_motions.h"
#include "platform/paths.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

TEST(MotionDocument, ListOrderLinksAndRemoval) {
  MotionDocument document;
  MotionBlock record;
  record.name = u"a";
  MotionBlock& a = document.Append(record);
  record.name = u"b";
  MotionBlock& b = document.Append(record);
  record.name = u"c";
  MotionBlock& c = document.Append(record);
  EXPECT_EQ(document.count(), 3);
  EXPECT_EQ(document.head(), &a);
  EXPECT_EQ(document.tail(), &c);
  EXPECT_EQ(b.prev, &a);
  EXPECT_EQ(b.nextInList, &c);
  document.current = &b;
  document.Remove(&b);
  EXPECT_EQ(document.count(), 2);
  EXPECT_EQ(a.nextInList, &c);
  EXPECT_EQ(c.prev, &a);
  EXPECT_EQ(document.current, nullptr);
  EXPECT_EQ(document.IndexOf(&c), 1);
  EXPECT_EQ(document.At(1), &c);
  EXPECT_EQ(document.At(2), nullptr);

  // Moving the document keeps the blocks where they are.
  MotionDocument moved = std::move(document);
  EXPECT_EQ(moved.head(), &a);
  EXPECT_TRUE(document.empty());
  moved.Remove(&a);
  moved.Remove(&c);
  EXPECT_EQ(moved.head(), nullptr);
  EXPECT_EQ(moved.tail(), nullptr);
}

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
  EXPECT_EQ(wait.slots[3], -700) << "every fresh block carries the base pose";
  EXPECT_EQ(wait.slots[4], 0);
  EXPECT_EQ(wait.servoEnableMask, 0x5u);

  MotionBlock& pad = AddBlock(document, BlockKind::PadIf, {0, 0}, base);
  EXPECT_EQ(std::tuple(pad.name, pad.varAddr, pad.useConst, pad.bluearrow, pad.redarrow),
            std::tuple(u"IF", 0x0EE4, 1u, 16, 46));
  MotionBlock& cancel = AddBlock(document, BlockKind::Cancel, {0, 0}, base);
  EXPECT_TRUE(cancel.noFile);
  EXPECT_EQ(AddBlock(document, BlockKind::FileWrite, {0, 0}, base).fileAddr, 0x0E00);
  EXPECT_EQ(AddBlock(document, BlockKind::Calc, {0, 0}, base).name, u" CALCULATION ");

  BasePoseTable none = base;
  none.current = 36;
  MotionBlock& pose = AddBlock(document, BlockKind::Pose, {0, 0}, none);
  EXPECT_EQ(pose.slots[3], 0) << "no base pose chosen";
  EXPECT_EQ(pose.servoEnableMask, 0u);
  EXPECT_FALSE(pose.interpWait);

  MotionBlock copy = wait;
  copy.interpWait = true;
  MotionBlock& duplicate = CreateBlock(document, BlockKind::Pose, &copy, std::nullopt, base);
  EXPECT_EQ(duplicate.name, u"<< Wait >>") << "a duplicate starts as a copy of its source";
  EXPECT_FALSE(duplicate.interpWait);
  EXPECT_EQ(duplicate.type, 0);
  EXPECT_EQ(duplicate.bluearrow, 6);
}

TEST(BlockFactory, PoseNumbersFillTheFirstGap) {
  MotionDocument document;
  const BasePoseTable base;
  auto addPose = [&](const char16_t* name) {
    MotionBlock record;
    record.name = name;
    document.Append(record);
  };
  EXPECT_EQ(NewPoseCaption(document), u"P 0");
  addPose(u"P 0");
  addPose(u"P  2");
  addPose(u"my P 1 pose");
  EXPECT_EQ(NextFreePoseNumber(document), 3);
  addPose(u"P 2000000000");
  addPose(u"P -4");
  EXPECT_EQ(NextFreePoseNumber(document), 3) << "huge and negative numbers leave the gap";
  MotionBlock calc;
  calc.type = static_cast<std::int32_t>(BlockKind::Calc);
  calc.name = u"P 3";
  document.Append(calc);
  EXPECT_EQ(NextFreePoseNumber(document), 3) << "only pose captions count";
}

TEST(BlockFactory, NewMotionIsStartPoseEnd) {
  MotionDocument document;
  document.Append(MotionBlock{});
  NewMotion(document, OneBasePose(), {.fontHeight = -12, .clientHeight = -1});
  ASSERT_EQ(document.count(), 3);
  MotionBlock* start = document.head();
  MotionBlock* pose = start->nextInList;
  MotionBlock* end = pose->nextInList;
  EXPECT_TRUE(start->Is(BlockKind::Start));
  EXPECT_TRUE(end->Is(BlockKind::End));
  EXPECT_EQ(std::tuple(start->xpos, start->ypos, start->name, start->next),
            std::tuple(50, 10, u"", pose));
  EXPECT_EQ(std::tuple(pose->name, pose->ypos, pose->time, pose->slots[3], pose->next),
            std::tuple(u"P 0", 46, 50, -700, end));
  EXPECT_EQ(std::tuple(pose->nextIndex, pose->branchIndex), std::tuple(-1, -1));
  EXPECT_EQ(std::tuple(end->ypos, end->next), std::tuple(574, nullptr));
  EXPECT_EQ(document.current, pose);
  NewMotion(document, BasePoseTable{}, {.fontHeight = -16, .clientHeight = 400});
  EXPECT_EQ(document.At(1)->ypos, 58);
  EXPECT_EQ(document.At(2)->ypos, 364);
  NewMotion(document, BasePoseTable{}, {.fontHeight = -12, .clientHeight = 2000});
  EXPECT_EQ(document.At(2)->ypos, 600);
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
  EXPECT_EQ(recent.slots[19], u"mU.KX4");
  const auto menu = RecentMotionMenu(recent);
  ASSERT_EQ(menu.size(), 20u);
  EXPECT_EQ(menu[0].commandId, 41019);
  EXPECT_EQ(menu[0].text, u"mU.KX4");

  EXPECT_FALSE(RecentMotionPath(recent, folder, 0)) << "file does not exist";
  testing::WriteBytes(dir / "mB.KX4", "");
  EXPECT_EQ(RecentMotionPath(recent, folder, 0), dir / "mB.KX4");
  EXPECT_FALSE(RecentMotionPath(recent, folder, 20));

  const auto empty = RecentMotionMenu(RecentMotions{});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].commandId, 41000);
  EXPECT_FALSE(empty[0].enabled);
  EXPECT_EQ(empty[0].text, u"(最近開いたモーションはありません)");
}

}  // namespace
}  // namespace gestalon::core
