#include "pose/batch_offset.h"

#include <gtest/gtest.h>

#include <optional>

#include "editing_session.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;
using testing::ShownTexts;
using testing::Texts;

// Sliders with the range -1000..1000 and helpers to build the motion.
struct Session : testing::EditingSession {
  Session() {
    for (SliderDef& slider : project.sliders) {
      slider.minimum = -1000;
      slider.maximum = 1000;
    }
  }
  MotionBlock& AddBlock(BlockKind kind, bool selected, std::int16_t value) {
    MotionBlock block;
    block.type = static_cast<std::int32_t>(kind);
    block.selFlags = selected ? kBlockSelected : 0;
    block.slots.fill(value);
    return document.Append(block);
  }
};

TEST(BatchOffsetEntry, ParsesSignedDecimalsWithinTheLimit) {
  EXPECT_EQ(ParseBatchOffset(u"-65535", nullptr), std::optional<std::int32_t>(-65535));
  RecordingPrompter prompter;
  for (const char16_t* text : {u"65536", u"", u"1.5", u"-"}) {
    EXPECT_FALSE(ParseBatchOffset(text, &prompter)) << ToUtf8(text);
  }
  EXPECT_EQ(ShownTexts(prompter),
            Texts({TextId::kMsgBatchOffsetOutOfRange, TextId::kMsgOffsetNotNumber,
                   TextId::kMsgOffsetNotNumber, TextId::kMsgOffsetNotNumber}));
}

TEST(BatchOffsetEntry, SetsTheSelectedItemsOrAsksForASelection) {
  BatchOffsets offsets{};
  RecordingPrompter prompter;
  EXPECT_FALSE(SetBatchOffsetsFromText(offsets, u"abc", {}, &prompter));
  EXPECT_FALSE(SetBatchOffsetsFromText(offsets, u"5", {96, -1}, &prompter));
  EXPECT_FALSE(SetBatchOffsetsFromText(offsets, u"abc", {0}, &prompter));
  EXPECT_EQ(ShownTexts(prompter), Texts({TextId::kMsgSelectListItem, TextId::kMsgSelectListItem,
                                         TextId::kMsgOffsetNotNumber}));
  EXPECT_EQ(offsets, BatchOffsets{});
  EXPECT_TRUE(SetBatchOffsetsFromText(offsets, u"-300", {0}, &prompter));
  EXPECT_TRUE(SetBatchOffsetsFromText(offsets, u"-300", {-1, 95, 96}, &prompter));
  BatchOffsets expected{};
  expected[0] = expected[95] = -300;
  EXPECT_EQ(offsets, expected);
}

TEST(BatchOffsetApply, AfterAYesOffsetsEnabledSlidersOfSelectedPoseBlocksWithClamping) {
  Session session;
  session.project.sliders[1].flags2 = SliderFlag2::kDisabled;
  session.project.sliders[3].minimum = 0;
  session.project.sliders[3].maximum = 100;
  MotionBlock& first = session.AddBlock(BlockKind::Pose, true, 50);
  MotionBlock& unselected = session.AddBlock(BlockKind::Pose, false, 50);
  MotionBlock& calc = session.AddBlock(BlockKind::Calc, true, 50);
  MotionBlock& second = session.AddBlock(BlockKind::Pose, true, -990);
  BatchOffsets offsets{};
  offsets.fill(20);
  offsets[3] = 65535;
  offsets[4] = -65535;
  session.prompter.QueueAnswer(PromptAnswer::kNo);
  EXPECT_FALSE(ApplyBatchOffset(session.context, offsets));
  EXPECT_EQ(first.slots[0], 50);
  EXPECT_EQ(session.undo.steps, 0);
  ASSERT_TRUE(ApplyBatchOffset(session.context, offsets));
  EXPECT_EQ(first.slots[0], 70);
  EXPECT_EQ(first.slots[1], 50) << "disabled slider";
  EXPECT_EQ(first.slots[3], 100) << "clamped to the maximum";
  EXPECT_EQ(first.slots[4], -1000) << "clamped to the minimum";
  EXPECT_EQ(first.slots[95], 70);
  EXPECT_EQ(first.slots[96], 50) << "sliders from 96 on are not offered";
  EXPECT_EQ(second.slots[0], -970);
  EXPECT_EQ(unselected.slots[0] + calc.slots[0], 100);
  EXPECT_EQ(session.undo.steps, 1);
  EXPECT_EQ(session.views.events, (std::vector<std::string>{"repaint pose"}));
  EXPECT_EQ(ShownTexts(session.prompter),
            Texts({TextId::kMsgConfirmBatchOffset, TextId::kMsgConfirmBatchOffset,
                   TextId::kMsgBatchOffsetDone}));
  EXPECT_EQ(session.prompter.Calls()[0].buttons, PromptButtons::kYesNo);
}

}  // namespace
}  // namespace gestalon::core
