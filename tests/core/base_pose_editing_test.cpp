#include "pose/base_pose_editing.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "editing_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;
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

MotionBlock PoseWithValues() {
  MotionBlock pose;
  for (std::size_t k = 0; k < kPoseSlotCount; ++k) {
    pose.slots[k] = static_cast<std::int16_t>(k * 10 + 1);
  }
  return pose;
}

TEST(BasePoseRegister, WithoutFocusAppendsAfterTheLastRegistered) {
  BasePoseTable table = TableWithNames({u"A", u"B"});
  const SliderTable sliders{};
  RecordingPrompter prompter;
  ASSERT_EQ(RegisterBasePose(table, u"new", -1, PoseWithValues(), sliders, &prompter), 1);
  EXPECT_EQ(BasePoseNames(table), (std::vector<std::u16string>{u"A", u"B", u"new"}));
  EXPECT_EQ(table.entries[2].values[7], 71);
  EXPECT_TRUE(table.entries[2].axisEnable[127]);
  EXPECT_TRUE(prompter.Calls().empty());
}

TEST(BasePoseRegister, WithAFocusedItemInsertsBeforeIt) {
  BasePoseTable table = TableWithNames({u"A", u"B", u"C"});
  const SliderTable sliders{};
  ASSERT_EQ(RegisterBasePose(table, u"new", 2, PoseWithValues(), sliders, nullptr), 1);
  EXPECT_EQ(BasePoseNames(table), (std::vector<std::u16string>{u"A", u"B", u"new", u"C"}));
  EXPECT_EQ(table.entries[3].values[0], 102) << "C moved with its values";
}

TEST(BasePoseRegister, RefusesAnEmptyOrUnstorableNameAndAFullTable) {
  const SliderTable sliders{};
  RecordingPrompter prompter;
  BasePoseTable table = TableWithNames({u"A"});
  const BasePoseTable before = table;
  EXPECT_EQ(RegisterBasePose(table, u"", -1, PoseWithValues(), sliders, &prompter), 0);
  EXPECT_EQ(RegisterBasePose(table, u"a]]b", -1, PoseWithValues(), sliders, &prompter), 0);
  EXPECT_EQ(RegisterBasePose(table, u"a\nb", -1, PoseWithValues(), sliders, &prompter), 0);
  EXPECT_EQ(table, before);

  BasePoseTable full;
  for (BasePose& entry : full.entries) {
    entry.registered = true;
    entry.name = u"x";
  }
  const BasePoseTable fullBefore = full;
  EXPECT_EQ(RegisterBasePose(full, u"one more", 0, PoseWithValues(), sliders, &prompter), 0);
  EXPECT_EQ(full, fullBefore);

  const auto calls = prompter.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].text, LoadText(TextId::kMsgEnterBasePoseName));
  EXPECT_EQ(calls[1].text, LoadText(TextId::kMsgNameNotStorable));
  EXPECT_EQ(calls[2].text, LoadText(TextId::kMsgNameNotStorable));
  EXPECT_EQ(calls[3].text, LoadText(TextId::kMsgBasePoseListFull));
  EXPECT_EQ(calls[3].icon, PromptIcon::kWarning);
}

TEST(BasePoseRegister, CutsTheNameTo127Characters) {
  BasePoseTable table;
  const SliderTable sliders{};
  ASSERT_EQ(
      RegisterBasePose(table, std::u16string(200, u'名'), -1, PoseWithValues(), sliders, nullptr),
      1);
  EXPECT_EQ(table.entries[0].name, std::u16string(127, u'名'));
}

TEST(BasePoseFill, DisabledSlidersAreLeftOutUnlessCompanionOfAnEnabledChannel) {
  SliderTable sliders{};
  sliders[3].flags2 = SliderFlag2::kDisabled;
  // Channel 2: slider 6 drives it, its companion 1 (before it in the table) is disabled.
  sliders[6].flags2 = SliderFlag2::kServoChannel;
  sliders[6].channel = 2;
  sliders[6].companion = 1;
  sliders[1].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoCompanion;
  sliders[1].channel = 2;
  // Channel 3: slider 20 drives it, its disabled companion 21 comes after it.
  sliders[20].flags2 = SliderFlag2::kServoChannel;
  sliders[20].channel = 3;
  sliders[20].companion = 21;
  sliders[21].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoCompanion;
  // Channel 5: its driver 10 is disabled, so neither it nor companion 11 takes part.
  sliders[10].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoChannel;
  sliders[10].channel = 5;
  sliders[10].companion = 11;
  sliders[11].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoCompanion;
  MotionBlock pose = PoseWithValues();
  pose.servoEnableMask = 0b100100;  // channels 2 and 5

  BasePoseTable table;
  ASSERT_EQ(RegisterBasePose(table, u"p", -1, pose, sliders, nullptr), 1);
  const BasePose& entry = table.entries[0];
  EXPECT_FALSE(entry.axisEnable[3]);
  EXPECT_EQ(entry.values[3], 0);
  EXPECT_TRUE(entry.axisEnable[1]);
  EXPECT_EQ(entry.values[1], 11);
  EXPECT_TRUE(entry.axisEnable[21]);
  EXPECT_EQ(entry.values[21], 211);
  EXPECT_FALSE(entry.axisEnable[10]);
  EXPECT_FALSE(entry.axisEnable[11]);
  EXPECT_EQ(entry.values[11], 0);
  EXPECT_EQ(entry.servoEnableMask, 0b100u) << "only the enabled channels' bits are taken";
}

TEST(BasePoseReplace, AsksFirstAndKeepsNameAndDisabledChannelBits) {
  SliderTable sliders{};
  sliders[10].flags2 = SliderFlag2::kDisabled | SliderFlag2::kServoChannel;
  sliders[10].channel = 5;
  sliders[4].flags2 = SliderFlag2::kServoChannel;
  sliders[4].channel = 1;
  BasePoseTable table = TableWithNames({u"A", u"B"});
  table.entries[1].servoEnableMask = 0b100000;  // channel 5 on, channel 1 off
  table.entries[1].values[10] = 999;
  MotionBlock pose = PoseWithValues();
  pose.servoEnableMask = 0b000010;  // channel 1 on, channel 5 off

  RecordingPrompter prompter;
  prompter.QueueAnswer(PromptAnswer::kNo);
  const BasePoseTable before = table;
  EXPECT_EQ(ReplaceBasePose(table, 1, pose, sliders, &prompter), 0);
  EXPECT_EQ(table, before);
  EXPECT_EQ(ReplaceBasePose(table, 1, pose, sliders, &prompter), 1);
  ASSERT_EQ(prompter.Calls().size(), 2u);
  EXPECT_EQ(prompter.Calls()[0].text, LoadText(TextId::kMsgConfirmReplaceBasePose));
  EXPECT_EQ(prompter.Calls()[0].buttons, PromptButtons::kYesNo);

  const BasePose& entry = table.entries[1];
  EXPECT_EQ(entry.name, u"B");
  EXPECT_EQ(entry.values[0], 1);
  EXPECT_EQ(entry.values[10], 0) << "a disabled slider is still left out";
  EXPECT_EQ(entry.servoEnableMask, 0b100010u);
  EXPECT_EQ(table.entries[0], before.entries[0]);
}

TEST(BasePoseReplace, DoesNothingWithoutAFocusedEntry) {
  BasePoseTable table = TableWithNames({u"A"});
  const BasePoseTable before = table;
  RecordingPrompter prompter;
  EXPECT_EQ(ReplaceBasePose(table, -1, PoseWithValues(), SliderTable{}, &prompter), 0);
  EXPECT_EQ(ReplaceBasePose(table, 1, PoseWithValues(), SliderTable{}, &prompter), 0);
  EXPECT_EQ(table, before);
  EXPECT_TRUE(prompter.Calls().empty());
}

TEST(BasePoseDelete, CompactsAndFreesThePlacesAtTheEnd) {
  BasePoseTable table = TableWithNames({u"A", u"B", u"C", u"D", u"E"});
  EXPECT_EQ(DeleteBasePoses(table, {3, 1, 3, 7}), 2);
  EXPECT_EQ(BasePoseNames(table), (std::vector<std::u16string>{u"A", u"C", u"E"}));
  EXPECT_EQ(table.entries[2].values[0], 104);
  EXPECT_FALSE(table.entries[3].registered);
  EXPECT_EQ(table.entries[4], BasePose{});
}

TEST(BasePoseApply, DeclinedChangesNothing) {
  Session session;
  session.project.basePoses = TableWithNames({u"A"});
  const BasePoseTable before = session.project.basePoses;
  session.prompter.QueueAnswer(PromptAnswer::kNo);
  EXPECT_FALSE(ApplyBasePoseTable(session.context, TableWithNames({u"X", u"Y"})));
  EXPECT_EQ(session.project.basePoses, before);
  EXPECT_FALSE(std::filesystem::exists((session.dir / "base.pos")));
  EXPECT_TRUE(session.views.events.empty());

  session.context.prompter = nullptr;  // quiet: the question counts as No
  EXPECT_FALSE(ApplyBasePoseTable(session.context, TableWithNames({u"X", u"Y"})));
  EXPECT_EQ(session.project.basePoses, before);
}

TEST(BasePoseApply, TakesTheTableFixesTheCurrentNumberAndWritesTheFile) {
  Session session;
  session.project.basePoses = TableWithNames({u"A", u"B", u"C", u"D"});
  session.project.basePoses.current = 3;
  BasePoseTable working = session.project.basePoses;
  DeleteBasePoses(working, {3});

  ASSERT_TRUE(ApplyBasePoseTable(session.context, working));
  EXPECT_EQ(session.project.basePoses.entries, working.entries);
  EXPECT_EQ(session.project.basePoses.current, 0);
  EXPECT_EQ(session.views.events, (std::vector<std::string>{"menu checks", "relayout pose"}));
  ASSERT_EQ(session.prompter.Calls().size(), 1u);
  EXPECT_EQ(session.prompter.Calls()[0].text, LoadText(TextId::kMsgConfirmApplySettings));

  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses((session.dir / "base.pos"), read));
  EXPECT_EQ(read, session.project.basePoses);
}

TEST(BasePoseApply, KeepsARegisteredOrUnmatchableCurrentNumber) {
  Session session;
  session.project.basePoses = TableWithNames({u"A", u"B", u"C"});
  session.project.basePoses.current = 2;
  ASSERT_TRUE(ApplyBasePoseTable(session.context, TableWithNames({u"X", u"Y", u"Z"})));
  EXPECT_EQ(session.project.basePoses.current, 2);
  ASSERT_TRUE(ApplyBasePoseTable(session.context, BasePoseTable{}));
  EXPECT_EQ(session.project.basePoses.current, 2) << "nothing registered: number unchanged";
}

TEST(BasePoseApply, ReportsAFailedWrite) {
  Session session;
  session.project.project.DEFPOSINI = u"missing/base.pos";
  ASSERT_TRUE(ApplyBasePoseTable(session.context, TableWithNames({u"A"})));
  EXPECT_EQ(session.project.basePoses.entries[0].name, u"A");
  const auto calls = session.prompter.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].icon, PromptIcon::kError);
  EXPECT_EQ(calls[1].text, LoadText(TextId::kFileSaveFailed));
}

TEST(BasePoseMenu, ListsRegisteredPosesWithTheCurrentOneChecked) {
  BasePoseTable table = TableWithNames({u"A", u"B", u"C"});
  table.current = 1;
  const auto items = BuildBasePoseMenu(table);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].id, 40226);
  EXPECT_EQ(items[2].id, 40228);
  EXPECT_EQ(items[2].text, u"C");
  EXPECT_FALSE(items[0].checked);
  EXPECT_TRUE(items[1].checked);
  EXPECT_TRUE(items[2].enabled);
  EXPECT_EQ(BasePoseFromMenuId(40228), 2);
  EXPECT_EQ(BasePoseFromMenuId(40226 + 36), -1);
}

TEST(BasePoseMenu, ShowsAGreyedPlaceholderWhenNoneIsRegistered) {
  const auto items = BuildBasePoseMenu(BasePoseTable{});
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].id, 40226);
  EXPECT_EQ(items[0].text, LoadText(TextId::kMenuNoBasePose));
  EXPECT_FALSE(items[0].enabled);
  EXPECT_FALSE(items[0].checked);
}

}  // namespace
}  // namespace gestalon::core
