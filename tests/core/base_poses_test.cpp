#include "project/base_poses.h"

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::Utf16File;
using testing::WriteBytes;

// Base poses as the file can hold them: values only on enabled sliders, mask bits 0..31.
BasePoseTable MakeTable() {
  BasePoseTable table;
  table.current = 2;
  const std::u16string names[] = {u"直立", u"歩行用 [立ち] - 1", u"", u"Sit:low"};
  for (std::size_t e = 0; e < 4; ++e) {
    BasePose& pose = table.entries[e];
    pose.name = names[e];
    pose.registered = true;
    pose.servoEnableMask = 0x80000001u | (0x1234u << e);
    for (std::size_t k = e; k < kSliderCount; k += 3 + e) {
      pose.axisEnable[k] = true;
      pose.values[k] = static_cast<std::int16_t>(static_cast<int>(k) * 257 - 16000);
    }
  }
  table.entries[0].values[0] = -32768;
  table.entries[0].values[3] = 32767;
  table.entries[1].axisEnable[127] = true;
  table.entries[1].values[127] = -1;
  return table;
}

TEST(BasePosesRoundTrip, WriteReadWriteGivesTheSameTableAndBytes) {
  TempDir dir;
  const BasePoseTable source = MakeTable();
  ASSERT_TRUE(WriteBasePoses(dir / "a.pos", source));
  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses(dir / "a.pos", read));
  EXPECT_EQ(read, source);
  ASSERT_TRUE(WriteBasePoses(dir / "b.pos", read));
  EXPECT_EQ(ReadBytes(dir / "b.pos"), ReadBytes(dir / "a.pos"));
}

// The file's text: ShippedProjects rewrites the shipped base pose files to their bytes.
TEST(BasePosesWrite, WritesEnabledValuesAndThirtyTwoChannelsAndStopsAtTheFirstGap) {
  TempDir dir;
  BasePoseTable table = MakeTable();
  table.entries[0].axisEnable[1] = false;
  table.entries[0].values[1] = 55;
  table.entries[0].servoEnableMask = 0x1'0000'0005u;
  table.entries[5].registered = true;
  ASSERT_TRUE(WriteBasePoses(dir / "a.pos", table));
  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses(dir / "a.pos", read));
  EXPECT_EQ(read.entries[0].values[1], 0);
  EXPECT_EQ(read.entries[0].servoEnableMask, 0x5u);
  EXPECT_FALSE(read.entries[5].registered);
}

class BasePosesRead : public ::testing::Test {
 protected:
  bool ReadText(std::u16string_view text) {
    WriteBytes(dir_ / "p.pos", Utf16File(text));
    return ReadFile(dir_ / "p.pos");
  }
  bool ReadFile(const std::filesystem::path& path) {
    table_ = MakeTable();
    table_.current = 7;
    return ReadBasePoses(path, table_);
  }
  const BasePose& Entry(std::size_t e) const { return table_.entries[e]; }
  std::size_t RegisteredCount() const {
    std::size_t count = 0;
    for (const auto& entry : table_.entries) {
      count += entry.registered ? 1 : 0;
    }
    return count;
  }

  TempDir dir_;
  BasePoseTable table_;
};

TEST_F(BasePosesRead, UnopenableFileClearsTheTableButKeepsTheCurrentNumber) {
  EXPECT_FALSE(ReadFile(dir_ / "missing.pos"));
  EXPECT_EQ(table_.entries, BasePoseTable{}.entries);
  EXPECT_EQ(table_.current, 7);
}

TEST_F(BasePosesRead, CurrentNumberOutsideTheTableBecomesZero) {
  // No key leaves the number as it was.
  const std::pair<std::u16string, int> cases[] = {{u"MAINDEFPOS_NUM:[36]\n", 0},
                                                  {u"MAINDEFPOS_NUM:[-1]\n", 0},
                                                  {u"MAINDEFPOS_NUM:[35]\n", 35},
                                                  {u"DEFPOS:[[a]]\n", 7}};
  for (const auto& [text, current] : cases) {
    ASSERT_TRUE(ReadText(text));
    EXPECT_EQ(table_.current, current) << ToUtf8(text);
  }
  EXPECT_EQ(RegisteredCount(), 1u);
}

TEST_F(BasePosesRead, AxisNumbersOutsideTheTableAreIgnored) {
  ASSERT_TRUE(
      ReadText(u"DEFPOS:[[a]]\nAXISENABLE:[127,128,-1,0]\nDEFPOS_VALUE:[0x0005,0x0007,0x0009]\n"));
  std::array<bool, kSliderCount> expected{};
  expected[0] = expected[127] = true;
  EXPECT_EQ(Entry(0).axisEnable, expected);
  EXPECT_EQ(Entry(0).values[0], 5);
  EXPECT_EQ(Entry(0).values[127], 7);
}

TEST_F(BasePosesRead, ServoEnableCharacters) {
  ASSERT_TRUE(
      ReadText(u"DEFPOS:[[a]]\nSERVOENABLE:[101]\n"
               u"DEFPOS:[[b]]\nSERVOENABLE:[111111111111111111111111111111111111]\n"
               u"DEFPOS:[[c]]\nSERVOENABLE:[11]\nSERVOENABLE:[0x1]\n"));
  EXPECT_EQ(Entry(0).servoEnableMask, 0x5u);
  EXPECT_EQ(Entry(1).servoEnableMask, 0xFFFFFFFFu) << "at most 32 characters";
  EXPECT_EQ(Entry(2).servoEnableMask, 0x4u) << "a later line clears the bits it covers";
}

TEST_F(BasePosesRead, ValueItems) {
  ASSERT_TRUE(
      ReadText(u"DEFPOS:[[a]]\nDEFPOS_VALUE:[0x0009]\nAXISENABLE:[1,2,4,6]\n"
               u"DEFPOS_VALUE:[0xff38,0X7FFF,0x8000]\n"));
  EXPECT_EQ(Entry(0).values[1], -200);
  EXPECT_EQ(Entry(0).values[2], 32767);
  EXPECT_EQ(Entry(0).values[4], -32768);
  EXPECT_EQ(Entry(0).values[6], 0) << "enabled slider without an item";
  EXPECT_EQ(Entry(0).values[0], 0) << "values before the axis list assign nothing";
}

TEST_F(BasePosesRead, EntriesBeyondTheTableAreIgnored) {
  std::u16string text;
  for (int e = 0; e < 38; ++e) {
    text += e < 36 ? u"DEFPOS:[[p]]\n" : u"DEFPOS:[[p]]\nAXISENABLE:[5]\n";
  }
  text += u"MAINDEFPOS_NUM:[4]\n";
  ASSERT_TRUE(ReadText(text));
  EXPECT_EQ(RegisteredCount(), 36u);
  for (const auto& entry : table_.entries) {
    EXPECT_FALSE(entry.axisEnable[5]);
  }
  EXPECT_EQ(table_.current, 4);
}

TEST_F(BasePosesRead, LongNamesAreCut) {
  const std::u16string longName(130, u'名');
  ASSERT_TRUE(ReadText(u"DEFPOS:[[" + longName + u"]]\n"));
  EXPECT_EQ(Entry(0).name, longName.substr(0, kBasePoseNameMaxChars));
}

}  // namespace
}  // namespace gestalon::core
