#include "motion/motion_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
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

std::size_t CountOf(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (auto pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1)) {
    ++count;
  }
  return count;
}

const SliderTable kNoCompanions{};

const std::string kHeader =
    "<vavid>\r\n"
    "\t<format data=\"2\"/>\r\n"
    "</vavid>\r\n"
    "\r\n"
    "\r\n";

TEST(MotionWriterLayout, EmptyDocumentHasHeaderAndEndSectionOnly) {
  MotionDocument document;
  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr),
            kHeader + "<wait size=\"1\" adr=\"0x0b43\"/>\r\n");
}

TEST(MotionWriterLayout, StartPoseEndFallsThroughThenJumpsToEndSectionAndEndBlock) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1", 50, 60);
  MotionBlock& end = AddEnd(document, 110);
  start.next = &pose;
  pose.next = &end;
  pose.time = 50;
  pose.interpWait = true;
  pose.slots[0] = 7500;
  pose.slots[1] = -1;
  pose.slots[24] = 0xab;
  pose.slots[127] = 0x123;

  const std::string expected =
      "<vavid>\r\n"
      "\t<format data=\"2\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"\" type=\"3\" xpos=\"50\" ypos=\"10\" bluearrow=\"6\" redarrow=\"0\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"P 1\" type=\"0\" xpos=\"50\" ypos=\"60\" bluearrow=\"6\" "
      "redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<mem_w size=\"2\" adr=\"0x0a00\">\r\n"
      "\t0x1d4c,0xffff,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x00ab,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0123\r\n"
      "</mem_w>\r\n"
      "<mem_w size=\"2\" adr=\"0x0b00\">0x0032</mem_w>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<vconst data=\"0\"/>\r\n"
      "<jump adr=\"0x000005d9\"/>\r\n"
      "<jump adr=\"0x00000541\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"   END   \" type=\"4\" xpos=\"50\" ypos=\"110\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<return/>\r\n"
      "\r\n"
      "\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr), expected);
  EXPECT_EQ(start.fileStart, 44u);
  EXPECT_EQ(start.fileEnd, 142u);
  EXPECT_EQ(pose.fileStart, 142u);
  EXPECT_EQ(pose.fileEnd, 1345u);
  EXPECT_EQ(end.fileStart, 1345u);
  EXPECT_EQ(end.fileEnd, 1497u);
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
  if1.op = BranchOp::kEqual;
  if1.varSize = 2;
  if1.varAddr = 0x0F00;
  if1.refSize = 2;
  if1.refAddr = 0x0F02;
  if1.useConst = 1;
  if1.constValue = 70000;
  if1.next = &if2;  // the following section, still jumped to
  if1.branch = &end;
  // Variable operand; no blue target.
  if2.op = BranchOp::kBitMatch;
  if2.varSize = 1;
  if2.varAddr = 0x0E00;
  if2.refSize = 2;
  if2.refAddr = 0x0F10;
  if2.branch = &if1;
  // Always: fixed operands; no red target.
  if3.op = BranchOp::kAlways;
  if3.varSize = 2;
  if3.varAddr = 0x0F00;
  if3.refSize = 2;
  if3.refAddr = 0x0F00;
  if3.next = &end;
  pad.op = BranchOp::kGreater;
  pad.varSize = 2;
  pad.varAddr = 0x0EE4;
  pad.refSize = 2;
  pad.useConst = 1;
  pad.constValue = -2;
  pad.next = &if3;

  const std::string expected =
      "<vavid>\r\n"
      "\t<format data=\"2\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"\" type=\"3\" xpos=\"50\" ypos=\"10\" bluearrow=\"6\" redarrow=\"0\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"IF\" type=\"1\" xpos=\"10\" ypos=\"20\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "\t<varcalc size=\"2\" data=\"0\" adr=\"0x0f00\">\r\n"
      "\t\t<vconst data=\"70000\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0f02\"/>\r\n"
      "\t\t<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n"
      "\t<const data=\"4464\"/>\r\n"
      "\t<sub/>\r\n"
      "\t<eq/>\r\n"
      "\t<jump adr=\"0x00000698\"/>\r\n"
      "</calc>\r\n"
      "<jump adr=\"0x00000215\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"IF\" type=\"1\" xpos=\"10\" ypos=\"80\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "\t<varcalc size=\"1\" data=\"7\" adr=\"0x0e00\">\r\n"
      "\t\t<vconst data=\"0\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0f10\"/>\r\n"
      "\t\t<flagconst data=\"0\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<mem_r size=\"1\" adr=\"0x0e00\"/>\r\n"
      "\t<mem_r size=\"2\" adr=\"0x0f10\"/>\r\n"
      "\t<and/>\r\n"
      "\t<ne/>\r\n"
      "\t<jump adr=\"0x0000008e\"/>\r\n"
      "</calc>\r\n"
      "<jump adr=\"0x0000072f\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"IF\" type=\"1\" xpos=\"-5\" ypos=\"140\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "\t<varcalc size=\"2\" data=\"9\" adr=\"0x0f00\">\r\n"
      "\t\t<vconst data=\"0\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0f00\"/>\r\n"
      "\t\t<flagconst data=\"0\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<const data=\"0\"/>\r\n"
      "\t<const data=\"1\"/>\r\n"
      "\t<or/>\r\n"
      "\t<gt/>\r\n"
      "\t<jump adr=\"0x0000072f\"/>\r\n"
      "</calc>\r\n"
      "<jump adr=\"0x00000698\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"IF\" type=\"13\" xpos=\"0\" ypos=\"200\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "\t<varcalc size=\"2\" data=\"3\" adr=\"0x0ee4\">\r\n"
      "\t\t<vconst data=\"-2\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0000\"/>\r\n"
      "\t\t<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<mem_r size=\"2\" adr=\"0x0ee4\"/>\r\n"
      "\t<const data=\"-2\"/>\r\n"
      "\t<sub/>\r\n"
      "\t<gt/>\r\n"
      "\t<jump adr=\"0x0000072f\"/>\r\n"
      "</calc>\r\n"
      "<jump adr=\"0x000003a2\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"   END   \" type=\"4\" xpos=\"0\" ypos=\"260\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<return/>\r\n"
      "\r\n"
      "\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr), expected);
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
  start.next = &assign;
  assign.op = CalcOp::kAssign;
  assign.varSize = 2;
  assign.varAddr = 0x0F00;
  assign.refSize = 2;
  assign.refAddr = 0x0F00;
  assign.useConst = 1;
  assign.constValue = -5;
  assign.next = &mod;
  mod.op = CalcOp::kMod;
  mod.varSize = 1;
  mod.varAddr = 0x0F01;
  mod.refSize = 1;
  mod.refAddr = 0x0F04;
  mod.constValue = 7;
  mod.next = &negate;
  negate.op = CalcOp::kNot;
  negate.varSize = 2;
  negate.varAddr = 0x0F06;
  negate.refSize = 2;
  negate.refAddr = 0x0F00;
  negate.useConst = 1;
  negate.constValue = 0x12345;
  negate.next = &end;

  const std::string expected =
      "<vavid>\r\n"
      "\t<format data=\"2\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"\" type=\"3\" xpos=\"50\" ypos=\"10\" bluearrow=\"6\" redarrow=\"0\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\" CALCULATION \" type=\"2\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" "
      "redarrow=\"6\"/>\r\n"
      "\t<varcalc size=\"2\" data=\"0\" adr=\"0x0f00\">\r\n"
      "\t\t<vconst data=\"-5\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0f00\"/>\r\n"
      "\t\t<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<const data=\"-5\"/>\r\n"
      "\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n"
      "</calc>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\" CALCULATION \" type=\"2\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" "
      "redarrow=\"6\"/>\r\n"
      "\t<varcalc size=\"1\" data=\"5\" adr=\"0x0f01\">\r\n"
      "\t\t<vconst data=\"7\"/>\r\n"
      "\t\t<vaddress size=\"1\" adr=\"0x0f04\"/>\r\n"
      "\t\t<flagconst data=\"0\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<mem_r size=\"1\" adr=\"0x0f01\"/>\r\n"
      "\t<mem_r size=\"1\" adr=\"0x0f04\"/>\r\n"
      "\t<mod/>\r\n"
      "\t<mem_w size=\"1\" adr=\"0x0f01\"/>\r\n"
      "</calc>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\" CALCULATION \" type=\"2\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" "
      "redarrow=\"6\"/>\r\n"
      "\t<varcalc size=\"2\" data=\"9\" adr=\"0x0f06\">\r\n"
      "\t\t<vconst data=\"74565\"/>\r\n"
      "\t\t<vaddress size=\"2\" adr=\"0x0f00\"/>\r\n"
      "\t\t<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\t</varcalc>\r\n"
      "</vavid>\r\n"
      "<calc>\r\n"
      "\t<const data=\"9029\"/>\r\n"
      "\t<not/>\r\n"
      "\t<mem_w size=\"2\" adr=\"0x0f06\"/>\r\n"
      "</calc>\r\n"
      "<jump adr=\"0x00000566\"/>\r\n"
      "<jump adr=\"0x000004ce\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"   END   \" type=\"4\" xpos=\"50\" ypos=\"110\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<return/>\r\n"
      "\r\n"
      "\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr), expected);
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
  sound.next = &stopSound;
  stopSound.noFile = true;
  stopSound.useConst = 1;
  stopSound.next = &call;
  call.fileName = u"walk.KX4";
  call.next = &jump;
  jump.fileName = u"run\"x.KX4";  // written unchanged
  jump.asJump = true;
  jump.next = &read;
  read.fileName = u"data.bin";
  read.fileAddr = 0x0F00;
  read.next = &write;
  write.fileName = u"out.bin";
  write.fileAddr = 0x0E00;
  write.next = &wait;  // past the comment: a jump
  // Quotes become 0x1E; LF and CR LF both become one CR LF.
  comment.comment = u"say \"hi\"\nbye\r\nend";
  wait.time = 120;
  wait.slots[0] = 7500;  // not part of a wait block's text
  wait.next = &cancel;
  cancel.fileName = u"cancel.KX4";
  cancel.useConst = 1;
  cancel.next = &plainCancel;
  plainCancel.noFile = true;
  plainCancel.next = &interp;
  interp.varSize = 2;
  interp.varAddr = 3;
  interp.refAddr = 2;
  interp.next = &odd;
  odd.next = &sound;  // unknown kinds get no jump

  const std::string expected =
      "<vavid>\r\n"
      "\t<format data=\"2\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"6\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<play filename=\"voice\\hello.wav\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"6\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<play/>\r\n"
      "<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"5\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<call filename=\"walk.KX4\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"\x83\x7c\x81\x5b\x83\x59\" type=\"5\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" "
      "redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<jump filename=\"run\"x.KX4\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"7\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<fread filename=\"data.bin\" adr=\"0x0f00\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"8\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<fwrite filename=\"out.bin\" adr=\"0x0e00\"/>\r\n"
      "<jump adr=\"0x0000046e\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"COMMENT\" type=\"9\" xpos=\"0\" ypos=\"0\" bluearrow=\"16\" "
      "redarrow=\"46\"/>\r\n"
      "\t<comment data=\"say \x1ehi\x1e\r\n"
      "bye\r\n"
      "end\" />\r\n"
      "</vavid>\r\n"
      "<jump adr=\"0x00000726\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"10\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<wait data=\"120\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"11\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<cancel filename=\"cancel.KX4\"/>\r\n"
      "<flagconst data=\"1\"/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"11\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<cancel/>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"S\" type=\"12\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<varcalc size=\"2\" data=\"0\" adr=\"0x0003\">\t<vaddress size=\"0\" adr=\"0x0002\"/>\r\n"
      "\r\n"
      "</varcalc>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"X\" type=\"20\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr), expected);
  EXPECT_EQ(odd.fileStart, 1734u);
  EXPECT_EQ(odd.fileEnd, 1830u);
}

TEST(MotionWriterPose, PollingLoopJumpsToItsOwnWaitAndSwitchedCompanionsGoToServoEnable) {
  SliderTable sliders{};
  sliders[5].flags2 = SliderFlag2::kServoCompanion;
  sliders[5].channel = 3;
  sliders[9].flags2 = SliderFlag2::kServoCompanion;
  sliders[9].channel = 3;
  sliders[10].flags2 = SliderFlag2::kServoCompanion;  // channel not switched
  sliders[10].channel = 0;
  sliders[12].flags2 = SliderFlag2::kServoChannel;  // the channel's own slider
  sliders[12].channel = 3;
  sliders[20].flags2 = SliderFlag2::kServoCompanion;  // beyond the switchable channels
  sliders[20].channel = 40;

  MotionDocument document;
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 2");
  pose.time = 40;
  pose.poseConst = 123456;
  pose.servoEnableMask = (std::uint64_t{1} << 3) | (std::uint64_t{1} << 40);
  pose.slots[5] = 100;
  pose.slots[9] = -3;
  pose.slots[10] = 200;
  pose.slots[12] = 300;
  pose.slots[20] = 5;

  const std::string expected =
      "<vavid>\r\n"
      "\t<format data=\"2\"/>\r\n"
      "</vavid>\r\n"
      "\r\n"
      "\r\n"
      "<vavid>\r\n"
      "\t<block name=\"P 2\" type=\"0\" xpos=\"0\" ypos=\"0\" bluearrow=\"6\" redarrow=\"6\"/>\r\n"
      "</vavid>\r\n"
      "<mem_w size=\"2\" adr=\"0x0a00\">\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x00c8,0x0000,"
      "0x012c,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0005,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,"
      "0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,\r\n"
      "\t0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000,0x0000\r\n"
      "</mem_w>\r\n"
      "<mem_w size=\"2\" adr=\"0x0b00\">0x0028</mem_w>\r\n"
      "<wait data=\"1\"/>\r\n"
      "<calc>\r\n"
      "\t<mem_r size=\"1\" adr=\"0x0b42\"/>\r\n"
      "\t<const data=\"3\"/>\r\n"
      "\t<sub/>\r\n"
      "\t<gt/>\r\n"
      "\t<jump adr=\"0x00000472\"/>\r\n"
      "</calc>\r\n"
      "<vconst data=\"123456\"/>\r\n"
      "<vavid>\r\n"
      "\t<servoenable size=\"3\" data=\"100\"/>\r\n"
      "\t<servoenable size=\"3\" data=\"-3\"/>\r\n"
      "</vavid>\r\n"
      "<jump adr=\"0x00000589\"/>\r\n"
      "\r\n"
      "\r\n"
      "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(BuildMotionFileText(document, sliders, 100, nullptr), expected);
  EXPECT_EQ(pose.slots[5], 100);  // the record keeps the companion values
  EXPECT_EQ(pose.slots[9], -3);
}

TEST(MotionWriterPose, NextBackToAnEarlierPoseIsOneJumpToItsSection) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& first = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& second = Add(document, BlockKind::Pose, u"P 2");
  first.interpWait = true;
  second.interpWait = true;
  start.next = &first;
  first.next = &second;
  second.next = &first;

  const std::string text = BuildMotionFileText(document, kNoCompanions, 100, nullptr);
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
  const auto timeLine = [&](std::uint32_t speed) {
    const std::string text = BuildMotionFileText(document, kNoCompanions, speed, nullptr);
    const auto pos = text.find("<mem_w size=\"2\" adr=\"0x0b00\">");
    return pos == std::string::npos ? std::string() : text.substr(pos + 29, 6);
  };
  pose.time = 51;
  EXPECT_EQ(timeLine(50), "0x0019");
  EXPECT_EQ(timeLine(100), "0x0033");
  EXPECT_EQ(pose.time, 51);
  pose.time = 50;
  EXPECT_EQ(timeLine(33), "0x0010");   // 16.5 truncated
  EXPECT_EQ(timeLine(150), "0x004b");  // 75
  pose.time = 40000;
  EXPECT_EQ(timeLine(999), "0xffff");  // the longest time, not a wrapped short one
}

TEST(MotionWriterLinks, StartBlockStandsInForTheStartBlocksNextWhileWriting) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& first = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& second = Add(document, BlockKind::Pose, u"P 2");
  MotionBlock& end = AddEnd(document, 200);
  start.next = &first;
  first.next = &second;
  second.next = &end;

  std::string text = BuildMotionFileText(document, kNoCompanions, 100, &second);
  EXPECT_EQ(SectionText(text, start),
            "<vavid>\r\n"
            "\t<block name=\"\" type=\"3\" xpos=\"50\" ypos=\"10\" bluearrow=\"6\" "
            "redarrow=\"0\"/>\r\n"
            "</vavid>\r\n" +
                JumpLine(second.fileStart) + "\r\n\r\n");
  EXPECT_EQ(start.next, &first);

  text = BuildMotionFileText(document, kNoCompanions, 100, &first);
  EXPECT_EQ(CountOf(SectionText(text, start), "<jump"), 0u);

  text = BuildMotionFileText(document, kNoCompanions, 100, &end);
  const std::uint32_t endSection = static_cast<std::uint32_t>(text.size()) - 31;
  EXPECT_NE(SectionText(text, start).find(JumpLine(endSection) + JumpLine(end.fileStart)),
            std::string::npos);

  text = BuildMotionFileText(document, kNoCompanions, 100, nullptr);
  EXPECT_EQ(CountOf(SectionText(text, start), "<jump"), 0u);
}

TEST(MotionWriterLinks, WritingTwiceGivesTheSameBytesAndOffsets) {
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& branch = Add(document, BlockKind::If, u"IF");
  MotionBlock& pose = Add(document, BlockKind::Pose, u"P 1");
  MotionBlock& end = AddEnd(document, 300);
  start.next = &pose;
  pose.next = &branch;
  branch.next = &end;
  branch.branch = &pose;
  for (MotionBlock& block : document) {
    block.fileStart = 0xDEAD;
    block.fileEnd = 0xBEEF;
  }

  const std::string first = BuildMotionFileText(document, kNoCompanions, 100, nullptr);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> offsets;
  std::uint32_t expectedStart = 44;
  for (const MotionBlock& block : document) {
    EXPECT_EQ(block.fileStart, expectedStart);  // sections follow one another
    EXPECT_EQ(first.compare(block.fileStart, 9, "<vavid>\r\n"), 0);
    expectedStart = block.fileEnd;
    offsets.emplace_back(block.fileStart, block.fileEnd);
  }
  EXPECT_EQ(first.size(), expectedStart + 31);

  EXPECT_EQ(BuildMotionFileText(document, kNoCompanions, 100, nullptr), first);
  std::size_t i = 0;
  for (const MotionBlock& block : document) {
    EXPECT_EQ(block.fileStart, offsets[i].first);
    EXPECT_EQ(block.fileEnd, offsets[i].second);
    ++i;
  }
}

TEST(MotionWriterText, CommentIsCutAt255BytesWithoutSplittingACharacterOrALineBreak) {
  MotionDocument document;
  MotionBlock& wide = Add(document, BlockKind::Comment, u"C");
  wide.comment = std::u16string(128, u'あ');  // 256 bytes in the code page
  MotionBlock& breakAtCut = Add(document, BlockKind::Comment, u"C");
  breakAtCut.comment = std::u16string(254, u'a') + u"\r\nb";

  const std::string text = BuildMotionFileText(document, kNoCompanions, 100, nullptr);
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

TEST(MotionWriterFile, WritesTheTextAndReplacesTheOldFile) {
  TempDir dir;
  MotionDocument document;
  MotionBlock& start = AddStart(document);
  MotionBlock& end = AddEnd(document, 60);
  start.next = &end;
  WriteBytes(dir / "m.KX4", "old");

  ASSERT_TRUE(WriteMotionFile(dir / "m.KX4", document, kNoCompanions, 100, nullptr));
  EXPECT_EQ(ReadBytes(dir / "m.KX4"), BuildMotionFileText(document, kNoCompanions, 100, nullptr));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(MotionWriterFile, FailedWriteReturnsFalseAndLeavesTheOldFile) {
  TempDir dir;
  MotionDocument document;
  AddStart(document);
  WriteBytes(dir / "m.KX4", "old");

  EXPECT_FALSE(WriteMotionFile(dir / "missing" / "m.KX4", document, kNoCompanions, 100, nullptr));
  EXPECT_FALSE(WriteMotionFile(dir / "m.KX4" / "m.KX4", document, kNoCompanions, 100, nullptr));
  // A folder where the file should go: the replacement fails at the last step.
  std::filesystem::create_directory(dir / "taken.KX4");
  WriteBytes(dir / "taken.KX4" / "inside", "x");
  EXPECT_FALSE(WriteMotionFile(dir / "taken.KX4", document, kNoCompanions, 100, nullptr));

  EXPECT_EQ(ReadBytes(dir / "m.KX4"), "old");
  EXPECT_EQ(ReadBytes(dir / "taken.KX4" / "inside"), "x");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file left behind
}

}  // namespace
}  // namespace gestalon::core
