#include "board/motion_compiler.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "byte_code_fixtures.h"
#include "motion_block_setup.h"
#include "recording_ports.h"

namespace gestalon::core {
namespace {

using testing::AddBlock;
using testing::B;
using testing::Bytes;
using testing::Chain;
using testing::FakeCompileList;
using testing::L;
using testing::Mem;
using testing::Op;
using testing::SetOperands;
using testing::W;
using testing::operator+;

Bytes Compile(const MotionDocument& document, CompileOptions options = {}) {
  const auto code = CompileMotion(document, options);
  EXPECT_TRUE(code.has_value());
  return code.value_or(Bytes{});
}

Bytes QueueWait(std::uint32_t start) {
  return B({0xC0}) + Op(0xC8, 0x0B42) + Op(0xC4, 5) + B({0xD1, 0xDE}) + Op(0xE0, start + 25) +
         B({0x88, 1}) + Op(0x81, start);
}

Bytes PoseWrites(const std::array<std::int16_t, kPoseSlotCount>& slots, std::uint16_t time) {
  Bytes data;
  for (int b = 0; b < 255; ++b) {
    const auto value = static_cast<std::uint16_t>(slots[static_cast<std::size_t>(b / 2)]);
    data.push_back(static_cast<std::uint8_t>(b % 2 == 0 ? value & 0xFF : value >> 8));
  }
  return Mem(0x0A00, data) + Mem(0x0B00, W(time));
}

// Start -> block -> End in list order; returns the middle block.
MotionBlock& Framed(MotionDocument& document, BlockKind kind) {
  MotionBlock& start = AddBlock(document, BlockKind::Start);
  MotionBlock& block = AddBlock(document, kind);
  Chain({&start, &block, &AddBlock(document, BlockKind::End)});
  return block;
}

// The code of Framed's Start block, which jumps to the middle block at address 6.
const Bytes kFramedStart = Op(0x81, 6) + B({0x83});

TEST(MotionCompilerFlow, StartAlwaysJumpsThenEnds) {
  MotionDocument document;
  MotionBlock& start = AddBlock(document, BlockKind::Start);
  MotionBlock& end = AddBlock(document, BlockKind::End);
  start.next = &end;
  EXPECT_EQ(Compile(document), Op(0x81, 6) + B({0x83, 0x83}));
  start.next = nullptr;
  EXPECT_EQ(Compile(document), B({0x83, 0x83, 0x83}));
  MotionDocument other;
  start.next = &AddBlock(other, BlockKind::End);  // outside the motion: no link
  EXPECT_EQ(Compile(document), B({0x83, 0x83, 0x83}));
  EXPECT_EQ(Compile(MotionDocument{}), B({0x83}));
}

TEST(MotionCompilerFlow, LinksFallThroughOnlyToTheFollowingBlock) {
  MotionDocument document;
  MotionBlock& start = AddBlock(document, BlockKind::Start);
  MotionBlock& first = AddBlock(document, BlockKind::Wait);
  MotionBlock& second = AddBlock(document, BlockKind::Wait);
  Chain({&start, &first, &second, &AddBlock(document, BlockKind::End)});
  first.time = 255;  // the longest short wait
  second.time = 256;
  EXPECT_EQ(Compile(document), kFramedStart + B({0x88, 0xFF, 0x89, 0x00, 0x01, 0x83}));
  second.next = &first;  // backwards: a jump
  first.next = nullptr;  // none: end
  EXPECT_EQ(Compile(document),
            kFramedStart + B({0x88, 0xFF, 0x83}) + B({0x89, 0x00, 0x01}) + Op(0x81, 6) + B({0x83}));
}

TEST(MotionCompilerPose, QueueOrInterpolationWaitAroundTargetsAndTheScaledTime) {
  const int scaled[][3] = {{50, 33, 16}, {1, 1, 0}, {40000, 200, 65535}};
  for (const auto& [time, percent, result] : scaled) {
    EXPECT_EQ(ScaledPoseTime(time, percent), result) << time << " at " << percent;
  }
  MotionDocument document;
  MotionBlock& pose = Framed(document, BlockKind::Pose);
  for (int i = 0; i < kPoseSlotCount; ++i) {
    pose.slots[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 0x0101 - 300);
  }
  // The high byte of slot 127 does not fit the one-byte length and is not sent.
  const std::uint32_t poseStart = 0x1000 + 6;
  EXPECT_EQ(Compile(document, {.baseAddress = 0x1000}), Op(0x81, poseStart) + B({0x83}) +
                                                            QueueWait(poseStart) +
                                                            PoseWrites(pose.slots, 50) + B({0x83}));
  pose.interpWait = true;
  EXPECT_EQ(Compile(document, {.overridePercent = 150}),
            kFramedStart + PoseWrites(pose.slots, 75) + Op(0x8C, 0x0B43) + B({0x83}));
  EXPECT_EQ(pose.time, 50);
}

TEST(MotionCompilerPose, ServoMaskZeroesTheChannelsCompanionsOnly) {
  // Slider 12 is the channel slider itself and keeps its value; channels past 31 are not switched.
  SliderTable sliders{};
  const int companions[][3] = {{10, SliderFlag2::kServoCompanion, 3},
                               {12, SliderFlag2::kServoChannel, 3},
                               {13, SliderFlag2::kServoCompanion, 32},
                               {14, SliderFlag2::kServoCompanion, 0}};
  for (const auto& [slider, flags2, channel] : companions) {
    sliders[slider].flags2 = static_cast<std::uint32_t>(flags2);
    sliders[slider].channel = channel;
  }
  MotionDocument document;
  MotionBlock& pose = Framed(document, BlockKind::Pose);
  pose.interpWait = true;
  for (std::size_t k : {10, 12, 13, 14}) {
    pose.slots[k] = 0x1234;
  }
  pose.servoEnableMask = (1ULL << 0) | (1ULL << 3) | (1ULL << 32);
  const CompileOptions options{.sliders = &sliders};
  auto expectedSlots = pose.slots;
  expectedSlots[10] = 0;
  expectedSlots[14] = 0;
  EXPECT_EQ(Compile(document, options),
            kFramedStart + PoseWrites(expectedSlots, 50) + Op(0x8C, 0x0B43) + B({0x83}));
  EXPECT_EQ(pose.slots[10], 0x1234);
}

TEST(MotionCompilerCalc, EveryOperatorWithConstantAndVariable) {
  MotionDocument document;
  MotionBlock& calc = Framed(document, BlockKind::Calc);
  SetOperands(calc, 0, 2, 0x0F00, 1, 0x0F10, 0, -2);
  for (std::uint16_t op = 0; op <= 9; ++op) {
    calc.op = op;
    calc.useConst = 1;
    const Bytes readsResult = op == 0 || op == 9 ? Bytes{} : Op(0xC9, 0x0F00);
    const Bytes combine = op == 0 ? Bytes{} : B({0xD0 + op - 1});
    EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + readsResult + Op(0xC4, 0xFFFFFFFE) +
                                     combine + Op(0xCD, 0x0F00) + B({0x83}))
        << op;
    calc.useConst = 0;
    EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + readsResult + Op(0xC8, 0x0F10) +
                                     combine + Op(0xCD, 0x0F00) + B({0x83}))
        << op;
  }
}

TEST(MotionCompilerCalc, VariableSizesPickTheOpcodes) {
  MotionDocument document;
  MotionBlock& calc = Framed(document, BlockKind::Calc);
  SetOperands(calc, CalcOp::kAdd, 1, 0x0E00, 4, 0x0E04, 0, 0);
  EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + Op(0xC8, 0x0E00) + Op(0xCA, 0x0E04) +
                                   B({0xD0}) + Op(0xCC, 0x0E00) + B({0x83}));
  calc.varSize = 4;
  calc.refSize = 2;
  EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + Op(0xCA, 0x0E00) + Op(0xC9, 0x0E04) +
                                   B({0xD0}) + Op(0xCE, 0x0E00) + B({0x83}));
  // A size the board does not know is taken as a word; an unknown operator assigns.
  calc.varSize = 0;
  calc.op = 12;
  EXPECT_EQ(Compile(document),
            kFramedStart + B({0xC0}) + Op(0xC9, 0x0E04) + Op(0xCD, 0x0E00) + B({0x83}));
}

TEST(MotionCompilerBranch, EveryComparisonOperator) {
  // Each operator's combining and comparing instructions.
  const int combine[9] = {0xD1, 0xD1, 0xD1, 0xD1, 0xD1, 0xD1, 0xD4, 0xD5, 0xD7};
  const int compare[9] = {0xD9, 0xDA, 0xDC, 0xDB, 0xDE, 0xDD, 0xD9, 0xDA, 0xD9};
  for (BlockKind kind : {BlockKind::If, BlockKind::PadIf}) {
    MotionDocument document;
    MotionBlock& branch = Framed(document, kind);
    MotionBlock& target = AddBlock(document, BlockKind::End);
    branch.branch = &target;
    SetOperands(branch, 0, 2, 0x0EE4, 1, 0x0F02, 0, 0);
    for (std::uint16_t op = 0; op < 9; ++op) {
      branch.op = op;
      branch.useConst = 1;
      branch.constValue = 0x20;
      // Start 6 bytes, branch 18 bytes at 6, End at 24, target End at 25.
      EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + Op(0xC9, 0x0EE4) + Op(0xC4, 0x20) +
                                       B({combine[op], compare[op]}) + Op(0xE0, 25) +
                                       B({0x83, 0x83}))
          << op;
      branch.useConst = 0;
      EXPECT_EQ(Compile(document), kFramedStart + B({0xC0}) + Op(0xC9, 0x0EE4) + Op(0xC8, 0x0F02) +
                                       B({combine[op], compare[op]}) + Op(0xE0, 25) +
                                       B({0x83, 0x83}))
          << op;
    }
  }
}

TEST(MotionCompilerBranch, AlwaysAndNever) {
  MotionDocument document;
  MotionBlock& branch = Framed(document, BlockKind::If);
  MotionBlock& end = *branch.next;
  MotionBlock& other = AddBlock(document, BlockKind::End);
  branch.op = BranchOp::kAlways;
  branch.branch = &other;
  EXPECT_EQ(Compile(document), kFramedStart + Op(0x81, 12) + B({0x83, 0x83}));
  branch.branch = &end;  // the block that follows: falls through
  EXPECT_EQ(Compile(document), kFramedStart + B({0x83, 0x83}));
  branch.op = BranchOp::kNever;
  branch.branch = nullptr;
  branch.next = &other;
  EXPECT_EQ(Compile(document), kFramedStart + Op(0x81, 12) + B({0x83, 0x83}));
}

TEST(MotionCompilerBranch, ConstantsAreSignExtendedFromTheFirstVariablesSize) {
  MotionDocument document;
  MotionBlock& branch = Framed(document, BlockKind::If);
  branch.op = BranchOp::kEqual;
  branch.useConst = 1;
  const struct {
    std::uint32_t size;
    std::int32_t constant;
    std::uint32_t pushed;
  } cases[] = {{1, 0x17F, 0x7F}, {2, 0x8000, 0xFFFF8000}, {2, 0x7FFF, 0x7FFF}, {4, 0x8000, 0x8000}};
  for (const auto& c : cases) {
    branch.varSize = c.size;
    branch.constValue = c.constant;
    const Bytes code = Compile(document);
    ASSERT_EQ(code.size(), 25u);
    EXPECT_EQ(Bytes(code.begin() + 12, code.begin() + 17), Op(0xC4, c.pushed))
        << c.size << " " << c.constant;
  }
}

TEST(MotionCompilerCalls, SoundWaitsForThePoseUnlessToldNotAndTooLongNamesAreRefused) {
  MotionDocument document;
  MotionBlock& sound = Framed(document, BlockKind::Sound);
  sound.fileName = u"声.wav";
  FakeCompileList list;
  testing::RecordingPrompter prompter;
  const CompileOptions options{.compileList = &list, .prompter = &prompter};
  const Bytes name = B({0x90, 0xBA, '.', 'w', 'a', 'v', 0});
  const Bytes play = Mem(0x0400, name) + Mem(0x01E0, B({1}));
  EXPECT_EQ(Compile(document, options), kFramedStart + Op(0x8C, 0x0B43) + play + B({0x83}));
  sound.useConst = 1;
  EXPECT_EQ(Compile(document, options), kFramedStart + play + B({0x83}));
  EXPECT_EQ(list.calls.at(0), std::make_pair(std::u16string(u"声.wav"), 2));
  sound.fileName = std::u16string(128, u'声');  // 256 bytes on the board
  EXPECT_FALSE(CompileMotion(document, options).has_value());
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_NE(prompter.Calls()[0].text.find(sound.fileName), std::u16string::npos);
  // Stopping the sound sends an empty name and lists no file.
  sound.noFile = true;
  list.calls.clear();
  EXPECT_EQ(Compile(document, options),
            kFramedStart + Mem(0x0400, B({0})) + Mem(0x01E0, B({1})) + B({0x83}));
  EXPECT_TRUE(list.calls.empty());
}

TEST(MotionCompilerCalls, FileReadAndWrite) {
  for (BlockKind kind : {BlockKind::FileRead, BlockKind::FileWrite}) {
    MotionDocument document;
    MotionBlock& file = Framed(document, kind);
    file.fileName = u"data\\a.bin";
    file.fileAddr = 0x0F20;
    FakeCompileList list;
    const CompileOptions options{.compileList = &list};
    const int command = kind == BlockKind::FileRead ? 1 : 2;
    EXPECT_EQ(Compile(document, options),
              kFramedStart +
                  Mem(0x0400, B({'d', 'a', 't', 'a', '\\', 'a', '.', 'b', 'i', 'n', 0})) +
                  Mem(0x01D8, L(0x0F20)) + Mem(0x01D0, B({command})) + B({0x83}));
    EXPECT_EQ(list.calls, (std::vector{std::make_pair(std::u16string(u"data\\a.bin"), 3)}));
    file.fileName = std::u16string(254, u'a');
    EXPECT_EQ(Compile(document, options).at(11), 255);  // the longest name and its zero
    file.fileName = std::u16string(255, u'b');
    EXPECT_FALSE(CompileMotion(document, options).has_value());
  }
}

TEST(MotionCompilerCalls, CancelTestsTheCancelBitsAndCallsItsSubroutineLikeASubroutineBlock) {
  MotionDocument document;
  MotionBlock& cancel = Framed(document, BlockKind::Cancel);
  cancel.fileName = u"stop.KX4";
  FakeCompileList list;
  list.addresses[u"stop.KX4"] = 0x0800;
  const CompileOptions options{.controllerCancelBits = 0x0030, .compileList = &list};
  const Bytes test = B({0xC0}) + Op(0xC9, 0x0EE6) + Op(0xC4, 0x30) + B({0xD5}) + Op(0xC4, 0x30) +
                     B({0xD1, 0xDA}) + Mem(0x0EE6, W(0));
  // The next block (End) follows the 48-byte cancel code at 6.
  EXPECT_EQ(Compile(document, options), kFramedStart + test + Op(0xE0, 54) + Mem(0x0FFC, L(6)) +
                                            Op(0x82, 0x0800) + B({0x83, 0x83}));
  EXPECT_EQ(list.calls, (std::vector{std::make_pair(std::u16string(u"stop.KX4"), 0)}));
  cancel.noFile = true;
  EXPECT_EQ(Compile(document, options), kFramedStart + test + Op(0xE0, 39) + B({0x83, 0x83}));
  EXPECT_EQ(list.calls.size(), 1u);
  cancel.next = nullptr;  // goes to the end address: the Start block's end instruction
  EXPECT_EQ(Compile(document, options), kFramedStart + test + Op(0xE0, 5) + B({0x83, 0x83}));
}

TEST(MotionCompilerRanges, BlockRangesGoToTheEditedMotion) {
  MotionDocument document;
  MotionBlock& start = AddBlock(document, BlockKind::Start);
  MotionBlock& change = AddBlock(document, BlockKind::InterpChange);
  MotionBlock& wait = AddBlock(document, BlockKind::Wait);
  AddBlock(document, BlockKind::End);
  start.next = &wait;
  change.next = &wait;
  wait.next = nullptr;
  MotionDocument edited;
  for (int i = 0; i < 5; ++i) {  // longer than the compiled motion: the last keeps its range
    AddBlock(edited, BlockKind::Pose).fileStart = 999;
  }
  CompileOptions options{.baseAddress = 100, .copyRangesTo = &edited};
  EXPECT_EQ(Compile(document, options), Op(0x81, 106) + B({0x83, 0x88, 50, 0x83, 0x83}));
  const std::uint32_t ranges[5][2] = {{100, 106}, {106, 106}, {106, 109}, {109, 110}, {999, 0}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::tuple(edited.At(i)->fileStart, edited.At(i)->fileEnd),
              std::tuple(ranges[i][0], ranges[i][1]))
        << i;
  }
}

}  // namespace
}  // namespace gestalon::core
