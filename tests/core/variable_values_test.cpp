#include "board/variable_values.h"

#include <gtest/gtest.h>

namespace gestalon::core {
namespace {

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
      {0x0100, 1, u"-128", u"0x80"},
      {0x0100, 2, u"-128", u"0xff80"},
      {0x0100, 4, u"-128", u"0xffffff80"},
      {0x0200, 2, u"4660", u"0x1234"},
      {0x0200, 1, u"52", u"0x34"},
      {0x0200, 3, u"", u""},
      {0x0200, 0, u"", u""},
      {0x1FFF, 2, u"0", u"0x0000"},  // reaches past the end of memory
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VariableValueText(mirror, c.address, c.size, false), c.decimal) << c.address;
    EXPECT_EQ(VariableValueText(mirror, c.address, c.size, true), c.hexadecimal) << c.address;
  }
  EXPECT_EQ(VariableAddressText(3812, false), u"3812");
  EXPECT_EQ(VariableAddressText(3812, true), u"0x0ee4");
}

TEST(VariableSearch, NameContainsTheTextAsWritten) {
  const VariableDef pad{2, u"PAD_RX", 0x0EE8};
  EXPECT_TRUE(VariableMatchesSearch(pad, u""));
  EXPECT_TRUE(VariableMatchesSearch(pad, u"D_R"));
  EXPECT_FALSE(VariableMatchesSearch(pad, u"pad"));
  EXPECT_FALSE(VariableMatchesSearch(pad, u"PAD_RY"));
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
  EXPECT_EQ(requested[0x0100 + 2 * 199 + 1], 1);
  EXPECT_EQ(requested[0x0100 + 2 * (next - 1) + 1], 1) << "wrapped to the first definitions";
  EXPECT_EQ(requested[0x0100 + 2 * next], 0);
  EXPECT_EQ(requested[0x0100 + 2 * 149], 0);

  ASSERT_TRUE(link.TryTakeBoard());
  EXPECT_EQ(RequestVariableReads(link, defs, next), next) << "the board is held by another task";
  link.ReleaseBoard();
}

}  // namespace
}  // namespace gestalon::core
