#include "board/settings_image.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "board/board_mirror.h"
#include "board/board_settings.h"
#include "sample_cpu_settings.h"

namespace gestalon::core {
namespace {

using testing::SampleCpuSettings;

struct MemoryWrite {
  std::uint32_t address;
  std::size_t length;
};

// Runs the memory writes at the start of the image into `memory`; returns them in order and the
// offset of the first other instruction.
std::pair<std::vector<MemoryWrite>, std::size_t> RunWrites(const std::vector<std::uint8_t>& image,
                                                           BoardMirror& memory) {
  std::vector<MemoryWrite> writes;
  std::size_t at = 0;
  while (at + 6 <= image.size() && image[at] == 0x90) {
    const std::uint32_t address = image[at + 1] | image[at + 2] << 8 | image[at + 3] << 16 |
                                  static_cast<std::uint32_t>(image[at + 4]) << 24;
    const std::size_t length = image[at + 5];
    for (std::size_t i = 0; i < length; ++i) {
      memory.at(address + i) = image.at(at + 6 + i);
    }
    writes.push_back({address, length});
    at += 6 + length;
  }
  return {writes, at};
}

TEST(SettingsImage, WritesEverySettingInOrderAndStopsOnItself) {
  const CpuSettings settings = SampleCpuSettings();
  std::vector<std::uint8_t> image = BuildSettingsImage(settings);
  ASSERT_EQ(image.size(), 2795u);
  EXPECT_EQ(image.size(), kSettingsImageSize);

  BoardMirror memory{};
  const auto [writes, programEnd] = RunWrites(image, memory);
  std::vector<std::pair<std::uint32_t, std::size_t>> order;
  for (const MemoryWrite& w : writes) {
    order.emplace_back(w.address, w.length);
  }
  std::vector<std::pair<std::uint32_t, std::size_t>> expected{
      {0x0040, 4}, {0x0046, 2}, {0x0B80, 128}, {0x0020, 32}};
  for (std::uint32_t k = 0; k < 32; ++k) {
    expected.emplace_back(0x1000 + 64 * k, 64);
  }
  expected.insert(expected.end(), {{0x0B44, 1}, {0x0B54, 1}, {0x0B64, 1}, {0x0D00, 128}});
  for (std::uint32_t k = 0; k < 4; ++k) {
    expected.emplace_back(0x00C0 + 16 * k, 16);
  }
  expected.insert(expected.end(), {{0x0EA0, 1},
                                   {0x0EE0, 1},
                                   {0x0EF0, 1},
                                   {0x0EE6, 2},
                                   {0x0EB0, 48},
                                   {0x004A, 2},
                                   {0x004C, 2},
                                   {0x004E, 2}});
  EXPECT_EQ(order, expected);
  ASSERT_EQ(programEnd, 2780u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 2780, image.end()),
            (std::vector<std::uint8_t>{0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
                                       0x81, 0xE6, 0x0A, 0x00, 0x00}))
      << "fillers, then a jump to itself at 2790";

  // The startup call replaces the last five fillers and nothing else.
  const std::vector<std::uint8_t> before = image;
  PatchStartupCall(image, 0x00000AEB);
  ASSERT_EQ(image.size(), 2795u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 2785, image.begin() + 2790),
            (std::vector<std::uint8_t>{0x82, 0xEB, 0x0A, 0x00, 0x00}));
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 2785, before.begin()));
  EXPECT_TRUE(std::equal(image.begin() + 2790, image.end(), before.begin() + 2790));
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

TEST(SettingsImage, ValuesAsTheBoardKeepsThem) {
  const CpuSettings settings = SampleCpuSettings();
  BoardMirror memory{};
  RunWrites(BuildSettingsImage(settings), memory);

  EXPECT_EQ(MirrorLong(memory, 0x0040), 0x00012345u);
  EXPECT_EQ(MirrorWord(memory, 0x0046), 0x0203);
  for (std::size_t i = 0; i < 128; ++i) {
    EXPECT_EQ(memory[0x0B80 + i], i % 5);
  }
  EXPECT_EQ(MirrorText(memory, 0x0020, 31), "TESTBOT");
  EXPECT_EQ(memory[0x0020 + 31], 0);

  BoardMirror packed{};
  for (std::uint32_t k = 0; k < 32; ++k) {
    PackMotorRecord(settings.motors[k], packed, 0x1000 + 64 * k);
    StoreMirrorWord(packed, 0x1000 + 64 * k + 44, 0);  // word 22 is 0 in the image
  }
  for (std::uint32_t a = 0x1000; a < 0x1800; ++a) {
    ASSERT_EQ(memory[a], packed[a]) << std::hex << a;
  }
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 40), 0xB0A0);  // word 20: byte A first
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 42), 22);      // word 21 is sent
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 44), 0);       // words 22 and on are 0
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 62), 0);

  for (std::uint32_t reset : {0x0B44u, 0x0B54u, 0x0B64u, 0x0EA0u, 0x0EE0u}) {
    EXPECT_EQ(memory[reset], 1) << std::hex << reset;
  }
  for (std::uint32_t i = 0; i < 64; ++i) {
    EXPECT_EQ(MirrorWord(memory, 0x0D00 + 2 * i), 0x8000);
  }
  for (std::uint32_t b = 0; b < 4; ++b) {
    EXPECT_EQ(MirrorWord(memory, 0x00C0 + 16 * b), (10 + b) << 8 | b);  // low byte of 0x100 + b
    EXPECT_EQ(memory[0x00C2 + 16 * b], b * 16);
    EXPECT_EQ(memory[0x00CF + 16 * b], b * 16 + 13);
  }
  EXPECT_EQ(memory[0x0EF0], 2);
  EXPECT_EQ(MirrorWord(memory, 0x0EE6), 0);
  for (std::uint32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(MirrorWord(memory, 0x0EB0 + 2 * i), 0x1100 + i);
    EXPECT_EQ(MirrorWord(memory, 0x0EC0 + 2 * i), 0x2200 + i);
    EXPECT_EQ(MirrorWord(memory, 0x0ED0 + 2 * i), 0x3300 + i);
  }
  for (std::uint32_t word : {0x004Au, 0x004Cu, 0x004Eu}) {
    EXPECT_EQ(MirrorWord(memory, word), 1);
  }
}

}  // namespace
}  // namespace gestalon::core
