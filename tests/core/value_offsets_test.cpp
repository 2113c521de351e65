#include "project/value_offsets.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::Utf16File;
using testing::WriteBytes;

ValueOffsetTable MakeTable() {
  ValueOffsetTable table;
  const std::u16string names[] = {u"前傾", u"右足 +5", u"", u"[wide] - test"};
  for (std::size_t e = 0; e < 4; ++e) {
    ValueOffsetSet& set = table.entries[e];
    set.name = names[e];
    set.registered = true;
    for (std::size_t k = 0; k < kSliderCount; ++k) {
      set.offsets[k] = static_cast<std::int16_t>((static_cast<int>(k) - 64) * (37 + 50 * e));
    }
  }
  table.entries[0].offsets[0] = -32768;
  table.entries[0].offsets[1] = 32767;
  table.entries[6].registered = true;
  return table;
}

TEST(ValueOffsetsRoundTrip, WriteReadWriteGivesTheSameTableAndBytes) {
  TempDir dir;
  const ValueOffsetTable source = MakeTable();
  ASSERT_TRUE(WriteValueOffsets(dir / "a.ofs", source));
  ValueOffsetTable read;
  read.current = 3;
  ASSERT_TRUE(ReadValueOffsets(dir / "a.ofs", read));
  EXPECT_EQ(read.current, -1);
  for (std::size_t e = 0; e < 4; ++e) {
    EXPECT_EQ(read.entries[e], source.entries[e]) << "entry " << e;
  }
  EXPECT_FALSE(read.entries[6].registered) << "after a gap: not written";
  ASSERT_TRUE(WriteValueOffsets(dir / "b.ofs", read));
  EXPECT_EQ(ReadBytes(dir / "b.ofs"), ReadBytes(dir / "a.ofs"));
}

// The file's text: ShippedProjects rewrites the shipped offset files to their bytes.
TEST(ValueOffsetsWrite, AnEmptyTableIsTheByteOrderMarkAlone) {
  TempDir dir;
  ASSERT_TRUE(WriteValueOffsets(dir / "empty.ofs", ValueOffsetTable{}));
  EXPECT_EQ(ReadBytes(dir / "empty.ofs"), "\xFF\xFE");
}

class ValueOffsetsRead : public ::testing::Test {
 protected:
  bool ReadText(std::u16string_view text) {
    WriteBytes(dir_ / "o.ofs", Utf16File(text));
    return ReadFile(dir_ / "o.ofs");
  }
  bool ReadFile(const std::filesystem::path& path) {
    table_ = MakeTable();
    table_.current = 2;
    return ReadValueOffsets(path, table_);
  }
  // The first `count` offsets of entry `e`.
  std::vector<int> First(std::size_t e, std::size_t count) const {
    const auto& offsets = table_.entries[e].offsets;
    return {offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(count)};
  }

  TempDir dir_;
  ValueOffsetTable table_;
};

TEST_F(ValueOffsetsRead, UnopenableFileClearsTableAndChoice) {
  EXPECT_FALSE(ReadFile(dir_ / "missing.ofs"));
  EXPECT_EQ(table_, ValueOffsetTable{});
}

TEST_F(ValueOffsetsRead, PiecesFillOffsetsInOrder) {
  std::u16string many;
  for (int k = 0; k < 130; ++k) {
    many += k == 0 ? u"1" : u",1";
  }
  ASSERT_TRUE(
      ReadText(u"DEFOFS_VALUE:[5]\nDEFOFS:[[a]]\nDEFOFS_VALUE:[+0,-12, 7,x,]\n"
               u"DEFOFS:[[b]]\nDEFOFS_VALUE:[" +
               many + u"]\n"));
  EXPECT_EQ(table_.current, -1);
  EXPECT_EQ(First(0, 6), (std::vector<int>{0, -12, 7, 0, 0, 0}));
  std::array<std::int16_t, kSliderCount> ones;
  ones.fill(1);
  EXPECT_EQ(table_.entries[1].offsets, ones) << "pieces after the 128th are ignored";
  EXPECT_FALSE(table_.entries[2].registered);
}

TEST_F(ValueOffsetsRead, OffsetsBeyondSixteenBitsAreClamped) {
  ASSERT_TRUE(ReadText(u"DEFOFS:[[a]]\nDEFOFS_VALUE:[40000,-40000,32767,-32768,99999999999]\n"));
  EXPECT_EQ(First(0, 5), (std::vector<int>{32767, -32768, 32767, -32768, 32767}));
}

TEST_F(ValueOffsetsRead, EntriesBeyondTheTableAreIgnored) {
  std::u16string text;
  for (int e = 0; e < 37; ++e) {
    text += u"DEFOFS:[[o]]\nDEFOFS_VALUE:[" + std::u16string(e == 36 ? u"+9" : u"+1") + u"]\n";
  }
  ASSERT_TRUE(ReadText(text));
  for (const auto& set : table_.entries) {
    EXPECT_TRUE(set.registered);
    EXPECT_EQ(set.offsets[0], 1);
  }
}

}  // namespace
}  // namespace gestalon::core
