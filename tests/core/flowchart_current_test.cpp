#include <gtest/gtest.h>

#include "editing_session.h"
#include "flowchart/block_commands.h"
#include "flowchart/block_properties.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"
#include "flowchart/pose_block_settings.h"
#include "motion_block_setup.h"

namespace gestalon::core {
namespace {

using testing::Chain;
using testing::EditingSession;

// Start -> P0 -> IF; IF next -> P1 -> P3 -> End, IF branch -> P2 -> End. P0 current.
struct Branching {
  EditingSession s;
  MotionBlock& start = s.Add(BlockKind::Start, 50, 10);
  MotionBlock& p0 = s.Add(BlockKind::Pose, 50, 50, u"P 0");
  MotionBlock& branch = s.Add(BlockKind::If, 50, 100, u"IF");
  MotionBlock& p1 = s.Add(BlockKind::Pose, 50, 150, u"P 1");
  MotionBlock& p2 = s.Add(BlockKind::Pose, 200, 150, u"P 2");
  MotionBlock& p3 = s.Add(BlockKind::Pose, 50, 200, u"P 3");
  MotionBlock& end = s.Add(BlockKind::End, 50, 300, u"END");
  Branching() {
    Chain({&start, &p0, &branch, &p1, &p3, &end});
    branch.branch = &p2;
    p2.next = &end;
    p1.time = 40;
    s.document.current = &p0;
  }
};

TEST(FlowchartStep, NextAndBranchStepsHandOverTheBlocksOwnTimeOrStayPut) {
  Branching b;
  ASSERT_EQ(MakeCurrentByStep(b.s.context, false), 1);
  EXPECT_EQ(b.s.document.current, &b.p1);
  ASSERT_EQ(b.s.handed.size(), 1u);
  EXPECT_EQ(b.s.handed[0],
            std::make_pair(static_cast<const MotionBlock*>(&b.p1), std::uint16_t{40}));
  EXPECT_NE(b.p0.selFlags & b.p1.selFlags & kBlockRedraw, 0u);
  b.s.document.current = &b.p0;
  ASSERT_EQ(MakeCurrentByStep(b.s.context, true), 1);
  EXPECT_EQ(b.s.document.current, &b.p2);
  EXPECT_EQ(b.s.undo.steps, 0) << "choosing a pose changes no motion";
  // No reachable pose, or a cycle, leaves the current block.
  b.s.document.current = &b.p3;
  b.s.views.events.clear();
  EXPECT_EQ(MakeCurrentByStep(b.s.context, true), 0);
  MotionBlock& c1 = b.s.Add(BlockKind::Calc, 300, 50);
  MotionBlock& c2 = b.s.Add(BlockKind::Calc, 300, 100);
  c1.next = &c2;
  c2.next = &c1;
  b.p3.next = &c1;
  EXPECT_EQ(MakeCurrentByStep(b.s.context, false), 0);
  EXPECT_EQ(b.s.document.current, &b.p3);
  EXPECT_TRUE(b.s.views.events.empty());
  // A pose that leads back to itself is reached again.
  b.p3.next = &b.p3;
  EXPECT_EQ(MakeCurrentByStep(b.s.context, false), 1);
  EXPECT_EQ(b.s.document.current, &b.p3);
}

TEST(FlowchartStep, PreviousFirstAndByIndex) {
  Branching b;
  b.s.document.current = &b.p3;
  ASSERT_EQ(PreviousPose(b.s.context), 1);
  EXPECT_EQ(b.s.document.current, &b.p1);
  EXPECT_EQ(PreviousPose(b.s.context), 0) << "only a branch block leads to P1";
  EXPECT_EQ(b.s.document.current, &b.p1);
  ASSERT_EQ(FirstPose(b.s.context), 1);
  EXPECT_EQ(b.s.document.current, &b.p0);
  b.start.next = &b.end;
  EXPECT_EQ(FirstPose(b.s.context), 0);
  // By index: only pose blocks, and the index is limited.
  EXPECT_EQ(MakeCurrentByIndex(b.s.context, 2), 0) << "the branch block";
  EXPECT_EQ(MakeCurrentByIndex(b.s.context, -1), 0);
  EXPECT_EQ(b.s.document.current, &b.p0);
  b.s.Add(BlockKind::Pose, 300, 300, u"P 9");
  ASSERT_EQ(MakeCurrentByIndex(b.s.context, 1000), 1);
  EXPECT_EQ(b.s.document.current, b.s.document.tail());
  EditingSession empty;
  EXPECT_EQ(MakeCurrentByIndex(empty.context, 0), 0);
}

TEST(FlowchartPoseSettings, OverrideScalesPoseTimesAndInterpWaitCommands) {
  Branching b;
  b.p0.time = 1;
  b.p1.time = 100;
  b.p2.time = 60000;
  b.s.state.overridePercent = 50;
  ApplyPlaybackOverride(b.s.context);
  EXPECT_EQ(std::tuple(b.p0.time, b.p1.time, b.p2.time), std::tuple(1, 50, 30000))
      << "0 is raised to 1";
  EXPECT_EQ(b.s.state.overridePercent, 100);
  b.s.state.overridePercent = 999;
  ApplyPlaybackOverride(b.s.context);
  EXPECT_EQ(b.p2.time, 65535);
  // Interpolation waits: set on the selected poses, toggled on them and the current one.
  b.p1.selFlags = kBlockSelected;
  b.branch.selFlags = kBlockSelected;
  SetInterpWait(b.s.context, true);
  EXPECT_EQ(std::tuple(b.p1.interpWait, b.p0.interpWait), std::tuple(true, false));
  ToggleInterpWait(b.s.context);
  EXPECT_EQ(std::tuple(b.p1.interpWait, b.p0.interpWait, b.p2.interpWait),
            std::tuple(false, true, false));
  EXPECT_EQ(b.s.undo.steps, 4);
}

TEST(FlowchartProperties, FirstSelectedBlockItsDialogAndANewMotion) {
  Branching b;
  EXPECT_EQ(BlockForProperties(b.s.context), nullptr);
  b.branch.selFlags = kBlockSelected;
  b.p2.selFlags = kBlockSelected;
  ASSERT_EQ(BlockForProperties(b.s.context), &b.branch);
  EXPECT_TRUE(b.branch.Selected());
  EXPECT_EQ(b.p2.selFlags, kBlockRedraw);
  EXPECT_EQ(std::tuple(PropertyDialogTemplate(b.branch), PropertyDialogTemplate(b.p2),
                       PropertyDialogTemplate(b.end)),
            std::tuple(183, 209, 0));
  FinishBlockProperties(b.s.context, b.p2, 0);
  EXPECT_EQ(b.s.undo.steps, 0);
  b.p2.time = 70;
  FinishBlockProperties(b.s.context, b.p2, 1);
  EXPECT_EQ(b.s.undo.steps, 1);
  EXPECT_EQ(b.s.document.current, &b.p2) << "the pose area shows the edited pose";
  FinishBlockProperties(b.s.context, b.branch, 1);
  EXPECT_EQ(b.s.document.current, &b.p2);
  EXPECT_EQ(b.s.undo.steps, 2);
}

}  // namespace
}  // namespace gestalon::core
