#include <gtest/gtest.h>

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
  EXPECT_EQ(ToAnsi(u"a\u00e9b"), "a?b");
  EXPECT_EQ(ToAnsi(u"x\U0001F916y"), "x?y") << "a surrogate pair is one character";
  EXPECT_EQ(ToAnsi(u"x\xDC00y"), "x?y") << "lone surrogate";
  EXPECT_EQ(FromAnsi("a\x83"), u"a\u30FB") << "lead byte cut off at the end";
  EXPECT_EQ(FromAnsi("\x83\x20z"), u"\u30FB z") << "invalid trail byte is decoded on its own";
  EXPECT_EQ(FromAnsi("\xFF"
                     "A"),
            u"\u30FBA");
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
