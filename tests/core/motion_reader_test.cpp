#include "motion/motion_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "golden_files.h"
#include "motion/motion_writer.h"
#include "motion_block_setup.h"
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
  EXPECT_TRUE(Read("<vavid><Block name=\"x\" type=\"4\"/></vavid>").empty())
      << "tag names are compared exactly";
}

TEST(MotionReaderLayout, HashCommentsOddSpacingAndMissingAttributes) {
  // Comments, tags spread over lines, stray commas, a bad number and a block without attributes.
  const MotionDocument doc = Read(CoreGolden("motion_read_hand_written.kx4"));
  ASSERT_EQ(doc.count(), 2);
  const MotionBlock& a = *doc.head();
  EXPECT_EQ(std::tuple(a.name, a.type, a.xpos), std::tuple(u"A", 0, 3));
  EXPECT_EQ(std::tuple(a.slots[0], a.slots[1], a.slots[2], a.slots[3], a.slots[4]),
            std::tuple(5, -6, 10, 1, 0))
      << "'#7' is a comment";
  EXPECT_EQ(std::tuple(doc.tail()->name, doc.tail()->type), std::tuple(u"", 0));
}

// Start, then a wait block whose section runs on past its jump to the end section.
TEST(MotionReaderLayout, WaitBlockLastInTheFileKeepsItsTimeAfterTheEndSection) {
  const std::string text = CoreGolden("motion_read_wait_last.kx4");
  const MotionDocument doc = Read(text);
  ASSERT_EQ(doc.count(), 2);
  EXPECT_EQ(doc.tail()->time, 300);
  EXPECT_EQ(doc.tail()->fileEnd, text.size()) << "the last section runs to the end";
  EXPECT_EQ(BuildMotionFileText(doc, kNoSliders, 100, nullptr), text);
}

// Block 0 jumps to block 2, then to 0 and nowhere; block 1 jumps to 0, then to 2; block 2 to 0.
TEST(MotionReaderLinks, JumpWithAddressZeroIsIgnoredAndALaterJumpWins) {
  const MotionDocument doc = Read(CoreGolden("motion_read_zero_jumps.kx4"));
  ASSERT_EQ(doc.count(), 3);
  EXPECT_EQ(std::tuple(doc.At(0)->next, doc.At(1)->next, doc.At(2)->next),
            std::tuple(doc.At(2), doc.At(2), nullptr));
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
  EXPECT_EQ(std::tuple(ifBlock->branch, ifBlock->next), std::tuple(calc, ifBlock));
  EXPECT_EQ(testing::OperandFields(*ifBlock), std::tuple(3, 0x0F10, 0x0F20, 1u, 2u, -70000, 1u))
      << "the full constant, not the const tag's 16 bits";
  EXPECT_EQ(std::tuple(calc->branch, calc->next), std::tuple(nullptr, nullptr))
      << "return after the calculation";
  EXPECT_EQ(std::tuple(calc->op, calc->varAddr), std::tuple(9, 0xFFFF));
  EXPECT_EQ(std::tuple(pad->branch, pad->next), std::tuple(nullptr, calc))
      << "the later return overrides the jump";
}

TEST(MotionReaderPose, SlotValuesTimeAndTheInterpWaitFromTheQueuedPosesTest) {
  const MotionDocument doc = Read(
      "<vavid><block type=\"0\"/></vavid><mem_w size=\"2\" adr=\"0x0a04\">\r\n\t0x0011,0x0022,"
      "\r\n</mem_w><mem_w size=\"2\" adr=\"0x0b00\">0x0040,0x0050</mem_w>"
      "<mem_w size=\"1\" adr=\"0x0aff\">1,2,3</mem_w><mem_r size=\"2\" adr=\"0x0b42\"/>"
      "<vavid><block type=\"0\"/></vavid><calc><mem_r size=\"1\" adr=\"0x0B42\"/></calc>"
      "<vavid><block type=\"1\"/></vavid><calc><mem_r size=\"1\" adr=\"0x0b42\"/></calc>");
  ASSERT_EQ(doc.count(), 3);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(std::tuple(b.slots[1], b.slots[2], b.slots[3], b.slots[4]),
            std::tuple(0, 0x11, 0x22, 0))
      << "fewer than 128 values set only the leading slots";
  EXPECT_EQ(b.slots[127], 1) << "0x0AFF is still slot 127";
  EXPECT_EQ(b.time, 2) << "the address after 0x0AFF is the time";
  EXPECT_EQ(std::tuple(doc.At(0)->interpWait, doc.At(1)->interpWait, doc.At(2)->interpWait),
            std::tuple(true, false, true))
      << "only pose blocks";
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
  EXPECT_EQ(std::tuple(b.slots[5], b.slots[9], b.slots[6]), std::tuple(-100, -100, 7));
  EXPECT_EQ(b.slots[7], 8) << "channel 3 has no companion: no slot changes";
}

TEST(MotionReaderText, CommentTurnsMarkBackIntoQuoteAndCrLfIntoLf) {
  const MotionDocument doc = Read(
      "<vavid><block type=\"9\"/>\t<comment data=\"\r\nsay \x1Ehi\x1E\r\nline\rlone\nend\r\" />"
      "\r\n</vavid>");
  ASSERT_EQ(doc.count(), 1);
  EXPECT_EQ(doc.head()->comment, u"\nsay \"hi\"\nline\rlone\nend\r");
  EXPECT_EQ(Read("<vavid><block name=\"a\r\nb\nc\x1E\" type=\"5\"/></vavid>").head()->name,
            u"a\nb\nc\x1E")
      << "names get LF too; 0x1E stands for a quote in comments only";
}

TEST(MotionReaderText, TextsComeFromTheCodePageAndAreCut) {
  const std::string longName(40, 'n');
  std::string kanjis;  // 130 characters of two bytes each
  for (int i = 0; i < 130; ++i) {
    kanjis += "\x83\x4C";
  }
  const MotionDocument doc =
      Read("<vavid><block name=\"" + longName + "\" type=\"7\"/></vavid><fread filename=\"" +
           kanjis + "\" adr=\"0x0f00\"/><comment data=\"x" + kanjis + "\"/>");
  ASSERT_EQ(doc.count(), 1);
  const MotionBlock& b = *doc.head();
  EXPECT_EQ(b.name, std::u16string(31, u'n'));
  EXPECT_EQ(b.fileName, std::u16string(129, u'\u30AD'))
      << "259 bytes hold 129 whole characters; the half character is dropped";
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
  EXPECT_EQ(std::tuple(b.name, b.type, b.ypos, b.fileName), std::tuple(u"say ", 6, 34, u"a"));
  EXPECT_EQ(doc.tail()->name, u"type=");
  EXPECT_TRUE(doc.tail()->Is(BlockKind::End)) << "a name inside a value is not an attribute";
}

TEST(MotionReaderKinds, FileSoundCancelSubroutineWaitAndInterpolationBlocks) {
  const MotionDocument doc = Read(CoreGolden("motion_read_kinds.kx4"));
  ASSERT_EQ(doc.count(), 9);
  auto fields = [&](int i) {
    const MotionBlock& b = *doc.At(i);
    return std::tuple(b.fileName, b.asJump, b.noFile, b.useConst, b.fileAddr);
  };
  EXPECT_EQ(fields(0), std::tuple(u"sub.kx4", true, false, 0u, 0));
  EXPECT_EQ(doc.At(0)->next, doc.At(1)) << "a jump to a file is no link";
  EXPECT_EQ(fields(1), std::tuple(u"c.kx4", false, false, 0u, 0));
  EXPECT_EQ(fields(2), std::tuple(u"", false, true, 1u, 0));
  EXPECT_EQ(fields(3), std::tuple(u"x.kx4", false, false, 0u, 0));
  EXPECT_TRUE(doc.At(4)->noFile);
  EXPECT_EQ(fields(5), std::tuple(u"d.dat", false, false, 0u, 0x0E00));
  EXPECT_EQ(doc.At(6)->time, 300) << "a flag wait is not the block's time";
  EXPECT_EQ(std::tuple(doc.At(7)->varAddr, doc.At(7)->refAddr), std::tuple(4, 2));
  EXPECT_EQ(fields(8), std::tuple(u"", false, false, 0u, 0)) << "tags of other kinds are ignored";
}

TEST(MotionReaderFormat, NewerVersionIsReportedOnceAndStillRead) {
  const std::string text =
      "<vavid><format data=\"3\"/></vavid><vavid><format data=\"0x10\"/>"
      "<block name=\"x\" type=\"4\"/></vavid>";
  RecordingPrompter prompter;
  EXPECT_EQ(Read(text, &prompter).count(), 1);
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_EQ(prompter.Calls()[0].text, LoadText(TextId::kMsgFormatMismatch));
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
  EXPECT_EQ(std::tuple(doc.head()->xpos, doc.head()->slots[0], doc.head()->next),
            std::tuple(2147483647, 8, nullptr))
      << "content of the mem_w again after the nested tags";
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
  EXPECT_EQ(doc.tail()->next, nullptr);
}

TEST(MotionReaderNumbers, ParseMotionNumberOddInputs) {
  EXPECT_EQ(ParseMotionNumber(""), 0);
  EXPECT_EQ(ParseMotionNumber("  42 7"), 42);
  EXPECT_EQ(ParseMotionNumber("0xffffffff"), 0xFFFFFFFF);
  EXPECT_EQ(ParseMotionNumber("0x123456789"), 0x23456789) << "modulo 2^32";
  EXPECT_EQ(ParseMotionNumber("0x12g4"), 0x12);
  EXPECT_EQ(ParseMotionNumber("abc"), 0) << "starts at 'a', which is no decimal digit";
  EXPECT_EQ(ParseMotionNumber("99999999999999999999999"), 2147483647);
  EXPECT_EQ(ParseMotionNumber("-99999999999"), -2147483648LL);
  EXPECT_EQ(ParseMotionNumber(std::string(1, '\0') + "7"), 7);
}

TEST(MotionReaderAttributes, FindAttributeOddInputs) {
  EXPECT_EQ(FindAttribute(" size=\"2\" adr=\"0x0a00\"", "ADR"), "0x0a00");
  EXPECT_EQ(FindAttribute(" adrx=\"1\" adr=\"2\"", "adr"), "2") << "whole words only";
  EXPECT_EQ(FindAttribute(" name=\"adr=&quot;5\" adr=\"6\"", "adr"), "6");
  EXPECT_EQ(FindAttribute(" name=\" adr=\" data=\"1\"", "adr"), std::nullopt);
  EXPECT_EQ(FindAttribute(" name=\"open", "name"), "open") << "runs to the end";
  EXPECT_EQ(FindAttribute(" name=x data=\"1\"", "name"), "") << "no quote: empty";
  EXPECT_EQ(FindAttribute(" name data=\"1\"", "name"), std::nullopt) << "no '='";
  const std::string huge = "data=\"" + std::string(5000, '7') + "\"";
  EXPECT_EQ(FindAttribute(huge, "data")->size(), kMotionAttributeMaxBytes);
}

TEST(MotionReaderFile, ReadsAFileAndFailsOnMissingOrUnreadableOnes) {
  TempDir dir;
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
