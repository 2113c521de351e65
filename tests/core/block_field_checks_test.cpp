#include "flowchart/block_field_checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "project/project_folder_rule.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

TEST(BlockPositionCheck, AcceptsZeroTo4096AndReportsXBeforeY) {
  const std::u16string badX = u"X座標の値は0～4096 の範囲で設定してください";
  const std::u16string badY = u"Y座標の値は0～4096 の範囲で設定してください";
  struct Case {
    std::u16string_view x, y;
    std::u16string message;  // empty: accepted
  };
  const Case cases[] = {
      {u"4096", u"0", u""},   {u"0", u"4096", u""}, {u"4097", u"10", badX}, {u"-1", u"10", badX},
      {u"10", u"4097", badY}, {u"10", u"-1", badY}, {u"4097", u"-1", badX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    std::int32_t x = -7;
    std::int32_t y = -7;
    EXPECT_EQ(CheckBlockPosition(c.x, c.y, x, y), c.message);
    if (c.message.empty()) {
      EXPECT_EQ(x, ParseDecimal(c.x));
      EXPECT_EQ(y, ParseDecimal(c.y));
    } else {
      EXPECT_EQ(x, -7) << "a refused position stores nothing";
      EXPECT_EQ(y, -7);
    }
  }
}

TEST(BlockFieldConversions, KeepWhatTheBlockCanHold) {
  // Wrapped times and cut comments: the block dialog tests type 70000 and 300 characters.
  EXPECT_EQ(std::tuple(BlockTimeFromField(u"65535"), BlockTimeFromField(u"-1")),
            std::tuple(65535, 65535));
  const std::u16string name31(31, u'名');
  EXPECT_EQ(BlockNameFromField(name31), name31.substr(0, 30));
}

TEST(ProjectFolderRule, AcceptsFilesInsideTheFolderAsRelativeNames) {
  struct Case {
    std::u16string_view folder, chosen;
    std::optional<std::u16string> name;
  };
  const Case cases[] = {
      {u"/home/u/robot", u"/home/u/robot/sub/a.wav", u"sub/a.wav"},
      {u"C:\\Robots\\Gesta\\", u"c:\\robots\\gesta\\Walk.kx4", u"Walk.kx4"},
      {u"/home/u/robot/", u"/home/u/other/walk.KX4", std::nullopt},
      {u"", u"/walk.KX4", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(NameInProjectFolder(c.folder, c.chosen), c.name);
  }
}

}  // namespace
}  // namespace gestalon::core
