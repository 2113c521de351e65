#include <gtest/gtest.h>

#include <string>

#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

TEST(Utf, RoundTripsAllPlanesAndReplacesIllFormedInput) {
  const std::u16string text = u"A\u00e9\u30ed\U0001F916z";
  EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE3\x83\xAD\xF0\x9F\xA4\x96z");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  // Each side of every length and surrogate boundary, both ways.
  const std::pair<std::u16string, std::string> bounds[] = {
      {u"\u007F", "\x7F"},
      {u"\u0080", "\xC2\x80"},
      {u"\u07FF", "\xDF\xBF"},
      {u"\u0800", "\xE0\xA0\x80"},
      {u"\uD7FF", "\xED\x9F\xBF"},
      {u"\uE000", "\xEE\x80\x80"},
      {u"\uFFFF", "\xEF\xBF\xBF"},
      {u"\U00010000", "\xF0\x90\x80\x80"},
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {u"\U0001F916", "\xF0\x9F\xA4\x96"},  // a pair at the very start
      {std::u16string(1, u'\xDBFF') + u'\xDC00', "\xF4\x8F\xB0\x80"},
  };
  for (const auto& [utf16, utf8] : bounds) {
    EXPECT_EQ(ToUtf8(utf16), utf8) << utf8;
    EXPECT_EQ(FromUtf8(utf8), utf16) << utf8;
  }
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDFFF')), "\xEF\xBF\xBD") << "a lone low surrogate";
  EXPECT_EQ(ToUtf8(u"a\xD800"
                   u"b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(FromUtf8("a\xFF"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xE3\x83"), u"\uFFFD\uFFFD") << "cut-off sequence";
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD") << "overlong encoding";
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogate";
  EXPECT_EQ(FromUtf8("\xED\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD") << "the last encoded surrogate";
}

TEST(CodePage932, ConvertsBothWaysAndUnmappableCharactersToDefaults) {
  EXPECT_EQ(ToAnsi(u"ロボット"), "\x83\x8D\x83\x7B\x83\x62\x83\x67");
  EXPECT_EQ(FromAnsi("\x83\x8D\x83\x7B\x83\x62\x83\x67"), u"ロボット");
  EXPECT_EQ(ToAnsi(u"C:\\temp~"), "C:\\temp~") << "backslash and tilde stay ASCII";
  EXPECT_EQ(ToAnsi(u"x\xDC00y"), "x?y") << "lone surrogate";
  EXPECT_EQ(FromAnsi("a\x83"), u"a\u30FB") << "lead byte cut off at the end";
  // Windows' converter gives best-fit letters, a '?' per half of a surrogate pair, and takes a bad
  // trail byte or an unassigned code as one character.
#ifndef _WIN32
  EXPECT_EQ(ToAnsi(u"a\u00e9b"), "a?b");
  EXPECT_EQ(ToAnsi(u"x\U0001F916y"), "x?y") << "a surrogate pair is one character";
  EXPECT_EQ(FromAnsi("\x83\x20z"), u"\u30FB z") << "invalid trail byte is decoded on its own";
  EXPECT_EQ(FromAnsi("\x85\x40"), u"\u30FB@") << "unassigned code";
#endif
  const std::string bytes = "\x80\xA0\xFD\xFE\xFF";
  const std::u16string text = u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3";
  EXPECT_EQ(FromAnsi(bytes), text);
  EXPECT_EQ(ToAnsi(text), bytes);
}

// The JIS look-alikes of full-width forms, which Linux input methods type: kept as the full-width
// codes there, refused by the converter under Wine.
std::string LookAlike(const char* fullWidthBytes) {
#ifdef _WIN32
  (void)fullWidthBytes;
  return "?";
#else
  return fullWidthBytes;
#endif
}

// Characters that have look-alikes or two codes in code page 932: one encoding each way, and
// every duplicate code decodes to the one character.
TEST(CodePage932, LookAlikesAndDuplicatesConvertAsTheSystemConverterDoes) {
  const std::pair<std::u16string, std::string> encoded[] = {
      {u"\uFF5E", "\x81\x60"},             // full-width tilde
      {u"\u301C", LookAlike("\x81\x60")},  // wave dash
      {u"\u2212", LookAlike("\x81\x7C")},  // minus sign
      {u"\u2016", LookAlike("\x81\x61")},  // double vertical line
      {u"\u203E", LookAlike("~")},         // overline (JIS X 0201 0x7E)
      {u"\u2014", LookAlike("\x81\x5C")},  // em dash
      {u"\u2460", "\x87\x40"},             // circled one (NEC row 13)
  };
  for (const auto& [text, bytes] : encoded) {
    EXPECT_EQ(ToAnsi(text, 932), bytes) << "U+" << std::hex << int{text[0]};
  }
  const std::pair<std::u16string, std::string> decoded[] = {
      {u"\u2252", "\x87\x90"},  // NEC row 13 duplicate of a JIS symbol
      {u"\uFFE2", "\xFA\x54"},  // IBM extension duplicate of a JIS symbol
      {u"\u7E8A", "\xED\x40"},  // NEC-selected IBM extension
  };
  for (const auto& [text, bytes] : decoded) {
    EXPECT_EQ(FromAnsi(bytes, 932), text) << "bytes " << ToUtf8(text);
  }
}

TEST(CodePage932, EveryTextOfTheStringTableRoundTrips) {
  const StringTable table = StringTable::Parse(EmbeddedStringTable());
  ASSERT_GT(table.Size(), 500u);
  EXPECT_EQ(table.BadLines(), 0);
  for (const auto& [id, text] : table.Entries()) {
    const std::string ansi = ToAnsi(text);
    EXPECT_EQ(FromAnsi(ansi), text) << "text " << id << " does not survive code page 932";
  }
}

TEST(Format, ConversionsOfNumbersCharactersAndTexts) {
  EXPECT_EQ(Format(u"%d|%u|%x|%X", -5, 7u, 255, 255), u"-5|7|ff|FF");
  EXPECT_EQ(Format(u"%02d:%03d|%5d|%-5d|", 7, 7, 42, 42), u"07:007|   42|42   |");
  EXPECT_EQ(Format(u"%+d %+d %+6d", 3, -3, 12), u"+3 -3    +12");
  EXPECT_EQ(Format(u"%04x", -1), u"ffffffff") << "no length modifier means 32 bits";
  EXPECT_EQ(Format(u"%hd %lld", 70000, 5000000000LL), u"4464 5000000000");
  EXPECT_EQ(Format(u"%f|%.4f|%.3f|%.2f", 0.6, 1.0, 1.5, 2.0), u"0.600000|1.0000|1.500|2.00");
  EXPECT_EQ(Format(u"%c%c", u'ロ', u'A'), u"ロA");
  EXPECT_EQ(Format(u"[%s]-[%5s]-[%-4s]-[%.2s]", u"名前", u"ab", u"ab", u"abc"),
            u"[名前]-[   ab]-[ab  ]-[ab]");
  EXPECT_EQ(Format(u"100%% %s", std::u16string(u"done")), u"100% done");
  EXPECT_EQ(Format(u"%*d|%.*f", 4, 7, 1, 2.25), u"   7|2.2");
  // Defined results where C leaves them open.
  EXPECT_EQ(Format(u"%d-%s-%f"), u"0--0.000000") << "missing arguments";
  EXPECT_EQ(Format(u"%s", 42), u"42");
  EXPECT_EQ(Format(u"%d", u"text"), u"0");
  EXPECT_EQ(Format(u"%q %", 1), u"%q %") << "unknown and cut-off conversions are copied";
  EXPECT_EQ(Format(u"%99999d", 1).size(), 4096u) << "widths are capped";
}

// Decimal: blanks and a sign, then digits up to the first other character. Floating point: the
// longest prefix, whatever the locale. Four hexadecimal digits exactly; hexadecimal text after
// blanks up to a separator; number texts in hexadecimal or decimal with signs.
TEST(NumberParse, EveryReaderStopsWhereItsNumberEnds) {
  EXPECT_EQ(ParseDecimal(u"  -42abc"), -42);
  EXPECT_EQ(ParseDecimal(u"\t\r\n\v\f 12"), 12);
  EXPECT_EQ(ParseDecimal(u""), 0);
  EXPECT_EQ(ParseDecimal(u"１２"), 0) << "full-width digits are not digits";
  EXPECT_EQ(ParseDecimal(u"99999999999"), 2147483647);
  EXPECT_EQ(ParseDecimal(u"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseDecimal(u"-2147483648"), -2147483647 - 1);
  EXPECT_DOUBLE_EQ(ParseFloat(u"0.600000"), 0.6);
  EXPECT_DOUBLE_EQ(ParseFloat(u" -1.5e2x"), -150.0);
  EXPECT_DOUBLE_EQ(ParseFloat(u""), 0.0);
  EXPECT_DOUBLE_EQ(ParseFloat(u"３.５"), 0.0);
  EXPECT_EQ(ParseHex4(u"0411"), 0x0411);
  EXPECT_EQ(ParseHex4(u"abCD"), 0xABCD);
  EXPECT_EQ(ParseHex4(u"04110"), 0x0411);
  EXPECT_EQ(ParseHex4(u"041"), 0);
  EXPECT_EQ(ParseHex4(u""), 0);
  EXPECT_EQ(ParseHexText(u"  1aF\r\n"), 0x1AFu);
  EXPECT_EQ(ParseHexText(u""), 0u);
  EXPECT_EQ(ParseHexText(u"1FFFFFFFF"), 0xFFFFFFFFu) << "accumulates modulo 2^32";
  EXPECT_EQ(ParseHexText(u"12G4"), 0x12u);
  EXPECT_EQ(ParseNumberText(u"0x1A"), 26);
  EXPECT_EQ(ParseNumberText(u"  0X1a "), 26);
  EXPECT_EQ(ParseNumberText(u"-0x10"), -16);
  EXPECT_EQ(ParseNumberText(u"size 300"), 0) << "the 'e' of size starts the number";
  EXPECT_EQ(ParseNumberText(u"abc"), 0) << "'a' is a hex digit: decimal reading of \"abc\"";
  EXPECT_EQ(ParseNumberText(u""), 0);
  EXPECT_EQ(ParseNumberText(u"0xFFFFFFFF"), -1);
}

}  // namespace
}  // namespace gestalon::core
