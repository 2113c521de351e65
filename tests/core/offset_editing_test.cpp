#include "pose/offset_editing.h"

#include <gtest/gtest.h>

#include <initializer_list>
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
using Session = testing::EditingSession;

ValueOffsetTable TableWithNames(std::initializer_list<const char16_t*> names) {
  ValueOffsetTable table;
  std::size_t n = 0;
  for (const char16_t* name : names) {
    table.entries[n].name = name;
    table.entries[n].registered = true;
    table.entries[n].offsets[0] = static_cast<std::int16_t>(n + 1);
    ++n;
  }
  return table;
}

// Sets `text` on sliders 3 and 4 of a one-set table; the resulting offset or nothing, and the
// messages shown.
struct EntryResult {
  std::optional<std::int16_t> offset;
  std::vector<std::u16string> messages;
};
EntryResult Enter(std::u16string_view text) {
  ValueOffsetTable working = OpenOffsetDialog(TableWithNames({u"set"}));
  RecordingPrompter prompter;
  EntryResult result;
  if (SetOffsetsFromText(working, text, {3, 4}, &prompter)) {
    EXPECT_EQ(working.entries[0].offsets[3], working.entries[0].offsets[4]);
    result.offset = working.entries[0].offsets[3];
  }
  for (const auto& call : prompter.Calls()) {
    EXPECT_EQ(call.icon, PromptIcon::kWarning);
    result.messages.push_back(call.text);
  }
  return result;
}

TEST(OffsetDialogEntry, OpeningChoosesTheFirstSetWhenNoneIsChosenSelectingOnlyARegisteredOne) {
  EXPECT_EQ(OpenOffsetDialog(ValueOffsetTable{}).current, -1);
  ValueOffsetTable working = OpenOffsetDialog(TableWithNames({u"a", u"b"}));
  EXPECT_EQ(working.current, 0);
  SelectOffsetSet(working, 1);
  SelectOffsetSet(working, 2);
  EXPECT_EQ(OpenOffsetDialog(working).current, 1);
}

TEST(OffsetDialogEntry, AddInsertsANewSetAtTheFocusOrAtTheEndUnlessTheTableIsFull) {
  ValueOffsetTable working = OpenOffsetDialog(TableWithNames({u"a", u"b"}));
  ASSERT_EQ(AddOffsetSet(working, -1, nullptr), 1);
  ASSERT_EQ(AddOffsetSet(working, 1, nullptr), 1);
  const std::u16string fresh = LoadText(TextId::kDefaultOffsetName);
  EXPECT_EQ(OffsetSetNames(working), (std::vector<std::u16string>{u"a", fresh, u"b", fresh}));
  EXPECT_EQ(working.entries[1].offsets, (std::array<std::int16_t, kSliderCount>{}));
  EXPECT_EQ(working.entries[2].offsets[0], 2) << "b moved with its offsets";

  // A full table shows the list-full message.
  for (ValueOffsetSet& entry : working.entries) {
    entry.registered = true;
  }
  const ValueOffsetTable before = working;
  RecordingPrompter prompter;
  EXPECT_EQ(AddOffsetSet(working, -1, &prompter), 0);
  EXPECT_EQ(working, before);
  EXPECT_EQ(ShownTexts(prompter), Texts({TextId::kMsgBasePoseListFull}));
}

TEST(OffsetDialogEntry, DeleteMovesLaterSetsUpAndAdjustsTheWorkingEntry) {
  ValueOffsetTable working = TableWithNames({u"a", u"b", u"c"});
  working.current = 2;
  ASSERT_EQ(DeleteOffsetSet(working, 1), 1);
  EXPECT_EQ(OffsetSetNames(working), (std::vector<std::u16string>{u"a", u"c"}));
  EXPECT_EQ(working.current, 0) << "entry 2 is no longer registered";
  EXPECT_EQ(DeleteOffsetSet(working, -1), 0);
  ASSERT_EQ(DeleteOffsetSet(working, 0), 1);
  ASSERT_EQ(DeleteOffsetSet(working, 0), 1);
  EXPECT_EQ(working.current, -1);
  EXPECT_EQ(working.entries[0], ValueOffsetSet{});
}

TEST(OffsetDialogEntry, RenameCutsTo127CharactersAndMakesTheNameStorable) {
  ValueOffsetTable working = TableWithNames({u"a"});
  RenameOffsetSet(working, 0, std::u16string(130, u'x'));
  EXPECT_EQ(working.entries[0].name, std::u16string(127, u'x'));
  RenameOffsetSet(working, 0, u"a]]b\nc]");
  EXPECT_EQ(working.entries[0].name, u"a]b c]");
  RenameOffsetSet(working, 1, u"ignored");
  EXPECT_FALSE(working.entries[1].registered);
}

TEST(OffsetValueEntry, DecimalsWithinSixteenBitsAreTakenOtherTextIsRefused) {
  const std::optional<std::int16_t> none;
  const struct {
    const char16_t* text;
    std::optional<std::int16_t> offset;
    int message;  // 0: none
  } cases[] = {
      {u"-32768", -32768, 0},

      {u"32767", 32767, 0},
      {u"7.9", 7, 0},   // fraction dropped
      {u"0x1f", 0, 0},  // looks accepted but converts as decimal
      {u"5a", none, TextId::kMsgOffsetBadChars},
      {u"32768", none, TextId::kMsgOffsetOutOfRange},
      {u"-32769", none, TextId::kMsgOffsetOutOfRange},
      {u"", none, TextId::kMsgEnterOffsetValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    const EntryResult result = Enter(c.text);
    EXPECT_EQ(result.offset, c.offset);
    EXPECT_EQ(result.messages, c.message ? Texts({c.message}) : Texts({}));
  }
  EXPECT_TRUE(PassesOffsetNumberCheck(u""));
  EXPECT_TRUE(PassesOffsetNumberCheck(u"0xa"));
  for (const char16_t* text : {u"0x", u"0x1F", u"1f", u"0xg"}) {
    EXPECT_FALSE(PassesOffsetNumberCheck(text)) << ToUtf8(text);
  }
}

TEST(OffsetValueEntry, ChecksTheWorkingEntryFirstAndTheSliderSelectionLast) {
  RecordingPrompter prompter;
  ValueOffsetTable none = OpenOffsetDialog(ValueOffsetTable{});
  EXPECT_FALSE(SetOffsetsFromText(none, u"", {1}, &prompter));
  ValueOffsetTable working = OpenOffsetDialog(TableWithNames({u"set"}));
  const ValueOffsetTable before = working;
  EXPECT_FALSE(SetOffsetsFromText(working, u"5", {}, &prompter));
  EXPECT_FALSE(SetOffsetsFromText(working, u"5", {128, -1}, &prompter));
  EXPECT_EQ(working, before);
  EXPECT_EQ(ShownTexts(prompter),
            Texts({TextId::kMsgSelectOffsetEntry, TextId::kMsgSelectSliderItem,
                   TextId::kMsgSelectSliderItem}));
}

TEST(OffsetApply, TakesTheWorkingCopyAndWritesTheFileAndClosingEndsTheChoice) {
  Session session;
  ValueOffsetTable working = OpenOffsetDialog(TableWithNames({u"a", u"b"}));
  SelectOffsetSet(working, 1);
  ASSERT_TRUE(SetOffsetsFromText(working, u"-12", {0, 127}, nullptr));
  session.prompter.QueueAnswer(PromptAnswer::kNo);
  EXPECT_FALSE(ApplyOffsetTable(session.context, working));
  EXPECT_EQ(session.project.offsets, ValueOffsetTable{});
  EXPECT_FALSE(std::filesystem::exists(session.dir / "offsets.ini"));
  ASSERT_TRUE(ApplyOffsetTable(session.context, working));
  EXPECT_EQ(session.project.offsets, working);
  EXPECT_EQ(session.views.events, (std::vector<std::string>{"menu checks"}));
  ValueOffsetTable read;
  ASSERT_TRUE(ReadValueOffsets(session.dir / "offsets.ini", read));
  EXPECT_EQ(read.entries[1].offsets[127], -12);

  // Closing the dialog, whatever was applied, returns the wheel to plain steps.
  session.views.events.clear();
  CloseOffsetDialog(session.context);
  EXPECT_EQ(session.project.offsets.current, -1);
  EXPECT_EQ(session.views.events, (std::vector<std::string>{"menu checks"}));
}

TEST(OffsetSelector, ListsUnusedThenTheSetsAndSelectsChoicePlusOne) {
  ValueOffsetTable offsets = TableWithNames({u"a", u"b"});
  offsets.current = 1;
  const OffsetSelectorData data = FillOffsetSelector(offsets);
  EXPECT_EQ(data.items,
            (std::vector<std::u16string>{LoadText(TextId::kComboOffsetUnused), u"a", u"b"}));
  EXPECT_EQ(data.selected, 2);
  offsets.current = -1;
  EXPECT_EQ(FillOffsetSelector(offsets).selected, 0);
  EXPECT_TRUE(ChooseOffsetFromSelector(offsets, 2));
  EXPECT_FALSE(ChooseOffsetFromSelector(offsets, 3));
  EXPECT_EQ(offsets.current, 1);
  EXPECT_TRUE(ChooseOffsetFromSelector(offsets, 0));
  EXPECT_EQ(offsets.current, -1);
}

TEST(OffsetSliderList, CellsShowTheConvertedValueSignedByTheSignInversion) {
  SliderDef slider;
  slider.putStyle = 1;
  EXPECT_EQ(FormatOffsetCell(slider, -40), u"-40 (-0x0028)");
  EXPECT_EQ(FormatOffsetCell(slider, 0), u"+0 (+0x0000)");
  slider.flags2 = SliderFlag2::kSignInverted;
  EXPECT_EQ(FormatOffsetCell(slider, -32768), u"-32768 (+0x8000)");
  // Degrees and percent use the decimals and the sign inversion.
  slider.flags2 = 0;
  slider.putStyle = 2;
  slider.decimals = 1;
  slider.countsPerDegree = 4.0;
  slider.step = 6;
  EXPECT_EQ(FormatOffsetCell(slider, 10), u"+10 (+2.5°)");
  EXPECT_EQ(FormatStepCell(slider), u"6 (1.5°)");
  slider.flags2 = SliderFlag2::kSignInverted;
  slider.putStyle = 3;
  slider.decimals = 2;
  slider.minimum = -100;
  slider.maximum = 300;
  EXPECT_EQ(FormatOffsetCell(slider, 10), u"+10 (-2.50%)");
  EXPECT_EQ(FormatStepCell(slider), u"6 (1.50%)");

  // Conversions without a scale show the number only.
  slider = {};
  slider.step = 30;
  slider.putStyle = 2;  // no counts per degree
  EXPECT_EQ(FormatOffsetCell(slider, 5), u"+5");
  slider.putStyle = 3;  // minimum = maximum
  EXPECT_EQ(FormatStepCell(slider), u"30");
  slider.axisName = u"右肩";
  EXPECT_EQ(FormatSliderNameCell(7, slider), u"07:右肩");
}

}  // namespace
}  // namespace gestalon::core
