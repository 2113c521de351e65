#include "pose/base_pose_editing.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

#include "editing_session.h"
#include "shown_texts.h"
#include "strings/text_id.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;
using testing::ShownTexts;
using testing::Texts;
using Session = testing::EditingSession;

BasePoseTable TableWithNames(std::initializer_list<const char16_t*> names) {
  BasePoseTable table;
  std::size_t n = 0;
  for (const char16_t* name : names) {
    table.entries[n].name = name;
    table.entries[n].registered = true;
    table.entries[n].axisEnable[0] = true;
    table.entries[n].values[0] = static_cast<std::int16_t>(100 + n);
    ++n;
  }
  return table;
}

// Makes slider k drive `channel` with `companion`, with extra flags.
void Servo(SliderTable& sliders, int k, int channel, int companion, std::uint32_t flags = 0) {
  sliders[k].flags2 = SliderFlag2::kServoChannel | flags;
  sliders[k].channel = channel;
  sliders[k].companion = companion;
}

MotionBlock PoseWithValues() {
  MotionBlock pose;
  for (std::size_t k = 0; k < kPoseSlotCount; ++k) {
    pose.slots[k] = static_cast<std::int16_t>(k * 10 + 1);
  }
  return pose;
}

TEST(BasePoseRegister, AppendsAfterTheLastOrInsertsBeforeTheFocusedItem) {
  BasePoseTable table = TableWithNames({u"A", u"B"});
  RecordingPrompter prompter;
  ASSERT_EQ(RegisterBasePose(table, u"new", -1, PoseWithValues(), SliderTable{}, &prompter), 1);
  ASSERT_EQ(RegisterBasePose(table, std::u16string(200, u'名'), 1, PoseWithValues(), SliderTable{},
                             &prompter),
            1);
  const std::u16string cut(127, u'名');
  EXPECT_EQ(BasePoseNames(table), (std::vector<std::u16string>{u"A", cut, u"B", u"new"}));
  EXPECT_EQ(table.entries[2].values[0], 101) << "B moved with its values";
  EXPECT_EQ(table.entries[3].values[7], 71);
  EXPECT_TRUE(table.entries[3].axisEnable[127]);
  EXPECT_TRUE(prompter.Calls().empty());
}

TEST(BasePoseRegister, RefusesAnEmptyOrUnstorableNameAndAFullTable) {
  const SliderTable sliders{};
  RecordingPrompter prompter;
  BasePoseTable table = TableWithNames({u"A"});
  const BasePoseTable before = table;
  for (const char16_t* name : {u"", u"a]]b", u"a\nb"}) {
    EXPECT_EQ(RegisterBasePose(table, name, -1, PoseWithValues(), sliders, &prompter), 0);
  }
  EXPECT_EQ(table, before);
  BasePoseTable full;
  for (BasePose& entry : full.entries) {
    entry.registered = true;
    entry.name = u"x";
  }
  const BasePoseTable fullBefore = full;
  EXPECT_EQ(RegisterBasePose(full, u"one more", 0, PoseWithValues(), sliders, &prompter), 0);
  EXPECT_EQ(full, fullBefore);
  EXPECT_EQ(ShownTexts(prompter),
            Texts({TextId::kMsgEnterBasePoseName, TextId::kMsgNameNotStorable,
                   TextId::kMsgNameNotStorable, TextId::kMsgBasePoseListFull}));
  EXPECT_EQ(prompter.Calls()[3].icon, PromptIcon::kWarning);
}

TEST(BasePoseFill, DisabledSlidersAreLeftOutUnlessCompanionOfAnEnabledChannel) {
  SliderTable sliders{};
  sliders[3].flags2 = SliderFlag2::kDisabled;
  // Channel 0: slider 6 drives it, its companion 0 (before it in the table) is disabled.
  // Channel 3: slider 20 drives it, its disabled companion 21 comes after it.
  // Channel 5: its driver 10 is disabled, so neither it nor companion 11 takes part.
  // Links outside the tables are no channel and no companion.
  Servo(sliders, 6, 0, 0);
  Servo(sliders, 20, 3, 21);
  Servo(sliders, 10, 5, 11, SliderFlag2::kDisabled);
  Servo(sliders, 30, -1, kSliderCount);
  for (const int companion : {0, 21, 11}) {
    sliders[companion].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoCompanion;
  }
  MotionBlock pose = PoseWithValues();
  pose.servoEnableMask = ~std::uint64_t{0b1000};  // every channel but 3
  BasePoseTable table;
  ASSERT_EQ(RegisterBasePose(table, u"p", -1, pose, sliders, nullptr), 1);
  const BasePose& entry = table.entries[0];
  for (const auto& [k, enabled, value] :
       {std::tuple{3, false, 0}, {0, true, 1}, {21, true, 211}, {10, false, 0}, {11, false, 0}}) {
    EXPECT_EQ(entry.axisEnable[k], enabled) << k;
    EXPECT_EQ(entry.values[k], value) << k;
  }
  EXPECT_EQ(entry.servoEnableMask, 0b1u) << "only the enabled channels' bits are taken";
}

TEST(BasePoseReplace, AsksFirstAndKeepsNameAndDisabledChannelBits) {
  SliderTable sliders{};
  Servo(sliders, 10, 5, 0, SliderFlag2::kDisabled);
  Servo(sliders, 4, 1, 0);
  Servo(sliders, 12, 64, 0);  // no channel: takes no bit
  BasePoseTable table = TableWithNames({u"A", u"B"});
  table.entries[1].servoEnableMask = 0b100001;  // channels 0 and 5 on, channel 1 off
  table.entries[1].values[10] = 999;
  MotionBlock pose = PoseWithValues();
  pose.servoEnableMask = 0b000010;  // channel 1 on, channel 5 off

  RecordingPrompter prompter;
  prompter.QueueAnswer(PromptAnswer::kNo);
  const BasePoseTable before = table;
  for (const std::int32_t focused : {-1, 2, 1}) {  // none, not registered, declined
    EXPECT_EQ(ReplaceBasePose(table, focused, pose, sliders, &prompter), 0);
  }
  EXPECT_EQ(table, before);
  EXPECT_EQ(ReplaceBasePose(table, 1, pose, sliders, &prompter), 1);
  EXPECT_EQ(ShownTexts(prompter),
            Texts({TextId::kMsgConfirmReplaceBasePose, TextId::kMsgConfirmReplaceBasePose}));
  EXPECT_EQ(prompter.Calls()[0].buttons, PromptButtons::kYesNo);
  const BasePose& entry = table.entries[1];
  EXPECT_EQ(entry.name, u"B");
  EXPECT_EQ(entry.values[0], 1);
  EXPECT_EQ(entry.values[10], 0) << "a disabled slider is still left out";
  EXPECT_EQ(entry.servoEnableMask, 0b100011u);
  EXPECT_EQ(table.entries[0], before.entries[0]);
}

TEST(BasePoseDelete, CompactsAndFreesThePlacesAtTheEnd) {
  BasePoseTable table = TableWithNames({u"A", u"B", u"C", u"D", u"E"});
  EXPECT_EQ(DeleteBasePoses(table, {3, 1, 3, 7}), 2);
  EXPECT_EQ(BasePoseNames(table), (std::vector<std::u16string>{u"A", u"C", u"E"}));
  EXPECT_EQ(table.entries[2].values[0], 104);
  EXPECT_FALSE(table.entries[3].registered);
  EXPECT_EQ(table.entries[4], BasePose{});
}

TEST(BasePoseApply, AfterAYesTakesTheTableFixesTheCurrentNumberAndWritesTheFile) {
  Session session;
  session.project.basePoses = TableWithNames({u"A", u"B", u"C", u"D"});
  session.project.basePoses.current = 3;
  const BasePoseTable before = session.project.basePoses;
  BasePoseTable working = before;
  DeleteBasePoses(working, {3});
  session.prompter.QueueAnswer(PromptAnswer::kNo);
  EXPECT_FALSE(ApplyBasePoseTable(session.context, working));
  EXPECT_EQ(session.project.basePoses, before);
  EXPECT_FALSE(std::filesystem::exists((session.dir / "base.pos")));
  EXPECT_TRUE(session.views.events.empty());
  ASSERT_TRUE(ApplyBasePoseTable(session.context, working));
  EXPECT_EQ(session.project.basePoses.entries, working.entries);
  EXPECT_EQ(session.project.basePoses.current, 0);
  EXPECT_EQ(session.views.events, (std::vector<std::string>{"menu checks", "relayout pose"}));
  EXPECT_EQ(ShownTexts(session.prompter),
            Texts({TextId::kMsgConfirmApplySettings, TextId::kMsgConfirmApplySettings}));
  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses((session.dir / "base.pos"), read));
  EXPECT_EQ(read, session.project.basePoses);

  // With nothing registered the current number is left as it is.
  session.project.basePoses.current = 2;
  ASSERT_TRUE(ApplyBasePoseTable(session.context, BasePoseTable{}));

  EXPECT_EQ(session.project.basePoses.current, 2);
  session.context.prompter = nullptr;  // quiet: the question counts as No
  EXPECT_FALSE(ApplyBasePoseTable(session.context, TableWithNames({u"X"})));
  EXPECT_FALSE(session.project.basePoses.entries[0].registered);
}

TEST(BasePoseApply, ReportsAFailedWrite) {
  Session session;
  session.project.project.DEFPOSINI = u"missing/base.pos";
  ASSERT_TRUE(ApplyBasePoseTable(session.context, TableWithNames({u"A"})));
  EXPECT_EQ(session.project.basePoses.entries[0].name, u"A");
  EXPECT_EQ(ShownTexts(session.prompter),
            Texts({TextId::kMsgConfirmApplySettings, TextId::kFileSaveFailed}));
  EXPECT_EQ(session.prompter.Calls()[1].icon, PromptIcon::kError);
}

TEST(BasePoseMenu, ListsRegisteredPosesWithTheCurrentOneCheckedOrAGreyedPlaceholder) {
  BasePoseTable table = TableWithNames({u"A", u"B", u"C"});
  table.current = 1;
  const auto items = BuildBasePoseMenu(table);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[2].id, 40228);
  EXPECT_EQ(items[2].text, u"C");
  EXPECT_TRUE(items[1].checked && !items[0].checked);

  EXPECT_EQ(BasePoseFromMenuId(40226 + 35), 35);
  EXPECT_EQ(BasePoseFromMenuId(40226 + 36), -1);
  EXPECT_EQ(BasePoseFromMenuId(40225), -1);
  const auto none = BuildBasePoseMenu(BasePoseTable{});
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].id, 40226);
  EXPECT_EQ(none[0].text, LoadText(TextId::kMenuNoBasePose));
  EXPECT_FALSE(none[0].enabled);
}

}  // namespace
}  // namespace gestalon::core
