#include "motion/motion_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "golden_files.h"
#include "motion/motion_reader.h"
#include "motion_block_setup.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::Chain;
using testing::CoreGolden;
using testing::ExpectSameBlocks;
using testing::ReadBytes;
using testing::SetOperands;
using testing::TempDir;
using testing::WriteBytes;

MotionBlock& Add(MotionDocument& document, BlockKind kind, std::u16string name, int x = 0,
                 int y = 0, int blue = 6, int red = 6) {
  MotionBlock record;
  record.type = static_cast<std::int32_t>(kind);
  record.name = std::move(name);
  record.xpos = x;
  record.ypos = y;
  record.bluearrow = blue;
  record.redarrow = red;
  return document.Append(record);
}

MotionBlock& AddStart(MotionDocument& document) {
  return Add(document, BlockKind::Start, u"", 50, 10, 6, 0);
}

MotionBlock& AddEnd(MotionDocument& document, int y) {
  return Add(document, BlockKind::End, u"   END   ", 50, y, 16, 46);
}

std::string JumpLine(std::uint32_t address) {
  char text[32];
  std::snprintf(text, sizeof text, "<jump adr=\"0x%08x\"/>\r\n", address);
  return text;
}

std::string SectionText(const std::string& text, const MotionBlock& block) {
  return text.substr(block.fileStart, block.fileEnd - block.fileStart);
}

std::string Written(MotionDocument& document, const SliderTable& sliders = SliderTable{}) {
  return BuildMotionFileText(document, sliders, 100, nullptr);
}

// The document is written as the golden file; reading that text gives the same blocks back, and
// they are written as the same bytes again.
void ExpectWrittenAsGolden(MotionDocument& document, std::string_view golden) {
  const std::string expected = CoreGolden(golden);
  EXPECT_EQ(Written(document), expected);
  MotionDocument back = ReadMotionText(expected, SliderTable{}, nullptr);
  ExpectSameBlocks(document, back);
  EXPECT_EQ(Written(back), expected);
}

const std::string kStartHead =
    "<vavid>\r\n\t<block name=\"\" type=\"3\" xpos=\"50\" ypos=\"10\" bluearrow=\"6\" "
    "redarrow=\"0\"/>\r\n</vavid>\r\n";

TEST(MotionWriterLayout, StartPoseEndFallsThroughThenJumpsToEndSectionAndEndBlock) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1", 50, 60);
  MotionBlock& end = AddEnd(document, 110);
  Chain({&start, &pose, &end});
  pose.time = 50;
  pose.interpWait = true;
  pose.slots[0] = 7500;
  pose.slots[1] = -1;
  pose.slots[24] = 0xab;
  pose.slots[127] = 0x123;
  ExpectWrittenAsGolden(document, "motion_start_pose_end.kx4");
  EXPECT_EQ(std::make_tuple(start.fileStart, start.fileEnd, pose.fileEnd, end.fileEnd),
            std::make_tuple(44u, 142u, 1345u, 1497u));
}

TEST(MotionWriterLayout, BranchBlocksWriteRedJumpInsideAndBlueJumpAfterTheCalculation) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& if1 = Add(document, BlockKind::If, u"IF", 10, 20, 16, 46);
  MotionBlock& if2 = Add(document, BlockKind::If, u"IF", 10, 80, 16, 46);
  MotionBlock& if3 = Add(document, BlockKind::If, u"IF", -5, 140, 16, 46);
  MotionBlock& pad = Add(document, BlockKind::PadIf, u"IF", 0, 200, 16, 46);
  MotionBlock& end = Add(document, BlockKind::End, u"   END   ", 0, 260, 16, 46);
  start.next = &if1;
  // Constant operand, cut to 16 bits for the board; the record keeps all 32.
  SetOperands(if1, BranchOp::kEqual, 2, 0x0F00, 2, 0x0F02, 1, 70000);
  if1.next = &if2;  // the following section, still jumped to
  if1.branch = &end;
  // Variable operand; no blue target.
  SetOperands(if2, BranchOp::kBitMatch, 1, 0x0E00, 2, 0x0F10, 0, 0);
  if2.branch = &if1;
  // Always: fixed operands; no red target.
  SetOperands(if3, BranchOp::kAlways, 2, 0x0F00, 2, 0x0F00, 0, 0);
  if3.next = &end;
  SetOperands(pad, BranchOp::kGreater, 2, 0x0EE4, 2, 0, 1, -2);
  pad.next = &if3;
  ExpectWrittenAsGolden(document, "motion_branches.kx4");
  EXPECT_EQ(pad.fileStart, 1301u);
}

TEST(MotionWriterLayout, FileSoundCommentWaitCancelInterpolationAndUnknownKinds) {
  MotionDocument document;
  MotionBlock& sound = Add(document, BlockKind::Sound, u"S");
  MotionBlock& stopSound = Add(document, BlockKind::Sound, u"S");
  MotionBlock& call = Add(document, BlockKind::SubRoutine, u"S");
  MotionBlock& jump = Add(document, BlockKind::SubRoutine, u"ポーズ");
  MotionBlock& read = Add(document, BlockKind::FileRead, u"S");
  MotionBlock& write = Add(document, BlockKind::FileWrite, u"S");
  MotionBlock& comment = Add(document, BlockKind::Comment, u"COMMENT", 0, 0, 16, 46);
  MotionBlock& wait = Add(document, BlockKind::Wait, u"S");
  MotionBlock& cancel = Add(document, BlockKind::Cancel, u"S");
  MotionBlock& plainCancel = Add(document, BlockKind::Cancel, u"S");
  MotionBlock& interp = Add(document, BlockKind::InterpChange, u"S");
  MotionBlock& odd = Add(document, BlockKind::Pose, u"X");
  odd.type = 20;
  odd.slots[0] = 1;
  sound.fileName = u"voice\\hello.wav";
  stopSound.noFile = true;
  stopSound.useConst = 1;
  call.fileName = u"walk.KX4";
  jump.fileName = u"run\"x.KX4";  // written unchanged
  jump.asJump = true;
  read.fileName = u"data.bin";
  read.fileAddr = 0x0F00;
  write.fileName = u"out.bin";
  write.fileAddr = 0x0E00;
  write.next = &wait;  // past the comment: a jump
  // Quotes become 0x1E; LF and CR LF both become one CR LF.
  comment.comment = u"say \"hi\"\nbye\r\nend";
  wait.time = 120;
  wait.slots[0] = 7500;  // not part of a wait block's text
  cancel.fileName = u"cancel.KX4";
  cancel.useConst = 1;
  plainCancel.noFile = true;
  interp.varSize = 2;
  interp.varAddr = 3;
  interp.refAddr = 2;
  Chain({&sound, &stopSound, &call, &jump, &read, &write});
  Chain({&wait, &cancel, &plainCancel, &interp, &odd, &sound});  // unknown kinds get no jump
  // The unknown kind's section ends with one line break and no jump.
  EXPECT_EQ(Written(document), CoreGolden("motion_other_kinds.kx4"));
  EXPECT_EQ(std::tuple(odd.fileStart, odd.fileEnd), std::tuple(1734u, 1830u));
}

TEST(MotionWriterPose, PollingLoopJumpsToItsOwnWaitAndSwitchedCompanionsGoToServoEnable) {
  SliderTable sliders{};
  const struct {
    int slot;
    std::uint8_t flags2;
    std::uint8_t channel;
    std::int16_t value;
  } rows[] = {
      {5, SliderFlag2::kServoCompanion, 3, 100},  {9, SliderFlag2::kServoCompanion, 3, -3},
      {10, SliderFlag2::kServoCompanion, 0, 200},  // channel not switched
      {12, SliderFlag2::kServoChannel, 3, 300},    // the channel's own slider
      {20, SliderFlag2::kServoCompanion, 40, 5},   // beyond the switchable channels
  };
  MotionDocument document;
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 2");
  for (const auto& row : rows) {
    sliders[row.slot].flags2 = row.flags2;
    sliders[row.slot].channel = row.channel;
    pose.slots[row.slot] = row.value;
  }
  pose.time = 40;
  pose.poseConst = 123456;
  pose.servoEnableMask = (std::uint64_t{1} << 3) | (std::uint64_t{1} << 40);
  // The companions of channel 3 are 0 among the targets and go to servoenable lines.
  const std::string text = Written(document, sliders);
  EXPECT_EQ(text, CoreGolden("motion_servo_companions.kx4"));
  EXPECT_EQ(pose.slots[5], 100) << "the record keeps the companion values";
  // Read back, the companions come from servoenable: the channel's last line sets each of them.
  auto slots = pose.slots;
  slots[5] = -3;
  EXPECT_EQ(ReadMotionText(text, sliders, nullptr).head()->slots, slots);
}

TEST(MotionWriterPose, SpeedScalesTheTransitionTimeInSinglePrecision) {
  MotionDocument document;
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1");
  pose.interpWait = true;
  pose.time = 50;
  const std::string time = "<mem_w size=\"2\" adr=\"0x0b00\">";
  pose.time = 40000;  // the longest time, not a wrapped short one
  EXPECT_NE(BuildMotionFileText(document, {}, 999, nullptr).find(time + "0xffff"),
            std::string::npos);
  EXPECT_EQ(pose.time, 40000);
}

TEST(MotionWriterLinks, StartBlockStandsInForTheStartBlocksNextWhileWriting) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& first = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& second = Add(document, BlockKind::Pose, u"P 2");
  MotionBlock& end = AddEnd(document, 200);
  Chain({&start, &first, &second, &end});
  std::string text = BuildMotionFileText(document, SliderTable{}, 100, &second);
  EXPECT_EQ(SectionText(text, start), kStartHead + JumpLine(second.fileStart) + "\r\n\r\n");
  EXPECT_EQ(start.next, &first);
  text = BuildMotionFileText(document, SliderTable{}, 100, &end);
  const std::uint32_t endSection = static_cast<std::uint32_t>(text.size()) - 31;
  EXPECT_NE(SectionText(text, start).find(JumpLine(endSection) + JumpLine(end.fileStart)),
            std::string::npos);
  text = BuildMotionFileText(document, SliderTable{}, 100, &first);
  EXPECT_EQ(SectionText(text, start).find("<jump"), std::string::npos);
}

TEST(MotionWriterText, CommentIsCutAt255BytesWithoutSplittingACharacterOrALineBreak) {
  MotionDocument document;
  MotionBlock& wide = Add(document, BlockKind::Comment, u"C");
  wide.comment = std::u16string(128, u'あ');  // 256 bytes in the code page
  MotionBlock& breakAtCut = Add(document, BlockKind::Comment, u"C");
  breakAtCut.comment = std::u16string(254, u'a') + u"\r\nb";
  const std::string text = Written(document);
  std::string wideBytes;
  for (int i = 0; i < 127; ++i) {
    wideBytes += "\x82\xa0";
  }
  EXPECT_NE(SectionText(text, wide).find("\t<comment data=\"" + wideBytes + "\" />\r\n"),
            std::string::npos);
  EXPECT_NE(SectionText(text, breakAtCut)
                .find("\t<comment data=\"" + std::string(254, 'a') + "\" />\r\n"),
            std::string::npos);
}

TEST(MotionWriterFile, ReplacesTheOldFileOrOnFailureLeavesIt) {
  TempDir dir;
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  start.next = &AddEnd(document, 60);
  WriteBytes(dir / "m.KX4", "old");
  // A folder where the file should go: the replacement fails at the last step.
  std::filesystem::create_directory(dir / "taken.KX4");
  WriteBytes(dir / "taken.KX4" / "inside", "x");
  for (const auto& target :
       {dir / "missing" / "m.KX4", dir / "m.KX4" / "m.KX4", dir / "taken.KX4"}) {
    EXPECT_FALSE(WriteMotionFile(target, document, SliderTable{}, 100, nullptr)) << target;
  }
  EXPECT_EQ(ReadBytes(dir / "m.KX4"), "old");
  EXPECT_EQ(ReadBytes(dir / "taken.KX4" / "inside"), "x");
  ASSERT_TRUE(WriteMotionFile(dir / "m.KX4", document, SliderTable{}, 100, nullptr));
  EXPECT_EQ(ReadBytes(dir / "m.KX4"), Written(document));
  // No temporary file left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
}  // namespace gestalon::core
