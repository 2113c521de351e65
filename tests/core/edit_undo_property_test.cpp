// Random editing sessions on a shipped sample motion: undoing every step gives back the file as
// it was, redoing every step gives the edited motion again.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "flowchart/block_clipboard.h"
#include "flowchart/block_commands.h"
#include "flowchart/block_delete.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"
#include "flowchart/pose_block_settings.h"
#include "motion/motion_files.h"
#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "pose/pose_operations.h"
#include "project/project_loader.h"
#include "undo/undo_history.h"

namespace gestalon::core {
namespace {

const std::filesystem::path kRobot =
    std::filesystem::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid";

class EditUndoProperty : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRobotProject(kRobot / "gestaloid.KJZ", true, project, {}));
    auto read = ReadMotionFile(kRobot / "walk.KX4", project.sliders, nullptr);
    ASSERT_TRUE(read);
    document = std::move(*read);
    ChooseOpenedPose(document);
    context.undo = &history;
    history.ResetUndoHistory();
  }

  std::string Text() { return BuildMotionFileText(document, project.sliders, 100, nullptr); }

  MotionBlock* RandomBlock() {
    return document.count() ? document.At(Pick(document.count())) : nullptr;
  }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  // One editing step as the user could make it; most record an undo step themselves.
  void RandomEdit() {
    switch (Pick(9)) {
      case 0:
        ChangeSliderValue(context, Pick(20), Pick(4000) - 2000, 1, true);
        break;
      case 1:
        MirrorCurrentPose(context);
        break;
      case 2:
        AddBlockCommand(context, static_cast<BlockKind>(Pick(14)));
        break;
      case 3:
        Pick(2) ? SplitPose(context) : DuplicatePose(context);
        break;
      case 4:
      case 5: {
        ClearBlockSelection(document);
        for (int i = 0; i < 3; ++i) {
          if (MotionBlock* block = RandomBlock()) {
            block->selFlags |= kBlockSelected;
          }
        }
        const int what = Pick(4);
        if (what == 0) {
          CopyBlocks(context);
          PasteBlocks(context);
        } else if (what == 1) {
          CutBlocks(context);
        } else if (what == 2) {
          DeleteBlocks(context);
        } else {
          MirrorSelectedPoseBlocks(context);
        }
        break;
      }
      case 6:
        MakeCurrentByStep(context, Pick(2) == 0);
        SetInterpWait(context, Pick(2) == 0);
        break;
      case 7:
        state.overridePercent = 1 + Pick(300);
        ApplyPlaybackOverride(context);
        break;
      default:
        PreviousPose(context);
        break;
    }
  }

  std::mt19937 random{GetParam()};
  LoadedProject project;
  MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  EditState state;
  EditContext context{project, document, flags, state};
  UndoHistory history{context};
};

TEST_P(EditUndoProperty, UndoToTheStartAndRedoToTheEnd) {
  const std::string original = Text();
  for (int step = 0; step < 300; ++step) {
    RandomEdit();
  }
  const std::string edited = Text();
  ASSERT_GT(history.Count(), 100);
  ASSERT_NE(edited, original);
  while (history.CanUndo()) {
    history.Undo();
  }
  EXPECT_EQ(Text(), original);
  EXPECT_TRUE(document.current && document.current->Is(BlockKind::Pose));
  while (history.CanRedo()) {
    history.Redo();
  }
  EXPECT_EQ(Text(), edited);
  // Editing goes on normally after the walk.
  AddBlockCommand(context, BlockKind::Wait);
  history.Undo();
  EXPECT_EQ(Text(), edited);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditUndoProperty, ::testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
}  // namespace gestalon::core
