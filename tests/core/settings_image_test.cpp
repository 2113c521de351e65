#include "board/settings_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "golden_files.h"
#include "sample_cpu_settings.h"

namespace gestalon::core {
namespace {

TEST(SettingsImage, WritesEverySettingInOrderAndStopsOnItself) {
  std::vector<std::uint8_t> image = BuildSettingsImage(testing::SampleCpuSettings());
  EXPECT_EQ(image.size(), kSettingsImageSize);
  EXPECT_EQ(image, testing::CoreGoldenBytes("settings_image_sample.hex"));

  // The startup call replaces the last five fillers and nothing else.
  std::vector<std::uint8_t> expected = image;
  const std::uint8_t call[] = {0x82, 0xEB, 0x0A, 0x00, 0x00};
  std::copy(std::begin(call), std::end(call), expected.begin() + 2785);
  PatchStartupCall(image, 0x00000AEB);
  EXPECT_EQ(image, expected);
  std::vector<std::uint8_t> other(100, 0xC0);
  PatchStartupCall(other, 0x1234);
  EXPECT_EQ(other, std::vector<std::uint8_t>(100, 0xC0)) << "not a settings image";

  // Cleared settings still give the full program.
  image = BuildSettingsImage(CpuSettings{});
  ASSERT_EQ(image.size(), 2795u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 10),
            (std::vector<std::uint8_t>{0x90, 0x40, 0x00, 0x00, 0x00, 0x04, 0, 0, 0, 0}));
  EXPECT_EQ(image[2790], 0x81);
}

}  // namespace
}  // namespace gestalon::core
