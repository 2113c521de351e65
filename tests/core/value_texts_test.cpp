#include "pose/value_texts.h"

#include <gtest/gtest.h>

namespace gestalon::core {
namespace {

constexpr int kDecimal = 0;
constexpr int kHex = 1;
constexpr int kDegrees = 2;
constexpr int kPercent = 3;
constexpr int kNotInBase = 4;

LoadedProject MakeProject() {
  LoadedProject project;
  SliderTable& sliders = project.sliders;
  for (int k = 0; k < 5; ++k) {
    sliders[k].minimum = -100;
    sliders[k].maximum = 100;
  }
  sliders[kDecimal].axisName = u"Waist";
  sliders[kHex].axisName = u"Hex";
  sliders[kHex].putStyle = 1;
  sliders[kHex].flags2 = SliderFlag2::kAbsolute;
  sliders[kDegrees].axisName = u"Knee";
  sliders[kDegrees].putStyle = 2;
  sliders[kDegrees].countsPerDegree = 10.0;
  sliders[kDegrees].decimals = 1;
  sliders[kPercent].axisName = u"Grip";
  sliders[kPercent].putStyle = 3;
  sliders[kPercent].decimals = 0;
  sliders[kPercent].flags2 = SliderFlag2::kAbsolute;
  sliders[kNotInBase].axisName = u"Tail";
  BasePose& base = project.basePoses.entries[0];
  base.registered = true;
  base.axisEnable[kDecimal] = base.axisEnable[kHex] = true;
  base.axisEnable[kDegrees] = base.axisEnable[kPercent] = true;
  base.values[kDecimal] = 50;
  base.values[kHex] = 7;
  base.values[kDegrees] = 30;
  base.values[kPercent] = 40;
  base.values[kNotInBase] = 3;  // axis not enabled: still the display origin
  return project;
}

TEST(ValueTexts, DifferenceCountsFromRegisteredBaseAndFollowsSignInversion) {
  LoadedProject project = MakeProject();
  EXPECT_EQ(DisplayedDifference(project, kDecimal, 70), 20);
  EXPECT_EQ(DisplayedDifference(project, kHex, 70), 70);  // absolute
  EXPECT_EQ(DisplayedDifference(project, kNotInBase, 10), 7);
  project.sliders[kDecimal].flags2 |= SliderFlag2::kSignInverted;
  EXPECT_EQ(DisplayedDifference(project, kDecimal, 70), -20);
  project.basePoses.entries[0].registered = false;
  EXPECT_EQ(DisplayedDifference(project, kDecimal, 70), -70);
}

TEST(ValueTexts, FieldUsesTheSlidersDecimalsAndPadsWithBlanks) {
  LoadedProject project = MakeProject();
  EXPECT_EQ(FormatValueField(project, kDecimal, 70), u"    +20            ");
  EXPECT_EQ(FormatValueField(project, kHex, 0x1234), u" 0x1234          ");
  EXPECT_EQ(FormatValueField(project, kDegrees, 5), u"    -2.5deg           ");
  EXPECT_EQ(FormatValueField(project, kPercent, 100), u"     100%             ");
  EXPECT_EQ(FormatCompanionValue(42), u"   42") << "companion values are five wide";
  EXPECT_EQ(FormatCompanionValue(-32768), u"-32768");
}

}  // namespace
}  // namespace gestalon::core
