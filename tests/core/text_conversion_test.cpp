#include <gtest/gtest.h>

#include <string>

#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

TEST(Utf, RoundTripsAllPlanes) {
  const std::u16string text = u"A\u00e9\u30ed\U0001F916z";
  EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE3\x83\xAD\xF0\x9F\xA4\x96z");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
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
}

TEST(CodePage932, ConvertsJapaneseBothWays) {
  EXPECT_EQ(ToAnsi(u"ロボット"), "\x83\x8D\x83\x7B\x83\x62\x83\x67");
  EXPECT_EQ(FromAnsi("\x83\x8D\x83\x7B\x83\x62\x83\x67"), u"ロボット");
  EXPECT_EQ(ToAnsi(u"C:\\temp~"), "C:\\temp~") << "backslash and tilde stay ASCII";
  EXPECT_EQ(FromAnsi("\xB1\xDD"), u"ｱﾝ") << "half-width katakana";
  EXPECT_EQ(ToAnsi(u"①～"), "\x87\x40\x81\x60") << "Microsoft extensions";
}

TEST(CodePage932, UnmappableCharactersBecomeDefaults) {
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
}

TEST(CodePage932, SingleBytesOutsideShiftJisRoundTripAsOnWindows) {
  const std::string bytes = "\x80\xA0\xFD\xFE\xFF";
  const std::u16string text = u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3";
  EXPECT_EQ(FromAnsi(bytes), text);
  EXPECT_EQ(ToAnsi(text), bytes);
}

struct Mapping {
  std::u16string text;
  std::string bytes;
};

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

// Characters that have look-alikes or two codes in code page 932: one encoding each way.
TEST(CodePage932, LookAlikesAndExtensionsEncodeAsTheSystemConverterDoes) {
  const Mapping cases[] = {
      {u"\uFF5E", "\x81\x60"},             // full-width tilde
      {u"\u301C", LookAlike("\x81\x60")},  // wave dash
      {u"\u2212", LookAlike("\x81\x7C")},  // minus sign
      {u"\u2016", LookAlike("\x81\x61")},  // double vertical line
      {u"\u203E", LookAlike("~")},         // overline (JIS X 0201 0x7E)
      {u"\u2014", LookAlike("\x81\x5C")},  // em dash
      {u"\u2015", "\x81\x5C"},             // horizontal bar
      {u"\uFF0D", "\x81\x7C"},             // full-width hyphen-minus
      {u"\u2225", "\x81\x61"},             // parallel to
      {u"\u2460", "\x87\x40"},             // circled one (NEC row 13)
      {u"\u3231", "\x87\x8A"},             // parenthesized ideograph stock (NEC row 13)
      {u"\u2170", "\xFA\x40"},             // small roman numeral one (IBM extension)
      {u"\u7E8A", "\xFA\x5C"},             // IBM extension kanji
      {u"\uFFE2", "\x81\xCA"},             // full-width not sign
  };
  for (const Mapping& c : cases) {
    EXPECT_EQ(ToAnsi(c.text, 932), c.bytes) << "U+" << std::hex << int{c.text[0]};
  }
}

TEST(CodePage932, DuplicateCodesDecodeAsTheSystemConverterDoes) {
  const Mapping cases[] = {
      {u"\uFF5E", "\x81\x60"}, {u"\uFF0D", "\x81\x7C"},
      {u"\u2225", "\x81\x61"}, {u"\u2252", "\x87\x90"},  // NEC row 13 duplicate of a JIS symbol
      {u"\u2235", "\x87\x9A"}, {u"\uFFE2", "\x81\xCA"},
      {u"\uFFE2", "\xFA\x54"},  // IBM extension duplicate of a JIS symbol
      {u"\u7E8A", "\xED\x40"},  // NEC-selected IBM extension
      {u"\u7E8A", "\xFA\x5C"}, {u"\u2170", "\xEE\xEF"},
      {u"\u2170", "\xFA\x40"},
  };
  for (const Mapping& c : cases) {
    EXPECT_EQ(FromAnsi(c.bytes, 932), c.text) << "bytes " << ToUtf8(c.text);
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

}  // namespace
}  // namespace gestalon::core
