#include <gtest/gtest.h>

#include <tuple>

#include "editing_session.h"
#include "flowchart/block_clipboard.h"
#include "flowchart/block_commands.h"
#include "flowchart/block_delete.h"
#include "flowchart/motion_import.h"
#include "motion/motion_writer.h"
#include "motion_block_setup.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::EditingSession;
using testing::LinksStayInside;

TEST(FlowchartAdd, PosesFillNumberGapsAndBecomeCurrentOtherKindsGoBelowUnlinked) {
  EditingSession s;
  MotionBlock& pose = s.Add(BlockKind::Pose, 50, 50, u"P 0");
  MotionBlock& end = s.Add(BlockKind::End, 50, 300, u"P 1");
  pose.next = &end;
  s.document.current = &pose;
  MotionBlock* calc = AddBlockCommand(s.context, BlockKind::Calc);
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(std::tuple(calc->xpos, calc->ypos, calc->next), std::tuple(50, 100, nullptr))
      << "bottom 80 + 20";
  EXPECT_EQ(pose.next, &end);
  EXPECT_EQ(s.document.current, &pose);
  EXPECT_EQ(AddBlockCommand(s.context, BlockKind::Start), nullptr);
  EXPECT_TRUE(s.handed.empty());
  s.Add(BlockKind::Pose, 50, 150, u"P 2");
  s.state.insertionPoint = {300, 400};
  MotionBlock* gap = AddBlockCommand(s.context, BlockKind::Pose);
  ASSERT_NE(gap, nullptr);
  EXPECT_EQ(std::tuple(gap->name, gap->xpos, gap->ypos), std::tuple(u"P 1", 300, 400))
      << "only pose captions count";
  EXPECT_EQ(s.document.current, gap);
  ASSERT_EQ(s.handed.size(), 1u);
  EXPECT_EQ(s.handed[0].second, 18) << "a new pose goes to the robot with the slider time";
  EXPECT_EQ(s.undo.steps, 2);
}

TEST(FlowchartAdd, NewBlockPositionBetweenPosesInANewColumnOrWithoutCurrent) {
  EditingSession s;
  EXPECT_EQ(std::tuple(NewBlockPosition(s.context).x, NewBlockPosition(s.context).y),
            std::tuple(50, 10));
  MotionBlock& pose = s.Add(BlockKind::Pose, 50, 50);
  MotionBlock& wait = s.Add(BlockKind::Wait, 50, 120);
  MotionBlock& next = s.Add(BlockKind::Pose, 50, 201);
  testing::Chain({&pose, &wait, &next});
  s.document.current = &pose;
  BlockPosition at = NewBlockPosition(s.context);
  EXPECT_EQ(std::tuple(at.x, at.y), std::tuple(125, 125))
      << "three quarters across, halfway down to the next pose, truncated";
  // A block of the same height below would reach past the canvas bottom: a new column.
  s.state.canvasHeight = 100;
  wait.next = nullptr;
  at = NewBlockPosition(s.context);
  EXPECT_EQ(std::tuple(at.x, at.y), std::tuple(182, 10));
}

// Start -> P0 -> P1 -> End with P0 current; P0 at (50, 50), P1 at (50, 150).
struct Chain {
  EditingSession s;
  MotionBlock& start = s.Add(BlockKind::Start, 50, 10);
  MotionBlock& p0 = s.Add(BlockKind::Pose, 50, 50, u"P 0");
  MotionBlock& p1 = s.Add(BlockKind::Pose, 50, 150, u"P 1");
  MotionBlock& end = s.Add(BlockKind::End, 50, 300, u"END");
  Chain() {
    testing::Chain({&start, &p0, &p1, &end});
    s.document.current = &p0;
  }
};

TEST(FlowchartSplit, AveragesValuesAndHalvesTheFollowingTime) {
  Chain c;
  c.p0.slots[0] = -3;
  c.p0.slots[1] = 100;
  c.p0.interpWait = true;
  c.p1.slots[1] = 51;
  c.p1.time = 51;
  c.p0.selFlags = kBlockSelected;
  MotionBlock* split = SplitPose(c.s.context);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(std::tuple(split->slots[0], split->slots[1]), std::tuple(-1, 75))
      << "sum truncated toward zero";
  EXPECT_EQ(std::tuple(c.p1.time, split->time, split->interpWait), std::tuple(25, 25, false));
  EXPECT_EQ(std::tuple(c.p0.next, split->next), std::tuple(split, &c.p1));
  EXPECT_EQ(std::tuple(split->name, split->xpos, split->ypos), std::tuple(u"P 2", 125, 100));
  EXPECT_FALSE(c.p0.Selected());
  EXPECT_EQ(c.s.document.current, split);
  EXPECT_EQ(c.s.undo.steps, 1);
  c.p1.time = 1;  // a following time of one becomes zero, the new pose gets one
  MotionBlock* second = SplitPose(c.s.context);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(std::tuple(c.p1.time, second->time), std::tuple(0, 1));
}

TEST(FlowchartSplit, BeforeAnEndOnlyCopiesBelowAndDuplicateCopiesTheCurrentPose) {
  Chain c;
  c.p0.slots[0] = 10;
  MotionBlock* duplicate = DuplicatePose(c.s.context);
  ASSERT_NE(duplicate, nullptr);
  EXPECT_EQ(std::tuple(duplicate->slots[0], duplicate->ypos, c.p1.time), std::tuple(10, 100, 50));
  c.p1.slots[0] = 400;
  c.p1.time = 40;
  c.p1.interpWait = true;
  c.s.document.current = &c.p1;
  MotionBlock* split = SplitPose(c.s.context);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(std::tuple(split->slots[0], split->time, c.p1.time, split->interpWait),
            std::tuple(400, 40, 40, false));
  EXPECT_EQ(std::tuple(split->xpos, split->ypos, split->next), std::tuple(50, 200, &c.end));
  c.s.document.current = &c.p1;
  c.p1.next = &c.end;
  duplicate = DuplicatePose(c.s.context);
  ASSERT_NE(duplicate, nullptr);
  EXPECT_EQ(std::tuple(duplicate->interpWait, duplicate->time), std::tuple(true, 40));
  c.s.document.current = nullptr;
  EXPECT_EQ(SplitPose(c.s.context), nullptr);
  EXPECT_EQ(DuplicatePose(c.s.context), nullptr);
}

TEST(FlowchartClipboard, CopyKeepsLinksAmongTheSelectionEachPasteLandsFurtherCutRemoves) {
  Chain c;
  MotionBlock& calc = c.s.Add(BlockKind::If, 200, 50);
  testing::Chain({&c.p0, &calc, &c.p1});
  calc.branch = &c.end;
  c.p0.branch = &c.start;
  c.start.selFlags = c.p0.selFlags = calc.selFlags = kBlockSelected;
  CopyBlocks(c.s.context);
  const MotionDocument& clip = c.s.state.blockClipboard.blocks;
  ASSERT_EQ(clip.count(), 2) << "Start blocks are never copied";
  EXPECT_EQ(c.s.state.blockClipboard.documentCount, 5);
  EXPECT_EQ(std::tuple(clip.head()->next, clip.head()->branch), std::tuple(clip.tail(), nullptr))
      << "a selected Start block is not in the clipboard";
  EXPECT_EQ(std::tuple(clip.tail()->next, clip.tail()->branch), std::tuple(nullptr, nullptr));
  EXPECT_EQ(c.s.undo.steps, 0);
  PasteBlocks(c.s.context);
  PasteBlocks(c.s.context);
  ASSERT_EQ(c.s.document.count(), 9);
  EXPECT_EQ(c.s.document.At(7)->next, c.s.document.At(8));
  for (int i = 1; i <= 2; ++i) {  // each paste lands another fifth further
    const MotionBlock& pasted = *c.s.document.At(3 + 2 * i);
    EXPECT_EQ(std::tuple(pasted.xpos, pasted.ypos, pasted.rect[0]),
              std::tuple(50 + 20 * i, 50 + 6 * i, 150 + 20 * i));
  }
  EXPECT_FALSE(c.s.document.At(5)->Selected()) << "each paste clears the selection first";
  EXPECT_TRUE(c.s.document.At(7)->Selected() && !c.p0.Selected());
  EXPECT_TRUE(LinksStayInside(c.s.document));
  EXPECT_EQ(c.s.undo.steps, 2);
  CutBlocks(c.s.context);
  EXPECT_EQ(std::tuple(c.s.document.count(), clip.count()), std::tuple(7, 2));
  c.s.state.blockClipboard.blocks.Clear();
  PasteBlocks(c.s.context);
  EXPECT_EQ(std::tuple(c.s.document.count(), c.s.undo.steps), std::tuple(7, 4))
      << "an empty paste still records";
}

TEST(FlowchartDelete, BridgesTheChainAndNeverLeavesDanglingArrows) {
  Chain c;
  MotionBlock& x = c.s.Add(BlockKind::If, 200, 50);
  MotionBlock& y = c.s.Add(BlockKind::If, 200, 100);
  MotionBlock& z1 = c.s.Add(BlockKind::Calc, 200, 150);
  MotionBlock& z2 = c.s.Add(BlockKind::Calc, 200, 200);
  testing::Chain({&c.p0, &x, &c.p1});
  x.branch = &y;  // X and Y branch to each other; P1 branches to X
  y.branch = &x;
  c.p1.branch = &x;
  testing::Chain({&c.p1, &z1, &z2, &z1});
  x.selFlags = z1.selFlags = z2.selFlags = kBlockSelected;
  DeleteBlocks(c.s.context);
  EXPECT_EQ(c.p0.next, &c.p1);
  EXPECT_EQ(c.p1.branch, &y) << "a branch to a deleted block takes that block's branch";
  EXPECT_EQ(y.branch, nullptr) << "a branch bridged onto its own block is cut";
  EXPECT_EQ(c.p1.next, nullptr);
  EXPECT_TRUE(LinksStayInside(c.s.document));
  EXPECT_EQ(c.s.document.current, &c.p0);
  EXPECT_EQ(c.s.undo.steps, 1);
}

TEST(FlowchartDelete, SelectAllLeavesTheCurrentBlockAndEveryStart) {
  Chain c;
  MotionBlock& second = c.s.Add(BlockKind::Start, 300, 10);
  c.s.Add(BlockKind::Calc, 300, 50);
  c.s.document.current = &c.p1;
  for (MotionBlock& block : c.s.document) {
    block.selFlags = kBlockSelected;
  }
  DeleteBlocks(c.s.context);
  ASSERT_EQ(c.s.document.count(), 3);
  EXPECT_EQ(std::tuple(c.s.document.At(0), c.s.document.At(1), c.s.document.At(2)),
            std::tuple(&c.start, &c.p1, &second));
  EXPECT_EQ(std::tuple(c.start.next, c.p1.next), std::tuple(&c.p1, nullptr));
  EXPECT_FALSE(c.start.Selected());
  // Without a current pose one pose still survives.
  c.s.document.current = nullptr;
  c.s.Add(BlockKind::Pose, 300, 300);
  for (MotionBlock& block : c.s.document) {
    block.selFlags = kBlockSelected;
  }
  DeleteBlocks(c.s.context);
  ASSERT_NE(c.s.document.current, nullptr);
  EXPECT_TRUE(c.s.document.current->Is(BlockKind::Pose));
}

TEST(FlowchartDelete, NothingSelectedDeletesTheCurrentPoseUnlessItIsTheOnlyOne) {
  Chain c;
  c.p1.time = 40;
  DeleteBlocks(c.s.context);
  EXPECT_EQ(std::tuple(c.s.document.count(), c.start.next), std::tuple(3, &c.p1));
  EXPECT_EQ(c.s.document.current, &c.p1);
  ASSERT_EQ(c.s.handed.size(), 1u);
  EXPECT_EQ(c.s.handed[0].second, 40) << "made current with its own time";
  EXPECT_EQ(c.s.undo.steps, 1);
  DeleteBlocks(c.s.context);
  EXPECT_EQ(c.s.document.count(), 3) << "the last pose stays";
  EXPECT_EQ(c.s.undo.steps, 1);
}

TEST(FlowchartImport, LeavesOutStartAndEndMovesAndSelects) {
  testing::TempDir dir;
  {
    EditingSession source;
    MotionBlock& start = source.Add(BlockKind::Start, 50, 10);
    MotionBlock& pose = source.Add(BlockKind::Pose, 50, 46, u"P 0");
    MotionBlock& branch = source.Add(BlockKind::If, 50, 100, u"IF");
    MotionBlock& end = source.Add(BlockKind::End, 50, 574, u"END");
    testing::Chain({&start, &pose, &branch, &end});
    branch.branch = &pose;
    ASSERT_TRUE(
        WriteMotionFile(dir / "other.KX4", source.document, source.project.sliders, 100, nullptr));
  }
  Chain c;
  c.p0.selFlags = kBlockSelected;
  c.s.state.insertionPoint = {100, 200};
  ASSERT_EQ(ImportMotion(c.s.context, dir / "other.KX4"), 1);
  EXPECT_EQ(std::tuple(c.s.state.insertionPoint.x, c.s.state.insertionPoint.y),
            std::tuple(112, 212));
  MotionBlock* pose = c.s.document.At(4);
  MotionBlock* branch = c.s.document.At(5);
  EXPECT_EQ(std::tuple(pose->type, pose->xpos, pose->ypos, pose->next),
            std::tuple(0, 162, 258, branch));
  EXPECT_EQ(std::tuple(branch->next, branch->branch), std::tuple(nullptr, pose))
      << "the End block is left out";
  EXPECT_TRUE(pose->Selected() && branch->Selected());
  EXPECT_FALSE(c.p0.Selected());
  EXPECT_EQ(c.s.undo.steps, 1);
  // An unreadable file is reported and changes nothing.
  EXPECT_EQ(ImportMotion(c.s.context, dir / "missing.KX4"), 0);
  EXPECT_EQ(std::tuple(c.s.document.count(), c.s.undo.steps), std::tuple(6, 1));
  ASSERT_EQ(c.s.prompter.Calls().size(), 1u);
  EXPECT_EQ(c.s.prompter.Calls()[0].text, u"ファイルの形式が異常です。");
}

}  // namespace
}  // namespace gestalon::core
