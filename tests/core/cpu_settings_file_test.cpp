#include "cpusettings/cpu_settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "golden_files.h"
#include "recording_ports.h"
#include "sample_cpu_settings.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using testing::CoreGolden;
using testing::ReadBytes;
using testing::RecordingPrompter;
using testing::TempDir;
using testing::WriteBytes;

// The shared sample with motor names and a robot name of double-byte characters, less the
// reserved word, which the file does not carry.
CpuSettings VariedSettings() {
  CpuSettings s = testing::SampleCpuSettings();
  SetRobotName(s, u"GST-1 ロボ");
  for (std::size_t k = 0; k < s.motors.size(); ++k) {
    s.motors[k].name = k % 2 ? Format(u"モータ%d", k) : Format(u"m%02d-0123456789ab", k);
    s.motors[k].words[MotorWord::kReserved22] = 0;
  }
  return s;
}

CpuSettings ReadBack(const std::filesystem::path& path, CpuSettings start = {}) {
  EXPECT_TRUE(ReadCpuSettingsFile(path, start, nullptr));
  return start;
}

TEST(CpuSettingsFileRoundTrip, WriteReadWriteGivesTheSameRecordAndBytesLessWhatIsNotCarried) {
  TempDir dir;
  CpuSettings original = VariedSettings();
  ASSERT_TRUE(WriteCpuSettingsFile(dir / "a.xml", original));
  const CpuSettings same = ReadBack(dir / "a.xml");
  EXPECT_EQ(same, original);
  ASSERT_TRUE(WriteCpuSettingsFile(dir / "b.xml", same));
  EXPECT_EQ(ReadBytes(dir / "a.xml"), ReadBytes(dir / "b.xml"));

  SetRobotName(original, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  original.motors[4].words[MotorWord::kReserved22] = 0x7777;
  original.firmwareVersion = 11;
  original.settingsWord92 = 12;
  original.secondMotion = u"SECOND.KX4";
  original.extraFile = u"extra.wav";
  ASSERT_TRUE(WriteCpuSettingsFile(dir / "a.xml", original));
  CpuSettings start;
  start.firmwareVersion = 99;
  start.settingsWord92 = 98;
  start.secondMotion = u"KEEP.KX4";
  CpuSettings expected = original;
  SetRobotName(expected, u"ABCDEFGHIJKLMNOP");
  expected.motors[4].words[MotorWord::kReserved22] = 0;
  expected.firmwareVersion = 99;
  expected.settingsWord92 = 98;
  expected.secondMotion = u"KEEP.KX4";
  expected.extraFile.clear();
  EXPECT_EQ(ReadBack(dir / "a.xml", start), expected);
}

TEST(CpuSettingsFileRoundTrip, QuotesLineBreaksAndTagsInNamesCannotBreakTheFile) {
  TempDir dir;
  CpuSettings original;
  original.motors[0].name = u"a\"b>c\nd";
  original.motors[1].name = u"next";
  original.startupMotion = u"x\"y.KX4";
  SetRobotName(original, u"R\n<mem_w a\"b");
  original.basicControlCycle = 10000;
  ASSERT_TRUE(WriteCpuSettingsFile(dir / "a.xml", original));
  const CpuSettings read = ReadBack(dir / "a.xml");
  EXPECT_EQ(RobotName(read), u"R\n<mem_w a\"b") << "the name itself is stored byte for byte";
  EXPECT_EQ(read.basicControlCycle, 10000);
  EXPECT_EQ(read.motors[0].name, u"a'b>c d");
  EXPECT_EQ(read.motors[1].name, u"next");
  EXPECT_EQ(read.startupMotion, u"x'y.KX4");
}

// The file's text from start to end: name, cycle, volume, interpolation, ports, motors, resets,
// overrides, enables, LEDs, power and the startup jump.
TEST(CpuSettingsFileWriting, WritesTheExactTextOfEveryBlock) {
  TempDir dir;
  CpuSettings s;
  SetRobotName(s, u"AB");
  s.basicControlCycle = 10000;
  s.voiceAttenuator = 2;
  s.interpolationMethods[0] = InterpolationMethod::kCubic;
  s.interpolationMethods[127] = InterpolationMethod::kSyncAfter;
  s.serialBuses[0].SBUS_PROTOCOL = 1;
  s.serialBuses[0].SBUS_N = 2;
  s.serialBuses[0].SBUS_ID[13] = 0xAB;
  s.motors[1].name = u"右肩ピッチ12345678901234";
  s.motors[1].words[MotorWord::kAdrRdp] = 0x0102;
  s.motors[1].words[MotorWord::kOnDelayKSign] = 0xABCD;
  s.motors[1].words[MotorWord::kBytesAB] = 0x9999;  // not where word 20 lives
  s.motors[1].words[MotorWord::kReserved22] = 0x5555;
  s.motors[1].word20A = 0x12;
  s.motors[1].word20B = 0x34;
  s.controllerEnable = 1;
  s.ledEnable = 2;
  s.thirdEnable = 3;
  s.controllerCancelBits = 0x8001;
  for (std::size_t i = 0; i < s.leds.size(); ++i) {
    s.leds[i] = {static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(0x10 + i),
                 static_cast<std::uint16_t>(0x20 + i)};
  }
  s.startupMotion = u"START.KX4";
  ASSERT_TRUE(WriteCpuSettingsFile(dir / "a.xml", s));
  // Word 20 goes as byte A then B, word 22 as zero; the motor name is cut to 16 bytes: five
  // double-byte characters and six digits.
  EXPECT_EQ(ReadBytes(dir / "a.xml"), CoreGolden("cpu_settings_written.xml"));
}

TEST(CpuSettingsFileWriting, FailureKeepsWhatWasThere) {
  testing::ExpectFailedWritesChangeNothing(
      [](const std::filesystem::path& path) { return WriteCpuSettingsFile(path, {}); });
}

TEST(CpuSettingsFileReading, HandWrittenFileWithCommentsSpacingAndQuotes) {
  TempDir dir;
  // Comments, odd spacing, signs, nested and empty tags, an unquoted value, an attribute without
  // a value and a name in the code page.
  WriteBytes(dir / "a.xml", CoreGolden("cpu_settings_hand_written.xml"));
  RecordingPrompter prompter;
  CpuSettings read;
  ASSERT_TRUE(ReadCpuSettingsFile(dir / "a.xml", read, &prompter));
  EXPECT_TRUE(prompter.Calls().empty());

  CpuSettings expected;
  expected.basicControlCycle = -20000;
  expected.voiceAttenuator = 7;
  const std::uint8_t methods[] = {1, 2, 3, 4, 2, 3, 0xFF};
  std::copy(std::begin(methods), std::end(methods), expected.interpolationMethods.begin());
  expected.motors[5].name = u"a > b";
  expected.motors[0].words[0] = 0x10;
  expected.motors[0].words[1] = 0xFFFF;
  expected.startupMotion = u"モーション\\start.kx4";
  EXPECT_EQ(read, expected);
}

TEST(CpuSettingsFileReading, AddressesMapOntoTheirFields) {
  TempDir dir;
  // Names and tables longer than their fields, odd sizes, and values wider than their fields.
  WriteBytes(dir / "a.xml", CoreGolden("cpu_settings_addresses.xml"));
  CpuSettings expected;
  expected.startupMotion = u"OLD.KX4";  // kept by a file without a jump
  const CpuSettings read = ReadBack(dir / "a.xml", expected);
  SetRobotName(expected, u"ABCDEFGHIJKLMNOP");
  expected.serialBuses[1].SBUS_PROTOCOL = 0x101;
  expected.serialBuses[1].SBUS_N = 2;
  expected.serialBuses[1].SBUS_ID[0] = 3;
  expected.serialBuses[3].SBUS_ID[13] = 0xFE;
  expected.interpolationMethods[127] = 4;
  expected.voiceAttenuator = 3;  // size 0: every value lands on the same address
  expected.motors[31].words[0] = 1;
  expected.motors[31].words[1] = 3;
  expected.motors[31].word20A = 0x43;
  expected.motors[31].word20B = 0x21;
  expected.motors[31].words[21] = 0x1111;
  expected.motors[31].words[22] = 0x2222;
  expected.ledEnable = 0x101;
  expected.controllerEnable = 5;
  expected.thirdEnable = 6;
  expected.controllerCancelBits = 0x2345;
  expected.basicControlCycle = INT32_MIN;
  for (std::uint16_t i = 0; i < 8; ++i) {  // 24 words fill all three tables
    expected.leds[i] = {static_cast<std::uint16_t>(100 + i), static_cast<std::uint16_t>(108 + i),
                        static_cast<std::uint16_t>(116 + i)};
  }
  EXPECT_EQ(read, expected);
}

TEST(CpuSettingsFileReading, NewerFormatIsReportedAndOnlyAMissingFileFails) {
  TempDir dir;
  WriteBytes(dir / "a.xml", "<format data=\"3\"/>\n<mem_w size=\"4\" adr=\"0x0040\">123</mem_w>\n");
  RecordingPrompter prompter;
  CpuSettings read;
  ASSERT_TRUE(ReadCpuSettingsFile(dir / "a.xml", read, &prompter));
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_EQ(prompter.Calls()[0].icon, PromptIcon::kError);
  EXPECT_EQ(prompter.Calls()[0].text, u"missmached format.");
  EXPECT_EQ(read.basicControlCycle, 123);
  EXPECT_EQ(ReadBack(dir / "a.xml").basicControlCycle, 123) << "and without anyone to tell";
  EXPECT_FALSE(ReadCpuSettingsFile(dir / "missing.xml", read, nullptr));
  EXPECT_FALSE(ReadCpuSettingsFile(dir.Path(), read, nullptr));
}

TEST(CpuSettingsFileReading, MalformedInputIsSurvivedAndOverlongNamesAreCut) {
  TempDir dir;
  const std::string cases[] = {
      "<mem_w size=\"4\" adr=\"0x0040\">5</mem_w><jump",
      "<",
      "</",
      "<mem_w size=\"4\" adr=\"0x0040\">5</mem_w></a></b></c>>>\"\"<motor data=\"99\"/>",
      "<vavid><motor data=\"-1\" name=\"" + std::string(1 << 20, 'x') + "\"/></vavid>",
      "<mem_w size=\"4\" adr=\"0x0040\">" + std::string(1 << 20, '9') + "</mem_w>",
      "<mem_w size=\"2147483647\" adr=\"0x0040\">" + std::string(100000, '1') + "</mem_w>",
      "<mem_w size=\"-2147483648\" adr=\"-2147483648\">1,1,1,1,1</mem_w>",
  };
  for (const std::string& text : cases) {
    WriteBytes(dir / "a.xml", text);
    CpuSettings s;
    EXPECT_TRUE(ReadCpuSettingsFile(dir / "a.xml", s, nullptr)) << text.substr(0, 60);
  }
  WriteBytes(dir / "a.xml", "<mem_w size=\"4\" adr=\"0x0040\">5</mem_w><jump filename=\"abc");
  EXPECT_EQ(ReadBack(dir / "a.xml").basicControlCycle, 5);
  WriteBytes(dir / "a.xml", "<vavid><motor name=\"" + std::string(40, 'n') +
                                "\" data=\"31\"/></vavid><jump filename=\"" +
                                std::string(400, 'f') + "\"/>");
  EXPECT_EQ(ReadBack(dir / "a.xml").motors[31].name, std::u16string(16, u'n')) << "names are cut";
  EXPECT_EQ(ReadBack(dir / "a.xml").startupMotion, std::u16string(259, u'f'));

  // Endless unclosed elements, then a well-formed write that must still count.
  std::string deep;
  for (int i = 0; i < 100000; ++i) {
    deep += "<a>";
  }
  WriteBytes(dir / "a.xml", deep + "<mem_w size=\"4\" adr=\"0x0040\">77</mem_w>");
  EXPECT_EQ(ReadBack(dir / "a.xml").basicControlCycle, 77);
}

TEST(CpuSettingsRobotName, StoredInAtMost31BytesWithoutSplittingCharacters) {
  CpuSettings s;
  SetRobotName(s, std::u16string(20, u'ロ'));
  EXPECT_EQ(RobotName(s), std::u16string(15, u'ロ'));
  EXPECT_EQ(s.modelName[30], '\0');
  SetRobotName(s, std::u16string(40, u'a'));
  EXPECT_EQ(RobotName(s), std::u16string(31, u'a'));
  EXPECT_EQ(s.modelName[31], '\0');
  SetRobotName(s, u"a");
  EXPECT_EQ(RobotName(s), u"a");
  EXPECT_EQ(s.modelName[1], '\0') << "the rest of an earlier, longer name is cleared";
}

}  // namespace
}  // namespace gestalon::core
