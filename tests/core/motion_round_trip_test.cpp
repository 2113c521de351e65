// Documents written and read back: every field the file carries and every link come back, and
// writing again gives the same bytes. Start block substitution and speed: motion_writer_test.
#include <gtest/gtest.h>

#include "motion/block_factory.h"
#include "motion/motion_files.h"
#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "motion_block_setup.h"
#include "platform/paths.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

// Slider 40 is the companion of servo channel 2 (driven by slider 5).
SliderTable Sliders() {
  SliderTable sliders{};
  sliders[5].flags2 = SliderFlag2::kServoChannel;
  sliders[5].channel = 2;
  sliders[5].companion = 40;
  sliders[40].flags2 = SliderFlag2::kServoCompanion;
  sliders[40].channel = 2;
  sliders[40].companion = 5;
  return sliders;
}

// One block of every kind with every operator form, cycles, a dangling branch, an End target
// that is not the next block, and blocks out of execution order.
MotionDocument EveryKind() {
  MotionDocument d;
  const BasePoseTable base;
  auto add = [&](BlockKind kind, int y) -> MotionBlock& {
    return AddBlock(d, kind, {50, y}, base);
  };
  MotionBlock& start = add(BlockKind::Start, 10);
  MotionBlock& pose = add(BlockKind::Pose, 50);
  pose.time = 77;
  for (int i = 0; i < kPoseSlotCount; ++i) {
    pose.slots[i] = static_cast<std::int16_t>(i * 257 - 20000);
  }
  pose.servoEnableMask = 0x4;  // channel 2: slot 40 goes to a servoenable line
  pose.poseConst = -9;
  MotionBlock& waitingPose = add(BlockKind::Pose, 90);
  waitingPose.interpWait = true;
  waitingPose.name = u"ポーズ ＃1";
  MotionBlock& calc = add(BlockKind::Calc, 130);
  calc.op = CalcOp::kMod;
  calc.useConst = 1;
  calc.constValue = 70000;  // beyond 16 bits: vconst keeps it all
  calc.varSize = 1;
  MotionBlock& calcVar = add(BlockKind::Calc, 170);
  calcVar.op = CalcOp::kNot;
  calcVar.refAddr = 0x0F10;
  MotionBlock& branch = add(BlockKind::If, 210);
  branch.op = BranchOp::kGreaterEqual;
  branch.refAddr = 0x0F12;
  MotionBlock& always = add(BlockKind::If, 250);
  always.op = BranchOp::kAlways;
  MotionBlock& pad = add(BlockKind::PadIf, 290);
  pad.constValue = 0x0010;
  MotionBlock& sub = add(BlockKind::SubRoutine, 330);
  sub.fileName = u"sub\\歩く.KX4";
  MotionBlock& jump = add(BlockKind::SubRoutine, 370);
  jump.fileName = u"next.KX4";
  jump.asJump = true;
  MotionBlock& sound = add(BlockKind::Sound, 410);
  sound.fileName = u"voice.wav";
  sound.useConst = 1;
  MotionBlock& silence = add(BlockKind::Sound, 450);
  silence.noFile = true;
  MotionBlock& read = add(BlockKind::FileRead, 490);
  read.fileName = u"data.bin";
  MotionBlock& write = add(BlockKind::FileWrite, 530);
  write.fileName = u"out.bin";
  MotionBlock& comment = add(BlockKind::Comment, 570);
  comment.comment = u"二行の\nコメント \"引用\"\n\n四行目";  // the same after any number of saves
  MotionBlock& wait = add(BlockKind::Wait, 610);
  wait.time = 300;
  MotionBlock& cancel = add(BlockKind::Cancel, 650);
  cancel.noFile = false;
  cancel.fileName = u"stop.KX4";
  MotionBlock& interp = add(BlockKind::InterpChange, 690);
  interp.varAddr = 3;
  interp.refAddr = 2;
  MotionBlock& end = add(BlockKind::End, 730);
  MotionBlock& lastEnd = add(BlockKind::End, 770);

  testing::Chain({&start, &pose, &waitingPose, &calc, &calcVar, &branch, &always, &pad, &sub, &jump,
                  &sound, &silence, &read, &write, &comment});
  branch.branch = &pose;    // a cycle back
  always.branch = nullptr;  // dangling: resolves to the end section
  pad.branch = &end;
  comment.next = nullptr;
  testing::Chain({&interp, &cancel, &wait, &lastEnd});  // backwards; an End that is not next
  return d;
}

TEST(MotionRoundTrip, EveryKindComesBackWithItsLinks) {
  const SliderTable sliders = Sliders();
  MotionDocument original = EveryKind();
  const std::string first = BuildMotionFileText(original, sliders, 100, nullptr);
  MotionDocument read = ReadMotionText(first, sliders, nullptr);
  testing::ExpectSameBlocks(original, read);
  // The switched companion slot comes back from its servoenable line.
  EXPECT_EQ(read.At(1)->slots[40], original.At(1)->slots[40]);
  EXPECT_EQ(BuildMotionFileText(read, sliders, 100, nullptr), first);
}

class MotionFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { project_.project.folder = TextFromPath(dir_.Path() / ""); }
  testing::TempDir dir_;
  LoadedProject project_;
  testing::RecordingPrompter prompter_;
};

TEST_F(MotionFilesTest, SaveThenOpenRestoresTheMotionAndItsPose) {
  MotionSession session;
  NewMotion(session.document, project_.basePoses);
  session.document.At(1)->time = 99;
  ASSERT_TRUE(SaveMotion(session, dir_ / "a.KX4", project_, &prompter_));
  EXPECT_EQ(session.path, TextFromPath(dir_ / "a.KX4"));
  EXPECT_EQ(session.recent.slots[0], u"a.KX4");

  MotionSession opened;
  ASSERT_TRUE(OpenMotion(opened, dir_ / "a.KX4", project_, &prompter_));
  EXPECT_EQ(opened.document.count(), 3);
  ASSERT_NE(opened.document.current, nullptr);
  EXPECT_EQ(opened.document.current->time, 99);
  ASSERT_TRUE(OpenMotion(opened, dir_ / "a.KX4", project_, &prompter_));
  EXPECT_EQ(opened.recent.slots[1], u"") << "opening the same file again keeps the list";
  EXPECT_TRUE(prompter_.Calls().empty());

  EXPECT_FALSE(OpenMotion(opened, dir_ / "missing.KX4", project_, &prompter_));
  EXPECT_EQ(opened.path, TextFromPath(dir_ / "a.KX4")) << "a failed open changes nothing";
}

TEST_F(MotionFilesTest, FailedSaveIsReportedAndKeepsThePathAndTheOldFile) {
  MotionSession session;
  NewMotion(session.document, project_.basePoses);
  session.path = u"previous";
  const auto target = dir_ / "no_folder" / "a.KX4";
  EXPECT_FALSE(SaveMotion(session, target, project_, &prompter_));
  ASSERT_EQ(prompter_.Calls().size(), 1u);
  EXPECT_EQ(prompter_.Calls()[0].icon, PromptIcon::kError);
  EXPECT_EQ(prompter_.Calls()[0].text,
            Format(LoadText(TextId::kMsgMotionSaveFailed), TextFromPath(target)));
  EXPECT_EQ(session.path, u"previous");
  EXPECT_TRUE(session.recent.slots[0].empty());
}

TEST_F(MotionFilesTest, OpenedPoseFollowsTheLinksFromTheStart) {
  const SliderTable sliders;
  MotionDocument d;
  const BasePoseTable base;
  MotionBlock& start = AddBlock(d, BlockKind::Start, {0, 0}, base);
  MotionBlock& early = AddBlock(d, BlockKind::Pose, {0, 0}, base);  // not on the chain
  MotionBlock& c1 = AddBlock(d, BlockKind::Calc, {0, 0}, base);
  MotionBlock& c2 = AddBlock(d, BlockKind::Calc, {0, 0}, base);
  MotionBlock& reached = AddBlock(d, BlockKind::Pose, {0, 0}, base);
  testing::Chain({&start, &c1, &c2, &reached});
  early.next = nullptr;
  EXPECT_EQ(ChooseOpenedPose(d), &reached);
  for (const MotionBlock& b : d) {
    EXPECT_FALSE(b.Selected());
  }
  c2.next = &c1;  // the chain loops without a pose
  EXPECT_EQ(ChooseOpenedPose(d), &early);
  EXPECT_TRUE(start.Selected());
  EXPECT_TRUE(c1.Selected());
  EXPECT_TRUE(c2.Selected());
  EXPECT_FALSE(reached.Selected());
}

TEST_F(MotionFilesTest, FileWithoutBlocksOpensAsNewMotion) {
  testing::WriteBytes(dir_ / "empty.KX4", "<vavid>\r\n\t<format data=\"2\"/>\r\n</vavid>\r\n");
  MotionSession session;
  ASSERT_TRUE(OpenMotion(session, dir_ / "empty.KX4", project_, &prompter_));
  EXPECT_EQ(session.document.count(), 3);
  EXPECT_TRUE(session.document.current->Is(BlockKind::Pose));
}

}  // namespace
}  // namespace gestalon::core
