#include "project/slider_defs.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::Utf16File;
using testing::WriteBytes;

// A slider as the file can hold it: escapement equal to orientation, no selected bit, no
// run-time values, the position read equal to the current one.
SliderDef MakeSlider(int n) {
  SliderDef s;
  s.filePos = {10 + 40 * (n % 8), -5 + 30 * n};
  s.pos = s.filePos;
  s.flags1 = n % 2 == 0 ? SliderFlag1::kInverted : 0;
  s.putStyle = n % 4;
  const bool even = n % 2 == 0;
  const int orientation = n % 3 == 0 ? 900 : 0;
  const std::u16string face = even ? u"ＭＳ ゴシック" : u"Meiryo UI";
  // The font fields in their order, height to face name.
  s.font = {-12 - n % 3, n % 5,      orientation, orientation, even ? 700 : 400,
            n % 3 == 1,  n % 4 == 2, n % 5 == 3,  128,         3,
            2,           255,        49,          face};
  s.textBkColor = MakeColorRef(255, 250 - n, 240);
  s.textColor = MakeColorRef(n, 0, 128);
  s.pairMode = n % 4;
  s.partner = (n + 1) % kSliderCount;
  s.flags2 = SliderFlag2::kShowName | SliderFlag2::kServoChannel |
             (n % 3 == 0 ? SliderFlag2::kAbsolute | SliderFlag2::kServoCompanion : 0);
  s.minimum = static_cast<std::int16_t>(-32768 + n * 100);
  s.maximum = static_cast<std::int16_t>(32767 - n);
  s.step = static_cast<std::uint16_t>(n % 2 == 0 ? 65535 : 16);
  s.countsPerDegree = n % 2 == 0 ? 29.6296 : -0.5;
  s.axisName = n % 2 == 0 ? u"右肩ピッチ" + std::u16string(1, static_cast<char16_t>(u'A' + n % 26))
                          : u"Knee-L [x] :5";
  s.upperText = u"上";
  s.lowerText = n % 3 == 0 ? u"" : u"下向き";
  s.decimals = n % 3;
  return s;
}

SliderTable MakeTable() {
  SliderTable table;
  for (int n = 0; n < 24; ++n) {
    table[static_cast<std::size_t>(n)] = MakeSlider(n);
  }
  table[40].flags2 = 0xFFFFFFFFu;
  table[40].flags1 = 0x80000001u;
  return table;
}

// Split, collapsed, client size, position, then the preview window: open, position and size.
WindowLayout MakeLayout() {
  return {0.375, 0xFFFFFFFFu, 1024, 700, -8, 12, 1, -5, 40, 480, 560};
}

TEST(SliderDefsRoundTrip, WriteReadWriteGivesTheSameTableAndBytes) {
  TempDir dir;
  const SliderTable source = MakeTable();
  const WindowLayout layout = MakeLayout();
  ASSERT_TRUE(WriteSliderDefinitions(dir / "a.sld", source, layout));
  SliderTable read;
  WindowLayout readLayout;
  ASSERT_TRUE(ReadSliderDefinitions(dir / "a.sld", read, readLayout));
  EXPECT_EQ(readLayout, layout);
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i], source[i]) << "slider " << i;
  }

  ASSERT_TRUE(WriteSliderDefinitions(dir / "b.sld", read, readLayout));
  EXPECT_EQ(ReadBytes(dir / "b.sld"), ReadBytes(dir / "a.sld"));
}

// The file's text: ShippedProjects rewrites the shipped slider files to their bytes. What the
// program keeps only while it runs is left out: the selected bit, the reading, the channel and a
// position not yet in the file; the escapement is the orientation.
TEST(SliderDefsWrite, RunTimeFieldsAreNotWritten) {
  TempDir dir;
  SliderTable table;
  SliderDef& s = table[1];
  s.pos = {12, 345};
  s.font.escapement = 450;
  s.font.orientation = 900;
  s.flags1 = SliderFlag1::kInverted | SliderFlag1::kSelected;
  s.flags2 = SliderFlag2::kServoChannel | SliderFlag2::kServoCompanion | SliderFlag2::kDisabled;
  s.reading = 77;
  s.channel = 9;
  ASSERT_TRUE(WriteSliderDefinitions(dir / "a.sld", table, WindowLayout{}));
  SliderTable read;
  WindowLayout layout;
  ASSERT_TRUE(ReadSliderDefinitions(dir / "a.sld", read, layout));
  SliderDef expected = s;
  expected.filePos = s.pos;
  expected.font.escapement = 900;
  expected.flags1 = SliderFlag1::kInverted;
  expected.reading = expected.channel = 0;
  EXPECT_EQ(read[1], expected);
}

TEST(SliderDefsWrite, FailureKeepsThePreviousFile) {
  testing::ExpectFailedWritesChangeNothing([](const std::filesystem::path& path) {
    return WriteSliderDefinitions(path, MakeTable(), WindowLayout{});
  });
}

class SliderDefsRead : public ::testing::Test {
 protected:
  // Reads a UTF-16 file holding `text` (LF written as CR LF) into a table filled beforehand.
  bool ReadText(std::u16string_view text) {
    WriteBytes(dir_ / "s.sld", Utf16File(text));
    return ReadFile(dir_ / "s.sld");
  }
  bool ReadFile(const std::filesystem::path& path) {
    sliders_.fill(MakeSlider(1));
    layout_ = MakeLayout();
    return ReadSliderDefinitions(path, sliders_, layout_);
  }
  bool AllZeroExcept(std::size_t index) const {
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
      if (i != index && !(sliders_[i] == SliderDef{})) {
        return false;
      }
    }
    return true;
  }

  TempDir dir_;
  SliderTable sliders_;
  WindowLayout layout_;
};

// Keys outside a valid slider number are ignored; what the file leaves out is zero, or the default.
TEST_F(SliderDefsRead, ANameAloneGivesAnOtherwiseEmptyTable) {
  ASSERT_TRUE(
      ReadText(u"_AXISNAME:[[before]]\n_PAIR:[2]-[3]\n"
               u"_NUMBER:[200]\n_AXISNAME:[[far]]\n_POSITION:[1]-[2]\n"
               u"_NUMBER:[-1]\n_FLAG:[1]-[1]\n"
               u"_NUMBER:[127]\n_AXISNAME:[[腰]]\n"));
  SliderDef expected;
  expected.axisName = u"腰";
  EXPECT_EQ(sliders_[127], expected);
  EXPECT_TRUE(AllZeroExcept(127));
  EXPECT_EQ(layout_, WindowLayout{});
  EXPECT_DOUBLE_EQ(layout_.splitRatio, 0.6000000238418579);
}

TEST_F(SliderDefsRead, ColourComponentsAreTakenModulo256AndTheRangeAs16Bits) {
  ASSERT_TRUE(
      ReadText(u"_NUMBER:[0]\n_FONT:[1]-[2]-[3]-[4]-[5]-[6]-[7]-[8]-[255,0,128]-[300,-1,256]-"
               u"[400]-[2]-[[Face]]\n"
               u"_NUMBER:[1]\n_DIVISION:[-32768]-[32768]-[65535]\n"));
  SliderDef expected;
  expected.textColor = MakeColorRef(255, 0, 128);
  expected.textBkColor = MakeColorRef(44, 255, 0);
  // The font fields in their order, height to face name.
  expected.font = {1, 2, 3, 3, 400, 0, 1, 0, 6, 7, 8, 4, 5, u"Face"};
  EXPECT_EQ(sliders_[0], expected);
  expected = {};
  expected.minimum = -32768;
  expected.maximum = -32768;  // 32768 stored as 16 bits
  expected.step = 65535;
  EXPECT_EQ(sliders_[1], expected);
}

TEST_F(SliderDefsRead, LongTextsAreCut) {
  ASSERT_TRUE(ReadText(u"_NUMBER:[4]\n_MESSAGE:[[0123456789AB]]-[[abcdefghijk]]\n"));
  EXPECT_EQ(sliders_[4].upperText, u"012345678");
  EXPECT_EQ(sliders_[4].lowerText, u"abcdefghi");
  ASSERT_TRUE(ReadText(u"_NUMBER:[4]\n_AXISNAME:[[abcdefghijklmn\U0001F916xyz]]\n"));
  EXPECT_EQ(sliders_[4].axisName, u"abcdefghijklmn") << "a character is never split";
}

TEST_F(SliderDefsRead, UnopenableFileLeavesTableAndLayoutAlone) {
  EXPECT_FALSE(ReadFile(dir_ / "missing.sld"));
  EXPECT_EQ(sliders_[127], MakeSlider(1));
  EXPECT_EQ(layout_, MakeLayout());
}

}  // namespace
}  // namespace gestalon::core
