#include "board/settings_image.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "board/board_mirror.h"
#include "board/board_settings.h"

namespace gestalon::core {
namespace {

CpuSettings SampleSettings() {
  CpuSettings s;
  s.basicControlCycle = 0x00012345;
  s.voiceAttenuator = 0x0203;
  for (std::size_t i = 0; i < s.interpolationMethods.size(); ++i) {
    s.interpolationMethods[i] = static_cast<std::uint8_t>(i % 5);
  }
  SetRobotName(s, u"TESTBOT");
  for (std::size_t k = 0; k < s.motors.size(); ++k) {
    for (std::size_t n = 0; n < s.motors[k].words.size(); ++n) {
      s.motors[k].words[n] = static_cast<std::uint16_t>(k * 0x100 + n + 1);
    }
    s.motors[k].word20A = static_cast<std::uint8_t>(0xA0 + k);
    s.motors[k].word20B = static_cast<std::uint8_t>(0xB0 + k);
  }
  for (std::size_t b = 0; b < s.serialBuses.size(); ++b) {
    s.serialBuses[b].SBUS_PROTOCOL = 0x100 + b;  // only the low byte goes to the board
    s.serialBuses[b].SBUS_N = 10 + b;
    for (std::size_t i = 0; i < 14; ++i) {
      s.serialBuses[b].SBUS_ID[i] = static_cast<std::uint8_t>(b * 16 + i);
    }
  }
  for (std::size_t i = 0; i < s.leds.size(); ++i) {
    s.leds[i] = {static_cast<std::uint16_t>(0x1100 + i), static_cast<std::uint16_t>(0x2200 + i),
                 static_cast<std::uint16_t>(0x3300 + i)};
  }
  s.controllerCancelBits = 0x0030;  // not sent: the program clears the cancel word
  s.ledEnable = 0x101;
  s.controllerEnable = 1;
  s.thirdEnable = 2;
  s.startupMotion = u"walk.KX4";
  return s;
}

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
  const CpuSettings settings = SampleSettings();
  const std::vector<std::uint8_t> image = BuildSettingsImage(settings);
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
  for (std::size_t i = 2780; i < 2790; ++i) {
    EXPECT_EQ(image[i], 0xC0) << i;
  }
  const std::vector<std::uint8_t> selfJump{0x81, 0xE6, 0x0A, 0x00, 0x00};  // 2790
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 2790, image.end()), selfJump);
}

TEST(SettingsImage, ValuesAsTheBoardKeepsThem) {
  const CpuSettings settings = SampleSettings();
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
  EXPECT_EQ(memory[0x1000 + 40], 0xA0);  // word 20: byte A first
  EXPECT_EQ(memory[0x1000 + 41], 0xB0);
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 42), 22);  // word 21 is sent
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 44), 0);   // words 22 and on are 0
  EXPECT_EQ(MirrorWord(memory, 0x1000 + 62), 0);

  for (std::uint32_t reset : {0x0B44u, 0x0B54u, 0x0B64u}) {
    EXPECT_EQ(memory[reset], 1);
  }
  for (std::uint32_t i = 0; i < 64; ++i) {
    EXPECT_EQ(MirrorWord(memory, 0x0D00 + 2 * i), 0x8000);
  }
  for (std::uint32_t b = 0; b < 4; ++b) {
    EXPECT_EQ(memory[0x00C0 + 16 * b], b);  // low byte of 0x100 + b
    EXPECT_EQ(memory[0x00C1 + 16 * b], 10 + b);
    EXPECT_EQ(memory[0x00C2 + 16 * b], b * 16);
    EXPECT_EQ(memory[0x00CF + 16 * b], b * 16 + 13);
  }
  EXPECT_EQ(memory[0x0EA0], 1);
  EXPECT_EQ(memory[0x0EE0], 1);
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

TEST(SettingsImage, ClearedSettingsStillGiveTheFullProgram) {
  const std::vector<std::uint8_t> image = BuildSettingsImage(CpuSettings{});
  ASSERT_EQ(image.size(), 2795u);
  const std::vector<std::uint8_t> head{0x90, 0x40, 0x00, 0x00, 0x00, 0x04, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 10), head);
  EXPECT_EQ(image[2790], 0x81);
}

TEST(SettingsImage, StartupCallReplacesTheLastFiveFillers) {
  std::vector<std::uint8_t> image = BuildSettingsImage(SampleSettings());
  const std::vector<std::uint8_t> before = image;
  PatchStartupCall(image, 0x00000AEB);
  ASSERT_EQ(image.size(), 2795u);
  const std::vector<std::uint8_t> call{0x82, 0xEB, 0x0A, 0x00, 0x00};
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 2785, image.begin() + 2790), call);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 2785, before.begin()));
  EXPECT_TRUE(std::equal(image.begin() + 2790, image.end(), before.begin() + 2790));

  std::vector<std::uint8_t> other(100, 0xC0);
  PatchStartupCall(other, 0x1234);
  EXPECT_EQ(other, std::vector<std::uint8_t>(100, 0xC0));
}

}  // namespace
}  // namespace gestalon::core
