#include "variables/variable_defs.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::TempDir;
using testing::Utf16Bytes;
using testing::WriteBytes;

std::vector<VariableDef> Load(const std::filesystem::path& path) {
  auto defs = LoadVariableDefs(path);
  EXPECT_TRUE(defs.has_value());
  return defs.value_or(std::vector<VariableDef>{});
}

TEST(VariableDefsLoad, ReadsAddressSizeAndNameOfEveryLine) {
  TempDir dir;
  WriteBytes(dir / "mem.txt",
             "0x0EE4,2,PAD\r\n"
             "3812,1,\x83\x70\x83\x62\x83\x68 low\r\n"  // パッド low
             "\r\n"
             " 0x10 ,-4,name, after a comma\r\n"
             "16,4\r\n");
  const auto defs = Load(dir / "mem.txt");
  ASSERT_EQ(defs.size(), 5u);
  EXPECT_EQ(defs[0].address, 3812);
  EXPECT_EQ(defs[0].size, 2);
  EXPECT_EQ(defs[0].name, u"PAD");
  EXPECT_EQ(defs[1].address, 3812);
  EXPECT_EQ(defs[1].size, 1);
  EXPECT_EQ(defs[1].name, u"パッド low");
  EXPECT_EQ(defs[2].address, 0) << "an empty line still gives a record";
  EXPECT_EQ(defs[2].name, u"");
  EXPECT_EQ(defs[3].address, 16);
  EXPECT_EQ(defs[3].size, -4);
  EXPECT_EQ(defs[3].name, u"name");
  EXPECT_EQ(defs[4].size, 4);
  EXPECT_EQ(defs[4].name, u"");
}

TEST(VariableDefsLoad, LongNamesAreCutAndMissingFilesReported) {
  TempDir dir;
  WriteBytes(dir / "mem.txt", "1,1," + std::string(300, 'v') + "\r\n2,2,b\r\n");
  const auto defs = Load(dir / "mem.txt");
  ASSERT_EQ(defs.size(), 2u);
  EXPECT_EQ(defs[0].name, std::u16string(127, u'v'));
  EXPECT_EQ(defs[1].name, u"b");
  EXPECT_FALSE(LoadVariableDefs(dir / "missing.txt").has_value());
}

TEST(VariableDefsLoad, WrittenFileReadsBack) {
  TempDir dir;
  const std::vector<VariableDef> defs = {
      {2, u"PAD", 0x0EE4}, {1, u"カウンタ", 0x0600}, {4, u"総数", 0xFFFF}};
  ASSERT_TRUE(WriteVariableDefs(dir / "mem.txt", defs));
  EXPECT_EQ(testing::ReadBytes(dir / "mem.txt"),
            Utf16Bytes(u"0x0ee4,2,PAD\r\n0x0600,1,カウンタ\r\n0xffff,4,総数\r\n"));
  const auto read = Load(dir / "mem.txt");
  ASSERT_EQ(read.size(), defs.size());
  for (std::size_t i = 0; i < defs.size(); ++i) {
    EXPECT_EQ(read[i].address, defs[i].address) << i;
    EXPECT_EQ(read[i].size, defs[i].size) << i;
    EXPECT_EQ(read[i].name, defs[i].name) << i;
  }
  EXPECT_FALSE(WriteVariableDefs(dir / "missing" / "mem.txt", defs));
}

TEST(VariableLabelText, DecimalHexadecimalAndUnknown) {
  const std::vector<VariableDef> defs = {{2, u"PAD", 3812}};
  EXPECT_EQ(VariableLabel(defs, 3812, 0, false), u"3812:PAD");
  EXPECT_EQ(VariableLabel(defs, 3812, 0, true), u"0x0ee4:PAD");
  EXPECT_EQ(VariableLabel(defs, 3813, 0, true), u"3813:Unkown");
  EXPECT_EQ(VariableLabel(defs, 3812, 4, false), u"3812:Unkown");
  EXPECT_EQ(VariableLabel({}, 0, 0, false), u"0:Unkown");
}

TEST(VariableLabelText, SizeChoosesAmongDefinitionsOfOneAddress) {
  const std::vector<VariableDef> defs = {{1, u"low", 0x0600}, {2, u"word", 0x0600}};
  EXPECT_EQ(VariableLabel(defs, 0x0600, 2, false), u"1536:word");
  EXPECT_EQ(VariableLabel(defs, 0x0600, 1, false), u"1536:low");
  EXPECT_EQ(VariableLabel(defs, 0x0600, 0, false), u"1536:low");
}

}  // namespace
}  // namespace gestalon::core
