#include "motion/motion_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "motion/motion_reader.h"
#include "motion_block_setup.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::Chain;
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

// The expected texts are written with LF line ends; the file has CR LF.
std::string Crlf(std::string_view lines) {
  std::string text;
  for (char c : lines) {
    text += c == '\n' ? "\r\n" : std::string(1, c);
  }
  return text;
}

std::string Hex(const char* format, std::uint32_t value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string JumpLine(std::uint32_t address) {
  return Hex("<jump adr=\"0x%08x\"/>\r\n", address);
}

// A section's head: the block line and the lines inside its <vavid> tag.
std::string Head(const std::string& name, int type, int x = 0, int y = 0, int blue = 6, int red = 6,
                 const std::string& inside = "") {
  return "<vavid>\r\n\t<block name=\"" + name + "\" type=\"" + std::to_string(type) + "\" xpos=\"" +
         std::to_string(x) + "\" ypos=\"" + std::to_string(y) + "\" bluearrow=\"" +
         std::to_string(blue) + "\" redarrow=\"" + std::to_string(red) + "\"/>\r\n" + inside +
         "</vavid>\r\n";
}

// The operand record of a calculation or branch block.
std::string VarCalc(int size, int data, std::uint32_t addr, const std::string& constant,
                    int refSize, std::uint32_t refAddr, int useConst) {
  return "\t<varcalc size=\"" + std::to_string(size) + "\" data=\"" + std::to_string(data) +
         "\" adr=\"" + Hex("0x%04x", addr) + "\">\r\n\t\t<vconst data=\"" + constant +
         "\"/>\r\n\t\t<vaddress size=\"" + std::to_string(refSize) + "\" adr=\"" +
         Hex("0x%04x", refAddr) + "\"/>\r\n\t\t<flagconst data=\"" + std::to_string(useConst) +
         "\"/>\r\n\r\n\t</varcalc>\r\n";
}

// The 128 target values, 24 a line; slots not named are 0.
std::string SlotLines(std::initializer_list<std::pair<int, std::uint16_t>> set) {
  std::uint16_t values[kPoseSlotCount] = {};
  for (const auto& [slot, value] : set) {
    values[slot] = value;
  }
  std::string lines = "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";
  for (int i = 0; i < kPoseSlotCount; ++i) {
    lines += (i % 24 == 0 ? "\t" : "") + Hex("0x%04x", values[i]) +
             (i + 1 == kPoseSlotCount ? "\r\n"
              : i % 24 == 23          ? ",\r\n"
                                      : ",");
  }
  return lines + "</mem_w>\r\n";
}

std::string SectionText(const std::string& text, const MotionBlock& block) {
  return text.substr(block.fileStart, block.fileEnd - block.fileStart);
}

std::size_t CountOf(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (auto pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1)) {
    ++count;
  }
  return count;
}

std::string Written(MotionDocument& document) {
  return BuildMotionFileText(document, SliderTable{}, 100, nullptr);
}

// The document is written as `expected`, and reading that text gives the same blocks back.
void ExpectWrittenAndReadBack(MotionDocument& document, const std::string& expected) {
  EXPECT_EQ(Written(document), expected);
  ExpectSameBlocks(document, ReadMotionText(expected, SliderTable{}, nullptr));
}

const std::string kHeader = Crlf("<vavid>\n\t<format data=\"2\"/>\n</vavid>\n\n\n");
const std::string kGap = "\r\n\r\n";
const std::string kQueueWait = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
const std::string kStartHead = Head("", 3, 50, 10, 6, 0);
const std::string kEndSection = kGap + kQueueWait;

TEST(MotionWriterLayout, EmptyDocumentHasHeaderAndEndSectionOnly) {
  MotionDocument document;
  EXPECT_EQ(Written(document), kHeader + kQueueWait);
}

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

  ExpectWrittenAndReadBack(
      document, kHeader + kStartHead + kGap + Head("P 1", 0, 50, 60) +
                    SlotLines({{0, 0x1d4c}, {1, 0xffff}, {24, 0xab}, {127, 0x123}}) +
                    Crlf("<mem_w size=\"2\" adr=\"0x0b00\">0x0032</mem_w>\n"
                         "<wait size=\"1\" adr=\"0x0b43\"/>\n<vconst data=\"0\"/>\n"
                         "<jump adr=\"0x000005d9\"/>\n<jump adr=\"0x00000541\"/>\n\n\n") +
                    Head("   END   ", 4, 50, 110, 16, 46) + kQueueWait + "<return/>\r\n" +
                    kEndSection);
  const std::uint32_t offsets[][2] = {{start.fileStart, start.fileEnd},
                                      {pose.fileStart, pose.fileEnd},
                                      {end.fileStart, end.fileEnd}};
  const std::uint32_t expected[][2] = {{44, 142}, {142, 1345}, {1345, 1497}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(offsets[i][0], expected[i][0]) << i;
    EXPECT_EQ(offsets[i][1], expected[i][1]) << i;
  }
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

  const std::string expected =
      kHeader + kStartHead + kGap +
      Head("IF", 1, 10, 20, 16, 46, VarCalc(2, 0, 0x0f00, "70000", 2, 0x0f02, 1)) +
      Crlf(
          "<calc>\n\t<mem_r size=\"2\" adr=\"0x0f00\"/>\n\t<const data=\"4464\"/>\n\t<sub/>\n"
          "\t<eq/>\n\t<jump adr=\"0x00000698\"/>\n</calc>\n<jump adr=\"0x00000215\"/>\n\n\n") +
      Head("IF", 1, 10, 80, 16, 46, VarCalc(1, 7, 0x0e00, "0", 2, 0x0f10, 0)) +
      Crlf(
          "<calc>\n\t<mem_r size=\"1\" adr=\"0x0e00\"/>\n\t<mem_r size=\"2\" adr=\"0x0f10\"/>\n"
          "\t<and/>\n\t<ne/>\n\t<jump adr=\"0x0000008e\"/>\n</calc>\n"
          "<jump adr=\"0x0000072f\"/>\n\n\n") +
      Head("IF", 1, -5, 140, 16, 46, VarCalc(2, 9, 0x0f00, "0", 2, 0x0f00, 0)) +
      Crlf(
          "<calc>\n\t<const data=\"0\"/>\n\t<const data=\"1\"/>\n\t<or/>\n\t<gt/>\n"
          "\t<jump adr=\"0x0000072f\"/>\n</calc>\n<jump adr=\"0x00000698\"/>\n\n\n") +
      Head("IF", 13, 0, 200, 16, 46, VarCalc(2, 3, 0x0ee4, "-2", 2, 0, 1)) +
      Crlf(
          "<calc>\n\t<mem_r size=\"2\" adr=\"0x0ee4\"/>\n\t<const data=\"-2\"/>\n\t<sub/>\n"
          "\t<gt/>\n\t<jump adr=\"0x0000072f\"/>\n</calc>\n<jump adr=\"0x000003a2\"/>\n\n\n") +
      Head("   END   ", 4, 0, 260, 16, 46) + kQueueWait + "<return/>\r\n" + kEndSection;
  ExpectWrittenAndReadBack(document, expected);
  EXPECT_EQ(pad.fileStart, 1301u);
  EXPECT_EQ(end.fileEnd, 1839u);
}

TEST(MotionWriterLayout, CalcBlocksSkipTheFirstOperandForAssignmentAndNot) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& assign = Add(document, BlockKind::Calc, u" CALCULATION ");
  MotionBlock& mod = Add(document, BlockKind::Calc, u" CALCULATION ");
  MotionBlock& negate = Add(document, BlockKind::Calc, u" CALCULATION ");
  MotionBlock& end = AddEnd(document, 110);
  Chain({&start, &assign, &mod, &negate, &end});
  SetOperands(assign, CalcOp::kAssign, 2, 0x0F00, 2, 0x0F00, 1, -5);
  SetOperands(mod, CalcOp::kMod, 1, 0x0F01, 1, 0x0F04, 0, 7);
  SetOperands(negate, CalcOp::kNot, 2, 0x0F06, 2, 0x0F00, 1, 0x12345);

  const std::string calc = " CALCULATION ";
  ExpectWrittenAndReadBack(
      document, kHeader + kStartHead + kGap +
                    Head(calc, 2, 0, 0, 6, 6, VarCalc(2, 0, 0x0f00, "-5", 2, 0x0f00, 1)) +
                    Crlf("<calc>\n\t<const data=\"-5\"/>\n\t<mem_w size=\"2\" adr=\"0x0f00\"/>\n"
                         "</calc>\n\n\n") +
                    Head(calc, 2, 0, 0, 6, 6, VarCalc(1, 5, 0x0f01, "7", 1, 0x0f04, 0)) +
                    Crlf("<calc>\n\t<mem_r size=\"1\" adr=\"0x0f01\"/>\n"
                         "\t<mem_r size=\"1\" adr=\"0x0f04\"/>\n\t<mod/>\n"
                         "\t<mem_w size=\"1\" adr=\"0x0f01\"/>\n</calc>\n\n\n") +
                    Head(calc, 2, 0, 0, 6, 6, VarCalc(2, 9, 0x0f06, "74565", 2, 0x0f00, 1)) +
                    Crlf("<calc>\n\t<const data=\"9029\"/>\n\t<not/>\n"
                         "\t<mem_w size=\"2\" adr=\"0x0f06\"/>\n</calc>\n"
                         "<jump adr=\"0x00000566\"/>\n<jump adr=\"0x000004ce\"/>\n\n\n") +
                    Head("   END   ", 4, 50, 110, 16, 46) + kQueueWait + "<return/>\r\n" +
                    kEndSection);
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

  // Each block's section, in list order.
  const std::string sections[] = {
      Head("S", 6) + kQueueWait + "<play filename=\"voice\\hello.wav\"/>\r\n",
      Head("S", 6) + "<play/>\r\n<flagconst data=\"1\"/>\r\n",
      Head("S", 5) + kQueueWait + "<call filename=\"walk.KX4\"/>\r\n",
      Head("\x83\x7c\x81\x5b\x83\x59", 5) + kQueueWait + "<jump filename=\"run\"x.KX4\"/>\r\n",
      Head("S", 7) + "<fread filename=\"data.bin\" adr=\"0x0f00\"/>\r\n",
      Head("S", 8) + "<fwrite filename=\"out.bin\" adr=\"0x0e00\"/>\r\n" + JumpLine(0x46e),
      Head("COMMENT", 9, 0, 0, 16, 46, "\t<comment data=\"say \x1ehi\x1e\r\nbye\r\nend\" />\r\n") +
          JumpLine(0x726),
      Head("S", 10) + "<wait data=\"120\"/>\r\n",
      Head("S", 11) + kQueueWait +
          "<cancel filename=\"cancel.KX4\"/>\r\n<flagconst data=\"1\"/>\r\n",
      Head("S", 11) + "<cancel/>\r\n",
      Head("S", 12) +
          "<varcalc size=\"2\" data=\"0\" adr=\"0x0003\">\t<vaddress size=\"0\" "
          "adr=\"0x0002\"/>\r\n\r\n</varcalc>\r\n",
      Head("X", 20),
  };
  std::string expected = kHeader;
  for (const std::string& section : sections) {
    expected += section + kGap;
  }
  expected.resize(expected.size() - 2);  // the unknown kind's section ends with one line break
  EXPECT_EQ(Written(document), expected + kQueueWait);
  EXPECT_EQ(odd.fileStart, 1734u);
  EXPECT_EQ(odd.fileEnd, 1830u);
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

  const std::string text = BuildMotionFileText(document, sliders, 100, nullptr);
  EXPECT_EQ(
      text,
      kHeader + Head("P 2", 0) + SlotLines({{10, 0xc8}, {12, 0x12c}, {20, 5}}) +
          Crlf("<mem_w size=\"2\" adr=\"0x0b00\">0x0028</mem_w>\n<wait data=\"1\"/>\n"
               "<calc>\n\t<mem_r size=\"1\" adr=\"0x0b42\"/>\n\t<const data=\"3\"/>\n"
               "\t<sub/>\n\t<gt/>\n\t<jump adr=\"0x00000472\"/>\n</calc>\n"
               "<vconst data=\"123456\"/>\n<vavid>\n\t<servoenable size=\"3\" data=\"100\"/>\n"
               "\t<servoenable size=\"3\" data=\"-3\"/>\n</vavid>\n"
               "<jump adr=\"0x00000589\"/>\n") +
          kEndSection);
  EXPECT_EQ(pose.slots[5], 100);  // the record keeps the companion values
  EXPECT_EQ(pose.slots[9], -3);
  // Read back: the polling loop is no branch, and the companions come from servoenable.
  const MotionDocument back = ReadMotionText(text, sliders, nullptr);
  ASSERT_EQ(back.count(), 1);
  EXPECT_FALSE(back.head()->interpWait);
  EXPECT_EQ(back.head()->branch, nullptr);
  EXPECT_EQ(back.head()->next, nullptr);
  auto slots = pose.slots;
  slots[5] = -3;  // the channel's last servoenable line sets each of its companions
  EXPECT_EQ(back.head()->slots, slots);
  EXPECT_EQ(back.head()->time, 40);
}

TEST(MotionWriterPose, NextBackToAnEarlierPoseIsOneJumpToItsSection) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& first = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& second = Add(document, BlockKind::Pose, u"P 2");
  first.interpWait = true;
  second.interpWait = true;
  Chain({&start, &first, &second, &first});

  const std::string text = Written(document);
  EXPECT_EQ(CountOf(SectionText(text, first), "<jump"), 0u);
  const std::string section = SectionText(text, second);
  EXPECT_EQ(CountOf(section, "<jump"), 1u);
  EXPECT_NE(section.find("\r\n" + JumpLine(first.fileStart) + "\r\n\r\n"), std::string::npos);
  EXPECT_EQ(text.compare(first.fileStart, 9, "<vavid>\r\n"), 0);
}

TEST(MotionWriterPose, SpeedScalesTheTransitionTimeInSinglePrecision) {
  MotionDocument document;
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1");
  pose.interpWait = true;
  const struct {
    std::uint16_t time;
    std::uint32_t speed;
    const char* written;
  } cases[] = {
      {51, 50, "0x0019"},  {51, 100, "0x0033"},    {50, 33, "0x0010"},  // 16.5 truncated
      {50, 150, "0x004b"}, {40000, 999, "0xffff"},  // the longest time, not a wrapped short one
  };
  for (const auto& c : cases) {
    pose.time = c.time;
    const std::string text = BuildMotionFileText(document, SliderTable{}, c.speed, nullptr);
    const std::string line = "<mem_w size=\"2\" adr=\"0x0b00\">" + std::string(c.written);
    EXPECT_NE(text.find(line), std::string::npos) << c.time << " at " << c.speed;
    EXPECT_EQ(pose.time, c.time);
  }
}

TEST(MotionWriterLinks, StartBlockStandsInForTheStartBlocksNextWhileWriting) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& first = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& second = Add(document, BlockKind::Pose, u"P 2");
  MotionBlock& end = AddEnd(document, 200);
  Chain({&start, &first, &second, &end});

  std::string text = BuildMotionFileText(document, SliderTable{}, 100, &second);
  EXPECT_EQ(SectionText(text, start), kStartHead + JumpLine(second.fileStart) + kGap);
  EXPECT_EQ(start.next, &first);

  text = BuildMotionFileText(document, SliderTable{}, 100, &end);
  const std::uint32_t endSection = static_cast<std::uint32_t>(text.size()) - 31;
  EXPECT_NE(SectionText(text, start).find(JumpLine(endSection) + JumpLine(end.fileStart)),
            std::string::npos);

  for (MotionBlock* chosen : {&first, static_cast<MotionBlock*>(nullptr)}) {
    text = BuildMotionFileText(document, SliderTable{}, 100, chosen);
    EXPECT_EQ(CountOf(SectionText(text, start), "<jump"), 0u);
  }
}

TEST(MotionWriterLinks, WritingTwiceGivesTheSameBytesAndOffsets) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& branch = Add(document, BlockKind::If, u"IF");
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& end = AddEnd(document, 300);
  Chain({&start, &pose, &branch, &end});
  branch.branch = &pose;
  for (MotionBlock& block : document) {
    block.fileStart = 0xDEAD;
    block.fileEnd = 0xBEEF;
  }

  const std::string first = Written(document);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> offsets;
  std::uint32_t expectedStart = 44;
  for (const MotionBlock& block : document) {
    EXPECT_EQ(block.fileStart, expectedStart);  // sections follow one another
    EXPECT_EQ(first.compare(block.fileStart, 9, "<vavid>\r\n"), 0);
    expectedStart = block.fileEnd;
    offsets.emplace_back(block.fileStart, block.fileEnd);
  }
  EXPECT_EQ(first.size(), expectedStart + 31);

  EXPECT_EQ(Written(document), first);
  std::size_t i = 0;
  for (const MotionBlock& block : document) {
    EXPECT_EQ(std::make_pair(block.fileStart, block.fileEnd), offsets[i++]);
  }
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

std::ptrdiff_t FilesIn(const TempDir& dir) {
  return std::distance(std::filesystem::directory_iterator(dir.Path()),
                       std::filesystem::directory_iterator());
}

TEST(MotionWriterFile, WritesTheTextAndReplacesTheOldFile) {
  TempDir dir;
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  start.next = &AddEnd(document, 60);
  WriteBytes(dir / "m.KX4", "old");

  ASSERT_TRUE(WriteMotionFile(dir / "m.KX4", document, SliderTable{}, 100, nullptr));
  EXPECT_EQ(ReadBytes(dir / "m.KX4"), Written(document));
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(MotionWriterFile, FailedWriteReturnsFalseAndLeavesTheOldFile) {
  TempDir dir;
  MotionDocument document;
  AddStart(document);
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
  EXPECT_EQ(FilesIn(dir), 2);  // no temporary file left behind
}

}  // namespace
}  // namespace gestalon::core
