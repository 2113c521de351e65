#include "motion/motion_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "golden_files.h"
#include "motion/motion_writer.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::CoreGolden;
using testing::RecordingPrompter;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::string_view kHeader = "<vavid>\n\t<format data=\"2\"/>\n</vavid>\n\n\n";

const SliderTable kNoSliders{};

MotionDocument Read(std::string_view text, Prompter* prompter = nullptr,
                    const SliderTable& sliders = kNoSliders) {
  return ReadMotionText(text, sliders, prompter);
}

TEST(MotionReaderLayout, FileWithoutBlocksGivesAnEmptyDocument) {
  EXPECT_TRUE(Read("").empty());
  EXPECT_TRUE(Read(std::string(kHeader) + "<wait size=\"1\" adr=\"0x0b43\"/>\r\n").empty());
  const MotionDocument doc = Read("<vavid><Block name=\"x\" type=\"4\"/></vavid>");
  EXPECT_EQ(doc.count(), 0) << "tag names are compared exactly";
  EXPECT_EQ(doc.head(), nullptr);
}

TEST(MotionReaderLayout, AttributeNamesMatchInAnyCase) {
  const MotionDocument doc = Read(
      "<vavid><block NAME=\"Up\" Type=\"10\" XPOS=\"-7\" yPos=\"8\" BlueArrow=\"1\" "
      "REDARROW=\"2\"/></vavid><WAIT DATA=\"9\"/><wait Data=\"77\"/>");
  ASSERT_EQ(doc.count(), 1);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.name, u"Up");
  EXPECT_TRUE(b.Is(BlockKind::Wait));
  EXPECT_EQ(std::tuple(b.xpos, b.ypos), std::tuple(-7, 8));
  EXPECT_EQ(b.bluearrow, 1);
  EXPECT_EQ(b.redarrow, 2);
  EXPECT_EQ(b.time, 77) << "the WAIT tag is not a wait tag";
}

TEST(MotionReaderLayout, HashCommentsOddSpacingAndMissingAttributes) {
  // Comments, tags spread over lines, stray commas, a bad number and a block without attributes.
  const MotionDocument doc = Read(CoreGolden("motion_read_hand_written.kx4"));
  ASSERT_EQ(doc.count(), 2);
  const MotionBlock& a = *doc.head();
  EXPECT_EQ(a.name, u"A");
  EXPECT_TRUE(a.Is(BlockKind::Pose));
  EXPECT_EQ(a.xpos, 3);
  EXPECT_EQ(a.slots[0], 5);
  EXPECT_EQ(a.slots[1], -6);
  EXPECT_EQ(a.slots[2], 10) << "'#7' is a comment";
  EXPECT_EQ(a.slots[3], 1);
  EXPECT_EQ(a.slots[4], 0);
  const MotionBlock& b = *doc.tail();
  EXPECT_EQ(b.name, u"");
  EXPECT_EQ(b.type, 0);
  EXPECT_EQ(b.bluearrow, 0);
  EXPECT_EQ(a.next, &b);
}

// Start, then a wait block whose section runs on past its jump to the end section.
TEST(MotionReaderLayout, WaitBlockLastInTheFileKeepsItsTimeAfterTheEndSection) {
  const std::string text = CoreGolden("motion_read_wait_last.kx4");
  const MotionDocument doc = Read(text);
  ASSERT_EQ(doc.count(), 2);
  EXPECT_EQ(doc.tail()->time, 300);
  EXPECT_EQ(doc.head()->fileEnd, 142u);
  EXPECT_EQ(doc.tail()->fileEnd, text.size()) << "the last section runs to the end";
  EXPECT_EQ(BuildMotionFileText(doc, kNoSliders, 100, nullptr), text);
}

TEST(MotionReaderLinks, FallThroughAndTheLastBlockEndsTheMotion) {
  const MotionDocument doc =
      Read(std::string(kHeader) +
           "<vavid>\n\t<block type=\"10\"/>\n</vavid>\n<wait data=\"5\"/>\n\n\n"
           "<vavid>\n\t<block type=\"10\"/>\n</vavid>\n<wait data=\"6\"/>\n");
  ASSERT_EQ(doc.count(), 2);
  EXPECT_EQ(doc.head()->next, doc.tail());
  EXPECT_EQ(doc.tail()->next, nullptr);
  EXPECT_EQ(doc.head()->time, 5);
  EXPECT_EQ(doc.tail()->time, 6);
  EXPECT_TRUE(doc.head()->interpWait) << "every read block starts with interpWait 1";
}

// Block 0 jumps to block 2, then to 0 and nowhere; block 1 jumps to 0, then to 2; block 2 to 0.
TEST(MotionReaderLinks, JumpWithAddressZeroIsIgnoredAndALaterJumpWins) {
  const MotionDocument doc = Read(CoreGolden("motion_read_zero_jumps.kx4"));
  ASSERT_EQ(doc.count(), 3);
  EXPECT_EQ(doc.At(0)->next, doc.At(2));
  EXPECT_EQ(doc.At(1)->next, doc.At(2));
  EXPECT_EQ(doc.At(2)->next, nullptr);
}

// Jumps to the end section, into the middle of block 0's section and past the file.
TEST(MotionReaderLinks, JumpsIntoTheEndSectionOrIntoASectionGiveNoLink) {
  const MotionDocument doc = Read(CoreGolden("motion_read_stray_jumps.kx4"));
  ASSERT_EQ(doc.count(), 3);
  for (const MotionBlock& block : doc) {
    EXPECT_EQ(block.next, nullptr);
  }
}

// An IF whose calculation jumps to the CALC block and which then jumps to itself; the CALC
// returns; a PAD IF jumps to the IF inside its calculation, returns, then jumps to the CALC.
TEST(MotionReaderLinks, JumpsInsideACalculationAreTheBranchAndReturnEndsEither) {
  const MotionDocument doc = Read(CoreGolden("motion_read_branch_calc.kx4"));
  ASSERT_EQ(doc.count(), 3);
  MotionBlock* ifBlock = doc.At(0);
  MotionBlock* calc = doc.At(1);
  MotionBlock* pad = doc.At(2);
  EXPECT_EQ(ifBlock->branch, calc);
  EXPECT_EQ(ifBlock->next, ifBlock);
  EXPECT_EQ(ifBlock->op, 3);
  EXPECT_EQ(ifBlock->varAddr, 0x0F10);
  EXPECT_EQ(ifBlock->varSize, 1u);
  EXPECT_EQ(ifBlock->refAddr, 0x0F20);
  EXPECT_EQ(ifBlock->refSize, 2u);
  EXPECT_EQ(ifBlock->useConst, 1u);
  EXPECT_EQ(ifBlock->constValue, -70000) << "the full value, not the const tag's 16 bits";
  EXPECT_EQ(calc->branch, nullptr);
  EXPECT_EQ(calc->next, nullptr) << "return after the calculation";
  EXPECT_EQ(calc->op, 9);
  EXPECT_EQ(calc->varAddr, 0xFFFF);
  EXPECT_EQ(pad->branch, nullptr) << "the later return overrides the jump";
  EXPECT_EQ(pad->next, calc);
}

TEST(MotionReaderLinks, ProvisionalLinksFromJumpsBeforeAnyBlockAreIgnored) {
  const MotionDocument doc = Read(
      "<jump adr=\"0x5\"/><return/><calc><jump adr=\"7\"/></calc>"
      "<vavid><block type=\"10\"/></vavid>");
  ASSERT_EQ(doc.count(), 1);
  EXPECT_EQ(doc.head()->next, nullptr);
  EXPECT_EQ(doc.head()->branch, nullptr);
}

TEST(MotionReaderPose, FewerThan128SlotValuesSetOnlyTheLeadingSlots) {
  const MotionDocument doc = Read(
      "<vavid><block type=\"0\"/></vavid><mem_w size=\"2\" adr=\"0x0a04\">\r\n\t0x0011,0x0022,"
      "\r\n</mem_w><mem_w size=\"2\" adr=\"0x0b00\">0x0040,0x0050</mem_w>"
      "<mem_w size=\"1\" adr=\"0x0aff\">1,2,3</mem_w>");
  ASSERT_EQ(doc.count(), 1);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.slots[0], 0);
  EXPECT_EQ(b.slots[1], 0);
  EXPECT_EQ(b.slots[2], 0x11);
  EXPECT_EQ(b.slots[3], 0x22);
  EXPECT_EQ(b.slots[4], 0);
  EXPECT_EQ(b.slots[127], 1) << "0x0AFF is still slot 127";
  EXPECT_EQ(b.time, 2) << "the address after 0x0AFF is the time";
}

TEST(MotionReaderPose, InterpWaitComesFromTheQueuedPosesTest) {
  const MotionDocument doc = Read(
      "<vavid><block type=\"0\"/></vavid><mem_r size=\"2\" adr=\"0x0b42\"/>"
      "<mem_r size=\"1\" adr=\"0x0b43\"/>"
      "<vavid><block type=\"0\"/></vavid><calc><mem_r size=\"1\" adr=\"0x0B42\"/></calc>"
      "<vavid><block type=\"1\"/></vavid><calc><mem_r size=\"1\" adr=\"0x0b42\"/></calc>");
  ASSERT_EQ(doc.count(), 3);
  EXPECT_TRUE(doc.At(0)->interpWait);
  EXPECT_FALSE(doc.At(1)->interpWait);
  EXPECT_TRUE(doc.At(2)->interpWait) << "only pose blocks";
}

TEST(MotionReaderPose, ServoEnableSetsTheMaskAndTheCompanionSlots) {
  SliderTable sliders{};
  sliders[5].flags2 = SliderFlag2::kServoCompanion;
  sliders[5].channel = 2;
  sliders[9].flags2 = SliderFlag2::kServoCompanion;
  sliders[9].channel = 2;
  sliders[7].flags2 = SliderFlag2::kServoChannel;
  sliders[7].channel = 3;
  const MotionDocument doc = Read(CoreGolden("motion_read_servo_enable.kx4"), nullptr, sliders);
  ASSERT_EQ(doc.count(), 1);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.servoEnableMask,
            (std::uint64_t{1} << 2) | (std::uint64_t{1} << 3) | (std::uint64_t{1} << 63));
  EXPECT_EQ(b.slots[5], -100);
  EXPECT_EQ(b.slots[9], -100);
  EXPECT_EQ(b.slots[7], 8) << "channel 3 has no companion: no slot changes";
  EXPECT_EQ(b.slots[6], 7);
  EXPECT_EQ(b.poseConst, -2);
}

TEST(MotionReaderText, CommentTurnsMarkBackIntoQuoteAndCrLfIntoLf) {
  const MotionDocument doc = Read(
      "<vavid><block type=\"9\"/>\t<comment data=\"\r\nsay \x1Ehi\x1E\r\nline\rlone\nend\r\" />"
      "\r\n</vavid>");
  ASSERT_EQ(doc.count(), 1);
  EXPECT_EQ(doc.head()->comment, u"\nsay \"hi\"\nline\rlone\nend\r");
}

TEST(MotionReaderText, LineBreaksInNamesAndFileNamesAreLfToo) {
  const std::string text =
      "<vavid><block name=\"a\r\nb\nc\x1E\" type=\"5\"/></vavid><call filename=\"x\r\ny\"/>";
  const MotionDocument doc = Read(text);
  ASSERT_EQ(doc.count(), 1);
  EXPECT_EQ(doc.head()->name, u"a\nb\nc\x1E") << "0x1E stands for a quote in comments only";
  EXPECT_EQ(doc.head()->fileName, u"x\ny");
}

TEST(MotionReaderText, TextsComeFromTheCodePageAndAreCut) {
  const std::string longName(40, 'n');
  std::string kanjis;  // 130 characters of two bytes each
  for (int i = 0; i < 130; ++i) {
    kanjis += "\x83\x4C";
  }
  const std::string& fileName = kanjis;
  const std::string comment = "x" + kanjis;
  const MotionDocument doc =
      Read("<vavid><block name=\"" + longName + "\" type=\"7\"/></vavid><fread filename=\"" +
           fileName + "\" adr=\"0x0f00\"/><comment data=\"" + comment + "\"/>");
  ASSERT_EQ(doc.count(), 1);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.name, std::u16string(31, u'n'));
  EXPECT_EQ(b.fileName, std::u16string(129, u'\u30AD'))
      << "259 bytes hold 129 whole characters; the half character is dropped";
  EXPECT_EQ(b.fileAddr, 0x0F00);
  EXPECT_EQ(b.comment, u"x" + std::u16string(127, u'\u30AD'));

  // The first and last lead bytes of both ranges: 260 bytes keep 129 whole characters.
  for (const std::string pair : {"\x81\x40", "\x9F\x40", "\xE0\x40", "\xFC\x40"}) {
    std::string name;
    for (int i = 0; i < 130; ++i) {
      name += pair;
    }
    const MotionDocument cut =
        Read("<vavid><block type=\"7\"/></vavid><fread filename=\"" + name + "\"/>");
    EXPECT_EQ(cut.head()->fileName.size(), 129u) << static_cast<int>(pair[0] & 0xFF);
  }
}

TEST(MotionReaderText, CaptionWithAQuoteEndsAtTheQuoteAndTheTagStillReads) {
  const MotionDocument doc = Read(
      "<vavid>\r\n\t<block name=\"say \"hi\" there\" type=\"6\" xpos=\"12\" ypos=\"34\"/>\r\n"
      "</vavid>\r\n<play filename=\"a\"b.wav\"/>\r\n\r\n\r\n"
      "<vavid><block name=\"type=\" TYPE=\"4\"/></vavid>");
  ASSERT_EQ(doc.count(), 2);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.name, u"say ");
  EXPECT_TRUE(b.Is(BlockKind::Sound));
  EXPECT_EQ(std::tuple(b.xpos, b.ypos), std::tuple(12, 34));
  EXPECT_EQ(b.fileName, u"a");
  EXPECT_FALSE(b.noFile);
  EXPECT_EQ(b.next, doc.tail());
  EXPECT_EQ(doc.tail()->name, u"type=");
  EXPECT_TRUE(doc.tail()->Is(BlockKind::End)) << "a name inside a value is not an attribute";
}

TEST(MotionReaderKinds, FileSoundCancelSubroutineWaitAndInterpolationBlocks) {
  const MotionDocument doc = Read(CoreGolden("motion_read_kinds.kx4"));
  ASSERT_EQ(doc.count(), 9);
  EXPECT_EQ(doc.At(0)->fileName, u"sub.kx4");
  EXPECT_TRUE(doc.At(0)->asJump);
  EXPECT_EQ(doc.At(0)->next, doc.At(1)) << "a jump to a file is no link";
  EXPECT_EQ(doc.At(1)->fileName, u"c.kx4");
  EXPECT_FALSE(doc.At(1)->asJump);
  EXPECT_TRUE(doc.At(2)->noFile);
  EXPECT_EQ(doc.At(2)->useConst, 1u);
  EXPECT_EQ(doc.At(3)->fileName, u"x.kx4");
  EXPECT_FALSE(doc.At(3)->noFile);
  EXPECT_TRUE(doc.At(4)->noFile);
  EXPECT_EQ(doc.At(5)->fileName, u"d.dat");
  EXPECT_EQ(doc.At(5)->fileAddr, 0x0E00);
  EXPECT_EQ(doc.At(6)->time, 300) << "a flag wait is not the block's time";
  EXPECT_EQ(doc.At(7)->varAddr, 4);
  EXPECT_EQ(doc.At(7)->refAddr, 2);
  const MotionBlock& start = *doc.At(8);
  EXPECT_EQ(start.fileName, u"") << "tags of other kinds are ignored";
  EXPECT_FALSE(start.noFile);
  EXPECT_FALSE(start.asJump);
  EXPECT_EQ(start.fileAddr, 0);
}

TEST(MotionReaderFormat, NewerVersionIsReportedOnceAndStillRead) {
  const std::string text =
      "<vavid><format data=\"3\"/></vavid><vavid><format data=\"0x10\"/>"
      "<block name=\"x\" type=\"4\"/></vavid>";
  RecordingPrompter prompter;
  const MotionDocument doc = Read(text, &prompter);
  EXPECT_EQ(doc.count(), 1);
  const auto calls = prompter.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].icon, PromptIcon::kError);
  EXPECT_EQ(calls[0].text, LoadText(TextId::kMsgFormatMismatch));
  EXPECT_EQ(Read(text).count(), 1) << "quiet without a prompter";

  RecordingPrompter quiet;
  Read(std::string(kHeader) + "<format data=\"-5\"/>", &quiet);
  EXPECT_TRUE(quiet.Calls().empty());
}

TEST(MotionReaderRobustness, DeepNestingUnterminatedTagsAndHugeNumbers) {
  std::string deep =
      "<vavid><block type=\"0\" xpos=\"99999999999999\"/></vavid>"
      "<mem_w size=\"2\" adr=\"0x0a00\">";
  for (int i = 0; i < 1000; ++i) {
    deep += "<calc>";
  }
  deep += "0x7";
  for (int i = 0; i < 1000; ++i) {
    deep += "</x>";
  }
  deep += "0x0008 <jump adr=\"0x";
  const MotionDocument doc = Read(deep);
  ASSERT_EQ(doc.count(), 1);
  EXPECT_EQ(doc.head()->xpos, 2147483647);
  EXPECT_EQ(doc.head()->slots[0], 8) << "content of the mem_w again after the nested tags";
  EXPECT_EQ(doc.head()->next, nullptr);

  EXPECT_EQ(Read("<vavid><block type=\"4\"/></vavid><comment data=\"> <").count(), 1);
  EXPECT_EQ(Read("<vavid><block type=\"4\" name=\"a>b\"/></vavid>").head()->name, u"a>b");
  EXPECT_EQ(Read("<<<<\"\"\"\">>>>\x00\xFF").count(), 0);
}

TEST(MotionReaderRobustness, ReadingStopsAtTheBlockAfterThe32767th) {
  std::string text;
  for (int i = 0; i < 32769; ++i) {
    text += "<vavid><block type=\"10\"/></vavid><wait data=\"7\"/>";
  }
  const MotionDocument doc = Read(text);
  ASSERT_EQ(doc.count(), 32767);
  EXPECT_EQ(doc.tail()->time, 7);
  EXPECT_EQ(doc.tail()->next, nullptr);
  EXPECT_EQ(doc.tail()->prev->next, doc.tail());
}

TEST(MotionReaderNumbers, ParseMotionNumberOddInputs) {
  EXPECT_EQ(ParseMotionNumber(""), 0);
  EXPECT_EQ(ParseMotionNumber("zz"), 0);
  EXPECT_EQ(ParseMotionNumber("  42 7"), 42);
  EXPECT_EQ(ParseMotionNumber("x-15"), -15);
  EXPECT_EQ(ParseMotionNumber("+0x1F"), 31);
  EXPECT_EQ(ParseMotionNumber("-0X10"), -16);
  EXPECT_EQ(ParseMotionNumber("0xffffffff"), 0xFFFFFFFF);
  EXPECT_EQ(ParseMotionNumber("0x123456789"), 0x23456789) << "modulo 2^32";
  EXPECT_EQ(ParseMotionNumber("0x12g4"), 0x12);
  EXPECT_EQ(ParseMotionNumber("0x"), 0);
  EXPECT_EQ(ParseMotionNumber("abc"), 0) << "starts at 'a', which is no decimal digit";
  EXPECT_EQ(ParseMotionNumber(".5"), 0);
  EXPECT_EQ(ParseMotionNumber("12.9"), 12);
  EXPECT_EQ(ParseMotionNumber("--3"), 0);
  EXPECT_EQ(ParseMotionNumber("99999999999999999999999"), 2147483647);
  EXPECT_EQ(ParseMotionNumber("-2147483648"), -2147483648LL);
  EXPECT_EQ(ParseMotionNumber("-99999999999"), -2147483648LL);
  EXPECT_EQ(ParseMotionNumber(std::string_view("\0"
                                               "7",
                                               2)),
            7);
}

TEST(MotionReaderAttributes, FindAttributeOddInputs) {
  EXPECT_EQ(FindAttribute(" size=\"2\" adr=\"0x0a00\"", "adr"), "0x0a00");
  EXPECT_EQ(FindAttribute(" size=\"2\" adr=\"0x0a00\"", "ADR"), "0x0a00");
  EXPECT_EQ(FindAttribute(" adrx=\"1\" adr=\"2\"", "adr"), "2") << "whole words only";
  EXPECT_EQ(FindAttribute(" xadr=\"1\"", "adr"), std::nullopt);
  EXPECT_EQ(FindAttribute(" name=\"adr=&quot;5\" adr=\"6\"", "adr"), "6");
  EXPECT_EQ(FindAttribute(" name=\" adr=\" data=\"1\"", "adr"), std::nullopt);
  EXPECT_EQ(FindAttribute(" name=\"open", "name"), "open") << "runs to the end";
  EXPECT_EQ(FindAttribute(" name =  \"x\"", "name"), "x");
  EXPECT_EQ(FindAttribute(" name=x data=\"1\"", "name"), "") << "no quote: empty";
  EXPECT_EQ(FindAttribute(" name=x data=\"1\"", "data"), "1");
  EXPECT_EQ(FindAttribute(" name", "name"), std::nullopt) << "no '='";
  EXPECT_EQ(FindAttribute(" name data=\"1\"", "name"), std::nullopt);
  EXPECT_EQ(FindAttribute("", "name"), std::nullopt);
  EXPECT_EQ(FindAttribute("\"\"=\"", "name"), std::nullopt);
  const std::string huge = "data=\"" + std::string(5000, '7') + "\"";
  EXPECT_EQ(FindAttribute(huge, "data")->size(), kMotionAttributeMaxBytes);
}

TEST(MotionReaderFile, ReadsAFileAndFailsOnMissingOrUnreadableOnes) {
  TempDir dir;
  WriteBytes(dir / "m.kx4", "<vavid><block type=\"3\"/></vavid><vavid><block type=\"4\"/></vavid>");
  const auto doc = ReadMotionFile(dir / "m.kx4", kNoSliders, nullptr);
  ASSERT_TRUE(doc.has_value());
  EXPECT_EQ(doc->count(), 2);
  EXPECT_FALSE(ReadMotionFile(dir / "missing.kx4", kNoSliders, nullptr).has_value());
  EXPECT_FALSE(ReadMotionFile(dir.Path(), kNoSliders, nullptr).has_value());
  WriteBytes(dir / "huge.kx4", "");
  std::filesystem::resize_file(dir / "huge.kx4", (std::uintmax_t{256} << 20) + 1);
  EXPECT_FALSE(ReadMotionFile(dir / "huge.kx4", kNoSliders, nullptr).has_value());
  WriteBytes(dir / "empty.kx4", "");
  const auto empty = ReadMotionFile(dir / "empty.kx4", kNoSliders, nullptr);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
}

}  // namespace
}  // namespace gestalon::core
