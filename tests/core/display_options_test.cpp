#include "project/display_options.h"

#include <gtest/gtest.h>

#include <string>

#include "project/system_settings.h"

namespace gestalon::core {
namespace {

namespace Flag = SystemFlag;

// What the dialog's controls show for a flags word, and what applying them back makes of it.
TEST(DisplayOptions, ControlsShowAndApplyTheFlags) {
  struct Case {
    std::uint32_t flags;
    int choice;               // combo of unused pose sliders
    bool doubleClickToggles;  // check 1202
    std::uint32_t applied;    // the same controls applied unchanged
  };
  const std::uint32_t kept =
      Flag::kOnline | Flag::kModified | Flag::kWallpaperSecond | Flag::kNewWriteMethod;
  const Case cases[] = {
      {0, 0, true, Flag::kUnknownAxisAsk | Flag::kUnknownAxisKeep},
      {Flag::kUnknownAxisAsk, 2, true, Flag::kUnknownAxisAsk},
      {Flag::kUnknownAxisKeep | Flag::kDoubleClickSplitOff, 1, false,
       Flag::kUnknownAxisKeep | Flag::kDoubleClickSplitOff},
      // The voice option has no control: applying clears it. Run-time bits and the options
      // without controls stay.
      {Flag::kVoiceErrorMessage | kept | Flag::kUnknownAxisAsk, 2, true,
       kept | Flag::kUnknownAxisAsk},
  };
  for (const Case& c : cases) {
    const DisplayOptions options = DisplayOptionsOf(c.flags);
    EXPECT_EQ(options.unusedSliderChoice, c.choice) << c.flags;
    EXPECT_EQ(options.doubleClickTogglesSplit, c.doubleClickToggles) << c.flags;
    EXPECT_EQ(WithDisplayOptions(c.flags, options), c.applied) << c.flags;
  }
  // Each check box reaches its own bit.
  DisplayOptions all = DisplayOptionsOf(0);
  all.showToolbar = all.showStatusWindow = all.drawWallpaper = all.oldArrows = all.arrowMarks =
      all.useJump = all.spaceServoOff = all.basePoseSelectedOnly = true;
  all.doubleClickTogglesSplit = false;
  all.unusedSliderChoice = 1;
  EXPECT_EQ(WithDisplayOptions(0, all), Flag::kToolbar | Flag::kStatusWindow | Flag::kWallpaper |
                                            Flag::kOldArrows | Flag::kArrowMarks | Flag::kUseJump |
                                            Flag::kSpaceServoOff | Flag::kBasePoseSelectedOnly |
                                            Flag::kDoubleClickSplitOff | Flag::kUnknownAxisKeep);
  EXPECT_EQ(WithDisplayOptions(WithDisplayOptions(0, all), DisplayOptionsOf(0)),
            Flag::kUnknownAxisAsk | Flag::kUnknownAxisKeep);
}

TEST(DisplayOptions, FitPreviewScalesDownAndCentres) {
  struct Case {
    int imageWidth, imageHeight, boxWidth, boxHeight;
    PreviewRect rect;
  };
  const Case cases[] = {
      {20, 10, 200, 100, {90, 45, 20, 10}},    // small: own size, centred
      {100, 400, 200, 100, {87, 0, 25, 100}},  // taller than wide: by height
      {1000, 1, 200, 100, {0, 49, 200, 1}},    // never thinner than a pixel
      {0, 10, 200, 100, {}},                   // no image
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitPreview(c.imageWidth, c.imageHeight, c.boxWidth, c.boxHeight), c.rect)
        << c.imageWidth << "x" << c.imageHeight;
  }
}

TEST(DisplayOptions, GridSpacingIsTheAbsoluteValue) {
  const std::pair<std::u16string, std::int32_t> cases[] = {
      {u"-20", 20},
      {u" 7x", 7},
      {u"abc", 0},
      {u"-2147483648", 2147483647},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(GridSpacingFromText(text), value) << value;
  }
}

}  // namespace
}  // namespace gestalon::core
