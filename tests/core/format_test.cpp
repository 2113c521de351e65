#include "text/format.h"

#include <gtest/gtest.h>

namespace gestalon::core {
namespace {

TEST(Format, IntegerConversions) {
  EXPECT_EQ(Format(u"%d|%u|%x|%X", -5, 7u, 255, 255), u"-5|7|ff|FF");
  EXPECT_EQ(Format(u"%02d:%03d|%5d|%-5d|", 7, 7, 42, 42), u"07:007|   42|42   |");
  EXPECT_EQ(Format(u"0x%04x 0x%08x 0x%02x", 0xAB, 0x1234, 0x5), u"0x00ab 0x00001234 0x05");
  EXPECT_EQ(Format(u"%+d %+d %+6d", 3, -3, 12), u"+3 -3    +12");
  EXPECT_EQ(Format(u"%04x", -1), u"ffffffff") << "no length modifier means 32 bits";
  EXPECT_EQ(Format(u"%hd %lld", 70000, 5000000000LL), u"4464 5000000000");
}

TEST(Format, FloatingPointCharactersAndTexts) {
  EXPECT_EQ(Format(u"%f|%.4f|%.3f|%.2f", 0.6, 1.0, 1.5, 2.0), u"0.600000|1.0000|1.500|2.00");
  EXPECT_EQ(Format(u"%c%c", u'ロ', u'A'), u"ロA");
  EXPECT_EQ(Format(u"[%s]-[%5s]-[%-4s]-[%.2s]", u"名前", u"ab", u"ab", u"abc"),
            u"[名前]-[   ab]-[ab  ]-[ab]");
  EXPECT_EQ(Format(u"100%% %s", std::u16string(u"done")), u"100% done");
  EXPECT_EQ(Format(u"%*d|%.*f", 4, 7, 1, 2.25), u"   7|2.2");
}

TEST(Format, FormatsBuiltAtRunTime) {
  const std::u16string degrees = Format(u" %%+7.%dfdeg           ", 2);
  EXPECT_EQ(degrees, u" %+7.2fdeg           ");
  EXPECT_EQ(Format(degrees, 12.5), u"  +12.50deg           ");
  const std::u16string percent = Format(u" %%7.%df%%%%             ", 1);
  EXPECT_EQ(percent, u" %7.1f%%             ");
  EXPECT_EQ(Format(percent, 50.0), u"    50.0%             ");
  EXPECT_EQ(Format(Format(u" (%%+.%df°)", 1), -2.0), u" (-2.0°)");
}

TEST(Format, DefinedResultsWhereCLeavesThemOpen) {
  EXPECT_EQ(Format(u"%d-%s-%f"), u"0--0.000000") << "missing arguments";
  EXPECT_EQ(Format(u"%s", 42), u"42");
  EXPECT_EQ(Format(u"%d", u"text"), u"0");
  EXPECT_EQ(Format(u"%q %", 1), u"%q %") << "unknown and cut-off conversions are copied";
  EXPECT_EQ(Format(u"%99999d", 1).size(), 4096u) << "widths are capped";
}

}  // namespace
}  // namespace gestalon::core
