#include "pose/slider_properties.h"

#include <gtest/gtest.h>

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

// The non-empty fields are checked in this order, each refusal for the whole form.
TEST(SliderPropertiesApply, ChecksRefuseTheFormInTheirOrder) {
  struct Case {
    const char16_t *minimum, *maximum, *step;
    int putStyle;
    const char16_t *countsPerDegree, *axisName;
    int message;  // 0: accepted
  };
  const Case cases[] = {
      {u"1a", u"", u"", 1, u"", u"", TextId::kMsgRangeNotNumber},
      {u"", u"32768", u"40000", 1, u"", u"", TextId::kMsgRangeOutOfBounds},
      {u"", u"", u"40000", 1, u"", u"", TextId::kMsgStepTooLarge},
      {u"", u"", u"", 2, u"1,5", u"", TextId::kMsgCountsPerDegreeNotNumber},
      {u"", u"", u"", 0, u"x", u"", 0},  // read only with the degrees style
      {u"", u"", u"", 1, u"", u"a]]b", TextId::kMsgNameNotStorable},
  };
  for (const Case& c : cases) {
    SliderForm form;
    form.minimum = c.minimum;
    form.maximum = c.maximum;
    form.step = c.step;
    form.putStyle = c.putStyle;
    form.countsPerDegree = c.countsPerDegree;
    form.axisName = c.axisName;
    EXPECT_EQ(CheckSliderForm(form).message, c.message ? LoadText(c.message) : u"") << c.message;
  }
}

// An empty range is refused per slider after the rest of the form is stored.
TEST(SliderPropertiesApply, StoresTheFormIntoOneSliderOrTheSelection) {
  const SliderTable before = ThreeSliders();
  SliderTable sliders = before;
  RecordingPrompter prompter;
  SliderForm form = FormForSlider(sliders[1]);
  form.minimum = u"-59";
  form.maximum = u"+60";
  form.putStyle = 3;  // percent: takes the decimals
  form.decimals = 2;
  form.x = u"7";
  form.y = u"";
  form.checks[kCheckEnabled] = CheckState::kUnchecked;
  form.checks[kCheckDisplayInverted] = CheckState::kChecked;
  form.checks[kCheckBaseRelative] = CheckState::kUnchecked;
  form.textBkColor = 0x123456;
  StoreSliderForm(sliders, 1, form, &prompter);
  EXPECT_EQ(sliders[1].minimum, -59);
  EXPECT_EQ(sliders[1].maximum, 60);
  EXPECT_EQ(sliders[1].decimals, 2);
  EXPECT_EQ(sliders[1].filePos, (std::array<std::int32_t, 2>{7, 20}));
  EXPECT_EQ(sliders[1].flags2, SliderFlag2::kDisabled | SliderFlag2::kAbsolute);
  EXPECT_EQ(sliders[1].flags1, SliderFlag1::kInverted);
  EXPECT_EQ(sliders[1].textBkColor, 0x123456u);
  EXPECT_TRUE(prompter.Calls().empty());
  // The selection takes only the decided boxes and the given fields; the maximum is not above
  // slider 0's minimum nor slider 2's.
  sliders = before;
  sliders[0].flags1 |= SliderFlag1::kSelected;
  sliders[2].flags1 |= SliderFlag1::kSelected;
  form = SliderForm{};
  form.maximum = u"-100";
  form.step = u"3";
  form.checks[kCheckDisplayInverted] = CheckState::kChecked;
  StoreSliderForm(sliders, kSelectedSliders, form, &prompter);
  for (const int k : {0, 2}) {
    SliderDef expected = before[k];
    expected.flags1 = SliderFlag1::kSelected | SliderFlag1::kInverted;
    expected.step = 3;
    EXPECT_EQ(sliders[k], expected);
  }
  EXPECT_EQ(sliders[1], before[1]);
  EXPECT_EQ(testing::ShownTexts(prompter),
            testing::Texts({TextId::kMsgRangeInvalid, TextId::kMsgRangeInvalid}));
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

// Pairs before: 4 right of 5, 6 right of 7, 8 left of 4 (stale); slider 10 is a centre slider
// whose partner number names 4, not a pairing to undo.
TEST(SliderPairing, RepairsThePartnerAndClearsPairsNamingEither) {
  struct Pair {
    int slider, mode, partner;
  };
  struct Case {
    int k, mode, partner;
    std::vector<Pair> after;  // pairMode and partner of the sliders listed
  };
  const Case cases[] = {
      // Right re-pairs and clears the pairs naming 4 or 6.
      {4, 2, 6, {{4, 2, 6}, {6, 3, 4}, {5, 0, 0}, {7, 0, 0}, {8, 0, 0}, {10, 1, 4}}},
      // Paired with itself: refused.
      {4, 2, 4, {{4, 2, 5}, {5, 3, 4}, {6, 2, 7}, {7, 3, 6}, {8, 3, 4}}},
      // Centre keeps the partner number and unpairs those naming 4.
      {4, 1, 9, {{4, 1, 5}, {5, 0, 0}, {6, 2, 7}, {7, 3, 6}, {8, 0, 0}}},
      // Sliders 0..95 are offered, 96 is not.
      {4, 2, 96, {{4, 2, 5}, {5, 3, 4}}},
      {4, 2, 0, {{4, 2, 0}, {0, 3, 4}, {5, 0, 0}, {8, 0, 0}}},

      {96, 2, 4, {{96, 0, 0}, {4, 2, 5}, {8, 3, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.k << " " << c.mode << " " << c.partner);
    SliderTable sliders{};
    for (const Pair& p : {Pair{4, 2, 5}, {5, 3, 4}, {6, 2, 7}, {7, 3, 6}, {8, 3, 4}, {10, 1, 4}}) {
      sliders[p.slider].pairMode = p.mode;
      sliders[p.slider].partner = p.partner;
    }
    EXPECT_EQ(PairSlider(sliders, c.k, c.mode, c.partner),
              c.k == c.partner ? LoadText(TextId::kMsgPartnerSameAsSelf) : u"");
    for (const Pair& p : c.after) {
      EXPECT_EQ(sliders[p.slider].pairMode, p.mode) << p.slider;
      EXPECT_EQ(sliders[p.slider].partner, p.partner) << p.slider;
    }
  }
}

}  // namespace
}  // namespace gestalon::core
