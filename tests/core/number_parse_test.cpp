#include "text/number_parse.h"

#include <gtest/gtest.h>

namespace gestalon::core {
namespace {

TEST(ParseDecimal, AcceptsBlanksAndSignAndStopsAtNonDigit) {
  EXPECT_EQ(ParseDecimal(u"  -42abc"), -42);
  EXPECT_EQ(ParseDecimal(u"+7"), 7);
  EXPECT_EQ(ParseDecimal(u"\t\r\n 12"), 12);
  EXPECT_EQ(ParseDecimal(u""), 0);
  EXPECT_EQ(ParseDecimal(u"-"), 0);
  EXPECT_EQ(ParseDecimal(u"x12"), 0);
  EXPECT_EQ(ParseDecimal(u"１２"), 0) << "full-width digits are not digits";
  EXPECT_EQ(ParseDecimal(u"99999999999"), 2147483647);
  EXPECT_EQ(ParseDecimal(u"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseDecimal(u"-2147483648"), -2147483647 - 1);
}

TEST(ParseFloat, ReadsLongestPrefixIndependentlyOfLocale) {
  EXPECT_DOUBLE_EQ(ParseFloat(u"0.600000"), 0.6);
  EXPECT_DOUBLE_EQ(ParseFloat(u" -1.5e2x"), -150.0);
  EXPECT_DOUBLE_EQ(ParseFloat(u"+2.25"), 2.25);
  EXPECT_DOUBLE_EQ(ParseFloat(u"abc"), 0.0);
  EXPECT_DOUBLE_EQ(ParseFloat(u""), 0.0);
  EXPECT_DOUBLE_EQ(ParseFloat(u"３.５"), 0.0);
}

TEST(ParseHex4, TakesExactlyFourDigits) {
  EXPECT_EQ(ParseHex4(u"0411"), 0x0411);
  EXPECT_EQ(ParseHex4(u"abCD"), 0xABCD);
  EXPECT_EQ(ParseHex4(u"04110"), 0x0411);
  EXPECT_EQ(ParseHex4(u"041"), 0);
  EXPECT_EQ(ParseHex4(u""), 0);
  EXPECT_EQ(ParseHex4(u"04g1"), 0);
}

TEST(ParseHexText, SkipsLeadingBlanksAndStopsAtSeparators) {
  EXPECT_EQ(ParseHexText(u"  1aF\r\n"), 0x1AFu);
  EXPECT_EQ(ParseHexText(u"\tFF 12"), 0xFFu);
  EXPECT_EQ(ParseHexText(u""), 0u);
  EXPECT_EQ(ParseHexText(u"   "), 0u);
  EXPECT_EQ(ParseHexText(u"1FFFFFFFF"), 0xFFFFFFFFu) << "accumulates modulo 2^32";
  EXPECT_EQ(ParseHexText(u"12G4"), 0x12u);
}

TEST(ParseNumberText, HexDecimalAndSigns) {
  EXPECT_EQ(ParseNumberText(u"0x1A"), 26);
  EXPECT_EQ(ParseNumberText(u"  0X1a "), 26);
  EXPECT_EQ(ParseNumberText(u"-0x10"), -16);
  EXPECT_EQ(ParseNumberText(u"=-12"), -12);
  EXPECT_EQ(ParseNumberText(u"+5"), 5);
  EXPECT_EQ(ParseNumberText(u"n: 300"), 300);
  EXPECT_EQ(ParseNumberText(u"size 300"), 0) << "the 'e' of size starts the number";
  EXPECT_EQ(ParseNumberText(u"abc"), 0) << "'a' is a hex digit: decimal reading of \"abc\"";
  EXPECT_EQ(ParseNumberText(u".5"), 0);
  EXPECT_EQ(ParseNumberText(u""), 0);
  EXPECT_EQ(ParseNumberText(u"zz"), 0);
  EXPECT_EQ(ParseNumberText(u"0xFFFFFFFF"), -1);
}

}  // namespace
}  // namespace gestalon::core
