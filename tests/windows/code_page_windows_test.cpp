#include <gtest/gtest.h>

#include <string>

#include "strings/string_table.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

constexpr unsigned kJapanese = 932;
constexpr unsigned kUtf8 = 65001;

// The system converter must give the bytes the Linux build gives for every text the program
// writes: Japanese and, with Windows' "use Unicode UTF-8" setting, UTF-8.
TEST(WindowsCodePage, EveryTextOfTheStringTableRoundTripsInBothCodePages) {
  const StringTable table = StringTable::Parse(EmbeddedStringTable());
  ASSERT_GT(table.Size(), 500u);
  for (const auto& [id, text] : table.Entries()) {
    const std::string japanese = ToAnsi(text, kJapanese);
    EXPECT_FALSE(japanese.empty()) << "text " << id;
    EXPECT_EQ(FromAnsi(japanese, kJapanese), text) << "text " << id << " in code page 932";
    EXPECT_EQ(ToAnsi(text, kUtf8), ToUtf8(text)) << "text " << id;
    EXPECT_EQ(FromAnsi(ToUtf8(text), kUtf8), text) << "text " << id << " in UTF-8";
  }
}

// Where the system converter differs from the Linux build: best-fit letters and one default
// character per half of a surrogate pair.
TEST(WindowsCodePage, UnmappableCharactersBecomeBestFitsOrTheDefaultCharacter) {
  EXPECT_EQ(ToAnsi(u"a\u00E9b\u301C", kJapanese), "aeb?");
  EXPECT_EQ(ToAnsi(u"x\U0001F916y", kJapanese), "x??y");
  EXPECT_EQ(ToAnsi(u"x\U0001F916y", kUtf8), "x\xF0\x9F\xA4\x96y");
  EXPECT_EQ(FromAnsi("a\x83", kJapanese), u"a\u30FB");
  EXPECT_EQ(FromAnsi("\x83\x20z\x85\x40", kJapanese), u"\u30FBz\u30FB");
}

}  // namespace
}  // namespace gestalon::core
