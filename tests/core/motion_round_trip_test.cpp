// Saving and opening motion files through the session.
#include <gtest/gtest.h>

#include "motion/block_factory.h"
#include "motion/motion_files.h"
#include "motion_block_setup.h"
#include "platform/paths.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

class MotionFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { project_.project.folder = TextFromPath(dir_.Path() / ""); }
  testing::TempDir dir_;
  LoadedProject project_;
  testing::RecordingPrompter prompter_;
};

TEST_F(MotionFilesTest, SaveThenOpenRestoresTheMotionAndItsPoseFailuresChangeNothing) {
  MotionSession session;
  NewMotion(session.document, project_.basePoses);
  session.document.At(1)->time = 99;
  ASSERT_TRUE(SaveMotion(session, dir_ / "a.KX4", project_, &prompter_));
  EXPECT_EQ(session.path, TextFromPath(dir_ / "a.KX4"));
  EXPECT_EQ(session.recent.slots[0], u"a.KX4");
  MotionSession opened;
  ASSERT_TRUE(OpenMotion(opened, dir_ / "a.KX4", project_, &prompter_));
  ASSERT_NE(opened.document.current, nullptr);
  EXPECT_EQ(opened.document.current->time, 99);
  EXPECT_TRUE(prompter_.Calls().empty());
  EXPECT_FALSE(OpenMotion(opened, dir_ / "missing.KX4", project_, &prompter_));
  EXPECT_EQ(opened.path, TextFromPath(dir_ / "a.KX4")) << "a failed open changes nothing";
  // A file without blocks opens as a new motion.
  testing::WriteBytes(dir_ / "empty.KX4", "<vavid>\r\n\t<format data=\"2\"/>\r\n</vavid>\r\n");
  ASSERT_TRUE(OpenMotion(opened, dir_ / "empty.KX4", project_, &prompter_));
  EXPECT_EQ(opened.document.count(), 3);
  EXPECT_TRUE(opened.document.current->Is(BlockKind::Pose));
  // A failed save is reported and keeps the path and the list.
  const auto target = dir_ / "no_folder" / "a.KX4";
  EXPECT_FALSE(SaveMotion(opened, target, project_, &prompter_));
  ASSERT_EQ(prompter_.Calls().size(), 1u);
  EXPECT_EQ(prompter_.Calls()[0].text,
            Format(LoadText(TextId::kMsgMotionSaveFailed), TextFromPath(target)));
  EXPECT_EQ(opened.path, TextFromPath(dir_ / "empty.KX4"));
  EXPECT_EQ(opened.recent.slots[2], u"");
}

}  // namespace
}  // namespace gestalon::core
