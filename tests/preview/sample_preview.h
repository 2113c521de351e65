#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "preview/robot_preview.h"
#include "project/slider_defs.h"

namespace gestalon::testing {

inline const std::filesystem::path kSampleRobotFolder =
    std::filesystem::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid";

// The sample robot's sliders and its preview, as the program loads them.
struct SamplePreview {
  SamplePreview() {
    core::WindowLayout layout;
    EXPECT_TRUE(core::ReadSliderDefinitions(kSampleRobotFolder / "slider.ini", sliders, layout));
    preview::FileError error;
    EXPECT_EQ(preview::LoadRobotPreview(kSampleRobotFolder, sliders, robot, error),
              preview::PreviewLoad::kLoaded)
        << preview::FileErrorText(error).size();
  }
  core::SliderTable sliders{};
  preview::RobotPreview robot;
};

}  // namespace gestalon::testing
