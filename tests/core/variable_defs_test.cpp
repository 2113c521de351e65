#include "variables/variable_defs.h"

#include <gtest/gtest.h>

#include <tuple>

#include "board/variable_values.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::TempDir;
using testing::Utf16Bytes;
using testing::WriteBytes;

// Each definition as (address, size, name); nothing when the file cannot be read.
std::vector<std::tuple<int, int, std::u16string>> Load(const std::filesystem::path& path) {
  std::vector<std::tuple<int, int, std::u16string>> rows;
  for (const VariableDef& def : LoadVariableDefs(path).value_or(std::vector<VariableDef>{})) {
    rows.emplace_back(def.address, def.size, def.name);
  }
  return rows;
}

using Rows = std::vector<std::tuple<int, int, std::u16string>>;

TEST(VariableDefs, ReadsAddressSizeAndNameOfEveryLineAndWritesThemBack) {
  TempDir dir;
  WriteBytes(dir / "mem.txt",
             "0x0EE4,2,PAD\r\n"
             "3812,1,\x83\x70\x83\x62\x83\x68 low\r\n"  // パッド low
             "\r\n"                                     // an empty line still gives a record
             " 0x10 ,-4,name, after a comma\r\n"
             "16,4\r\n"
             "1,1," +
                 std::string(300, 'v') + "\r\n2,2,b\r\n");
  EXPECT_EQ(Load(dir / "mem.txt"), (Rows{{3812, 2, u"PAD"},
                                         {3812, 1, u"パッド low"},
                                         {0, 0, u""},
                                         {16, -4, u"name"},
                                         {16, 4, u""},
                                         {1, 1, std::u16string(127, u'v')},
                                         {2, 2, u"b"}}));
  EXPECT_FALSE(LoadVariableDefs(dir / "missing.txt").has_value());
  const std::vector<VariableDef> defs = {
      {2, u"PAD", 0x0EE4}, {1, u"カウンタ", 0x0600}, {4, u"総数", 0xFFFF}};
  ASSERT_TRUE(WriteVariableDefs(dir / "mem.txt", defs));
  EXPECT_EQ(testing::ReadBytes(dir / "mem.txt"),
            Utf16Bytes(u"0x0ee4,2,PAD\r\n0x0600,1,カウンタ\r\n0xffff,4,総数\r\n"));
  EXPECT_EQ(Load(dir / "mem.txt"),
            (Rows{{0x0EE4, 2, u"PAD"}, {0x0600, 1, u"カウンタ"}, {0xFFFF, 4, u"総数"}}));
  EXPECT_FALSE(WriteVariableDefs(dir / "missing" / "mem.txt", defs));
}

// Number styles and an unknown size: ProjectLoadTest.VariableLabelsFollowTheSharedNumberStyle.
TEST(VariableLabelText, SizeChoosesAmongDefinitionsOfOneAddress) {
  const std::vector<VariableDef> defs = {{1, u"low", 0x0600}, {2, u"word", 0x0600}};
  EXPECT_EQ(VariableLabel(defs, 0x0600, 2, false), u"1536:word");
  EXPECT_EQ(VariableLabel(defs, 0x0600, 0, false), u"1536:low");
  EXPECT_EQ(VariableLabel(defs, 0x0601, 0, true), u"1537:Unkown");
}

TEST(VariableValueText, BySizeInBothNumberStyles) {
  BoardMirror mirror{};
  StoreMirrorLong(mirror, 0x0100, 0xFFFFFF80u);
  StoreMirrorWord(mirror, 0x0200, 0x1234);
  struct Case {
    std::uint16_t address;
    std::int32_t size;
    std::u16string decimal;
    std::u16string hexadecimal;
  };
  const Case cases[] = {
      {0x0100, 1, u"-128", u"0x80"}, {0x0100, 4, u"-128", u"0xffffff80"}, {0x0200, 3, u"", u""},

      {0x0200, 0, u"", u""},         {0x1FFF, 2, u"0", u"0x0000"},  // reaches past the end of
                                                                    // memory
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VariableValueText(mirror, c.address, c.size, false), c.decimal) << c.address;
    EXPECT_EQ(VariableValueText(mirror, c.address, c.size, true), c.hexadecimal) << c.address;
  }
  EXPECT_EQ(VariableAddressText(3812, true), u"0x0ee4");
}

TEST(RequestVariableReads, AsksForOneTickOfDefinitionsAndWraps) {
  std::vector<VariableDef> defs;
  for (std::uint16_t i = 0; i < 200; ++i) {
    defs.push_back({2, u"v", static_cast<std::uint16_t>(0x0100 + 2 * i)});
  }
  BoardLink link;
  EXPECT_EQ(RequestVariableReads(link, defs, 5), 5u) << "offline: nothing asked";
  EXPECT_EQ(link.Refresh().requested[0x0100 + 10], 0);
  link.Flags().online.store(1);
  const std::size_t next = RequestVariableReads(link, defs, 150);
  EXPECT_EQ(next, (150 + kVariableReadsPerTick) % defs.size());
  const auto& requested = link.Refresh().requested;
  EXPECT_EQ(requested[0x0100 + 2 * 150], 1);
  EXPECT_EQ(requested[0x0100 + 2 * (next - 1) + 1], 1) << "wrapped to the first definitions";
  EXPECT_EQ(requested[0x0100 + 2 * next], 0);
  EXPECT_EQ(requested[0x0100 + 2 * 149], 0);
  ASSERT_TRUE(link.TryTakeBoard());
  EXPECT_EQ(RequestVariableReads(link, defs, next), next) << "the board is held by another task";
  const std::vector<VariableDef> unsized = {{0, u"none", 0x0100}, {2, u"v", 0x0102}};
  EXPECT_EQ(RequestVariableReads(link, unsized, 0), 1u)
      << "a definition without a size asks nothing";
  link.ReleaseBoard();
}

}  // namespace
}  // namespace gestalon::core
