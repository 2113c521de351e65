#include "undo/undo_history.h"

#include <gtest/gtest.h>

#include <atomic>
#include <tuple>
#include <vector>

#include "motion/block_factory.h"
#include "pose/pose_store.h"
#include "recording_ports.h"

namespace gestalon::core {
namespace {

class UndoFixture : public ::testing::Test {
 protected:
  UndoFixture() {
    for (SliderDef& slider : project.sliders) {
      slider.minimum = -30000;
      slider.maximum = 30000;
    }
    NewMotion(document, project.basePoses);
    context.views = &views;
    context.undo = &history;
    context.handOverPose = [this](const MotionBlock& pose, std::uint16_t time) {
      sent.push_back({pose.slots[0], time});
    };
    state.title = u"Robot";
    history.ResetUndoHistory();
  }

  // Changes slot 0 of the current pose as a slider drag would, with an undo step.
  void SetSlot0(std::int16_t value) {
    MotionBlock pose = *document.current;
    pose.slots[0] = value;
    StorePose(context, pose, kSliderChangeTime, true);
  }
  MotionBlock& Block(int index) { return *document.At(index); }

  LoadedProject project;
  MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  EditState state;
  EditContext context{project, document, flags, state};
  UndoHistory history{context};
  testing::RecordingViewNotifier views;
  std::vector<std::pair<int, int>> sent;  // slot 0, time of every pose handed over
};

TEST_F(UndoFixture, UndoAndRedoWalkTheStepsAndANewEditDropsTheRedoBranch) {
  // A fresh history has nothing to undo or redo.
  EXPECT_EQ(views.undoStates.back(), std::make_pair(false, false));
  history.Undo();
  history.Redo();
  EXPECT_EQ(document.count(), 3);
  EXPECT_EQ(flags.load() & SystemFlag::kModified, 0u);
  SetSlot0(100);
  SetSlot0(200);
  ASSERT_EQ(views.titles.size(), 1u) << "the first edit marks the title, once";
  EXPECT_EQ(views.titles[0], u"Robot *");
  history.Undo();
  EXPECT_EQ(document.current->slots[0], 100);
  EXPECT_EQ(views.undoStates.back(), std::make_pair(true, true));
  history.Undo();
  EXPECT_EQ(views.undoStates.back(), std::make_pair(false, true));
  history.Redo();
  history.Redo();
  EXPECT_EQ(document.current->slots[0], 200);
  EXPECT_NE(flags.load() & SystemFlag::kModified, 0u) << "undo leaves the modified bit alone";
  history.Undo();
  SetSlot0(300);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Count(), 3);
  history.Undo();
  EXPECT_EQ(document.current->slots[0], 100);
  history.ResetUndoHistory();
  EXPECT_EQ(flags.load() & SystemFlag::kModified, 0u);
}

TEST_F(UndoFixture, UndoRestoresTheCurrentPoseAndSendsIt) {
  MotionBlock& second = document.Append(*document.current);
  second.name = u"P 1";
  second.time = 40;
  second.slots[0] = 555;
  Block(1).next = &second;
  history.RecordUndo();
  SetCurrentPose(context, second, second.time);
  SetSlot0(600);
  sent.clear();
  history.Undo();
  // Making P 1 current recorded nothing: the step before the edit had P 0 current.
  EXPECT_EQ(std::tuple(document.IndexOf(document.current), document.At(3)->slots[0]),
            std::tuple(1, 555));
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), std::make_pair(0, 50));
  history.Redo();
  EXPECT_EQ(sent.back(), std::make_pair(600, 40));
}

TEST_F(UndoFixture, CycleLinksBranchesAndChangedFieldsComeBack) {
  MotionBlock& branch = AddBlock(document, BlockKind::If, {200, 100}, project.basePoses);
  Block(1).next = &branch;  // pose -> if
  branch.next = &Block(0);  // if -> start: a cycle
  branch.branch = &branch;  // a branch onto itself
  Block(2).comment = u"one";
  history.RecordUndo();
  branch.next = nullptr;
  branch.branch = &Block(2);
  // Fields the pose operations do not touch: a shared (stale) copy would restore the wrong value.
  Block(2).comment = u"two";
  Block(0).xpos = 77;
  history.RecordUndo();
  history.Undo();
  MotionBlock& restored = Block(3);
  EXPECT_EQ(std::tuple(Block(0).next, Block(1).next), std::tuple(&Block(1), &restored));
  EXPECT_EQ(std::tuple(restored.next, restored.branch), std::tuple(&Block(0), &restored));
  EXPECT_EQ(std::tuple(Block(2).comment, Block(0).xpos), std::tuple(u"one", 50));
  history.Redo();
  EXPECT_EQ(Block(3).branch, &Block(2));
}

TEST_F(UndoFixture, UnchangedChunksAreSharedEvenWithTheFirstSnapshot) {
  for (int i = 0; i < 200; ++i) {
    AddBlock(document, BlockKind::Pose, {50, 100 + i}, project.basePoses);
  }
  history.ResetUndoHistory();
  SetSlot0(41);  // changes a block of the first chunk only
  const auto& before = history.Snapshot(0).chunks;
  const auto& after = history.Snapshot(1).chunks;
  ASSERT_EQ(before.size(), after.size());
  EXPECT_EQ(before.back(), after.back());
}

}  // namespace
}  // namespace gestalon::core
