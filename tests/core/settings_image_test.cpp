#include "board/settings_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "golden_files.h"
#include "sample_cpu_settings.h"

namespace gestalon::core {
namespace {

// Where the start-up call goes is checked with the whole start-up image by the image builder's
// tests; here the settings program itself, and a patch that finds no settings program.
TEST(SettingsImage, WritesEverySettingInOrderAndPatchesOnlyItself) {
  const std::vector<std::uint8_t> image = BuildSettingsImage(testing::SampleCpuSettings());
  EXPECT_EQ(image.size(), kSettingsImageSize);
  EXPECT_EQ(image, testing::CoreGoldenBytes("settings_image_sample.hex"));
  std::vector<std::uint8_t> other(100, 0xC0);
  PatchStartupCall(other, 0x1234);
  EXPECT_EQ(other, std::vector<std::uint8_t>(100, 0xC0)) << "not a settings image";
}

}  // namespace
}  // namespace gestalon::core
