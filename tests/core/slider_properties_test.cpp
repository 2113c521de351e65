#include "pose/slider_properties.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recording_ports.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;

SliderTable ThreeSliders() {
  SliderTable sliders{};
  for (int k = 0; k < 3; ++k) {
    SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    slider.axisName = u"s" + std::u16string(1, static_cast<char16_t>(u'0' + k));
    slider.minimum = -100;
    slider.maximum = 100;
    slider.step = 10;
    slider.putStyle = 1;
    slider.pos = {10, 20 * k};
    slider.filePos = slider.pos;
  }
  return sliders;
}

// Checks run first in their order and refuse the whole form; the range is refused per slider
// after the rest is stored. Target 1, or every selected slider (0 and 2) with kSelectedSliders.
TEST(SliderPropertiesApply, ChecksInOrderThenStoresTheForm) {
  struct Case {
    const char* what;
    int target;
    std::function<void(SliderForm&)> change;
    std::vector<int> messages;  // text ids in order; a check's refusal stores nothing
    std::function<void(const SliderTable&)> expect;
  };
  const SliderTable before = ThreeSliders();
  const auto same = [&](int k) {
    return [&, k](const SliderTable& s) { EXPECT_EQ(s[k], before[k]); };
  };
  const Case cases[] = {
      {"minimum not a number",
       1,
       [](SliderForm& f) { f.minimum = u"1a"; },
       {TextId::kMsgRangeNotNumber},
       same(1)},
      {"maximum out of range before step",
       1,
       [](SliderForm& f) {
         f.maximum = u"32768";
         f.step = u"40000";
       },
       {TextId::kMsgRangeOutOfBounds},
       same(1)},
      {"step above 32767",
       1,
       [](SliderForm& f) { f.step = u"40000"; },
       {TextId::kMsgStepTooLarge},
       same(1)},
      {"counts per degree checked only with degrees",
       1,
       [](SliderForm& f) {
         f.putStyle = 2;
         f.countsPerDegree = u"1,5";
       },
       {TextId::kMsgCountsPerDegreeNotNumber},
       same(1)},
      {"text the file cannot keep",
       1,
       [](SliderForm& f) { f.axisName = u"a]]b"; },
       {TextId::kMsgNameNotStorable},
       same(1)},
      {"equal range keeps the old one, the rest is stored",
       1,
       [](SliderForm& f) {
         f.minimum = u"100";
         f.maximum = u"100";
         f.step = u"5";
         f.axisName = u"肩";
         f.putStyle = 0;
         f.countsPerDegree = u"x";  // not the degrees style: not read
       },
       {TextId::kMsgRangeInvalid},
       [](const SliderTable& s) {
         EXPECT_EQ(s[1].minimum, -100);
         EXPECT_EQ(s[1].maximum, 100);
         EXPECT_EQ(s[1].step, 5);
         EXPECT_EQ(s[1].axisName, u"肩");
         EXPECT_EQ(s[1].putStyle, 0);
       }},
      {"one slider takes every field",
       1,
       [](SliderForm& f) {
         f.minimum = u"-59";
         f.maximum = u"+60";
         f.putStyle = 3;
         f.decimals = 2;
         f.x = u"7";
         f.y = u"";
         f.checks[kCheckEnabled] = CheckState::kUnchecked;
         f.checks[kCheckDisplayInverted] = CheckState::kChecked;
         f.checks[kCheckBaseRelative] = CheckState::kUnchecked;
         f.textBkColor = 0x123456;
       },
       {},
       [](const SliderTable& s) {
         EXPECT_EQ(s[1].minimum, -59);
         EXPECT_EQ(s[1].maximum, 60);
         EXPECT_EQ(s[1].putStyle, 3);
         EXPECT_EQ(s[1].decimals, 2);
         EXPECT_EQ(s[1].pos, (std::array<std::int32_t, 2>{7, 20}));
         EXPECT_EQ(s[1].filePos, s[1].pos);
         EXPECT_EQ(s[1].flags2, SliderFlag2::kDisabled | SliderFlag2::kAbsolute);
         EXPECT_EQ(s[1].flags1, SliderFlag1::kInverted);
         EXPECT_EQ(s[1].textBkColor, 0x123456u);
       }},
      {"degrees take the decimals and the counts per degree",
       1,
       [](SliderForm& f) {
         f.putStyle = 2;
         f.decimals = 1;
         f.countsPerDegree = u"2.5";
       },
       {},
       [](const SliderTable& s) {
         EXPECT_EQ(s[1].putStyle, 2);
         EXPECT_EQ(s[1].decimals, 1);
         EXPECT_EQ(s[1].countsPerDegree, 2.5);
       }},
      {"selection: only decided boxes and given fields, per-slider range",
       kSelectedSliders,
       [](SliderForm& f) {
         f.checks[kCheckDisplayInverted] = CheckState::kChecked;
         f.maximum = u"-100";  // not above slider 0's minimum nor slider 2's
         f.step = u"3";
       },
       {TextId::kMsgRangeInvalid, TextId::kMsgRangeInvalid},
       [&](const SliderTable& s) {
         for (const int k : {0, 2}) {
           SliderDef expected = before[k];
           expected.flags1 = SliderFlag1::kSelected | SliderFlag1::kInverted;
           expected.step = 3;
           EXPECT_EQ(s[k], expected);
         }
         EXPECT_EQ(s[1], before[1]);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SliderTable sliders = before;
    SliderForm form = c.target == kSelectedSliders ? SliderForm{} : FormForSlider(sliders[1]);
    if (c.target == kSelectedSliders) {
      sliders[0].flags1 |= SliderFlag1::kSelected;
      sliders[2].flags1 |= SliderFlag1::kSelected;
    }
    c.change(form);
    RecordingPrompter prompter;
    const SliderFormCheck check = CheckSliderForm(form);
    if (check.message.empty()) {
      StoreSliderForm(sliders, c.target, form, &prompter);
    } else {
      prompter.Show(check.icon, check.message);
    }
    std::vector<std::u16string> expected;
    for (const int id : c.messages) {
      expected.push_back(LoadText(id));
    }
    EXPECT_EQ(testing::ShownTexts(prompter), expected);
    c.expect(sliders);
  }
}

TEST(SliderPropertiesForm, StylesAndPairModesOutside0To3AreUndecided) {
  SliderDef slider;
  for (const auto& [mode, shown] : {std::pair{-1, -1}, {0, 0}, {3, 3}, {4, -1}}) {
    slider.putStyle = slider.pairMode = mode;
    const SliderForm form = FormForSlider(slider);
    EXPECT_EQ(form.putStyle, shown) << mode;
    EXPECT_EQ(form.pairMode, shown) << mode;
  }
}

// Pairs before: 4 right of 5, 6 right of 7, 8 left of 4 (stale).
TEST(SliderPairing, RepairsThePartnerAndClearsPairsNamingEither) {
  struct Pair {
    int slider, mode, partner;
  };
  struct Case {
    const char* what;
    int k, mode, partner;
    bool refused;
    std::vector<Pair> after;  // pairMode and partner of the sliders listed
  };
  const Case cases[] = {
      {"right re-pairs and clears pairs naming 4 or 6",
       4,
       2,
       6,
       false,
       {{4, 2, 6}, {6, 3, 4}, {5, 0, 0}, {7, 0, 0}, {8, 0, 0}, {10, 1, 4}}},
      {"left re-pairs and clears pairs naming 4 or 6",
       4,
       3,
       6,
       false,
       {{4, 3, 6}, {6, 2, 4}, {5, 0, 0}, {7, 0, 0}, {8, 0, 0}}},
      {"paired with itself is refused",
       4,
       2,
       4,
       true,
       {{4, 2, 5}, {5, 3, 4}, {6, 2, 7}, {7, 3, 6}, {8, 3, 4}}},
      {"centre keeps the partner number and unpairs those naming 4",
       4,
       1,
       9,
       false,
       {{4, 1, 5}, {5, 0, 0}, {6, 2, 7}, {7, 3, 6}, {8, 0, 0}}},
      {"partner 96 is not offered", 4, 2, 96, false, {{4, 2, 5}, {5, 3, 4}}},
      {"partner 0 is offered", 4, 2, 0, false, {{4, 2, 0}, {0, 3, 4}, {5, 0, 0}, {8, 0, 0}}},
      {"slider 0 is offered", 0, 3, 6, false, {{0, 3, 6}, {6, 2, 0}, {7, 0, 0}, {4, 2, 5}}},
      {"slider 96 is not offered", 96, 2, 4, false, {{96, 0, 0}, {4, 2, 5}, {8, 3, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SliderTable sliders{};
    // Slider 10 is a centre slider whose partner number names 4: not a pairing to undo.
    for (const Pair& p : {Pair{4, 2, 5}, {5, 3, 4}, {6, 2, 7}, {7, 3, 6}, {8, 3, 4}, {10, 1, 4}}) {
      sliders[p.slider].pairMode = p.mode;
      sliders[p.slider].partner = p.partner;
    }
    const std::u16string message = PairSlider(sliders, c.k, c.mode, c.partner);
    EXPECT_EQ(message, c.refused ? LoadText(TextId::kMsgPartnerSameAsSelf) : u"");
    for (const Pair& p : c.after) {
      EXPECT_EQ(sliders[p.slider].pairMode, p.mode) << p.slider;
      EXPECT_EQ(sliders[p.slider].partner, p.partner) << p.slider;
    }
  }
}

}  // namespace
}  // namespace gestalon::core
