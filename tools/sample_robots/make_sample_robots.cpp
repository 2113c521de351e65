// Writes the robot projects Gestalon ships — the default project, the templates the new-project
// dialog offers and the sample humanoid — with the program's own writers, so that they are
// exactly what the program itself would save. Run by scripts/make-samples.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cpusettings/cpu_settings_file.h"
#include "pose/servo_channels.h"
#include "project/base_poses.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/system_settings.h"
#include "project/value_offsets.h"
#include "sample_motions.h"
#include "settings/settings_file.h"
#include "text/format.h"
#include "variables/variable_defs.h"

namespace {

using namespace gestalon::core;
namespace fs = std::filesystem;

constexpr int kCompanionBase = 32;  // companion (servo gain) sliders follow the joints
constexpr double kCountsPerDegree = 100.0;
constexpr int kColumnX[2] = {36, 396};  // robot's right side on the left, as seen facing it
constexpr int kFirstRowY = 44;
constexpr int kRowPitch = 64;

enum class Side { kCentre, kRight, kLeft };

struct Joint {
  const char16_t* name;
  const char16_t* upper;  // text at the upper-limit end
  const char16_t* lower;
  int minDegrees, maxDegrees;
  Side side;
};

// Slider i is joint i; right/left pairs stand next to each other.
const Joint kHumanoid[] = {
    {u"頭", u"左", u"右", -90, 90, Side::kCentre},
    {u"腰", u"左", u"右", -60, 60, Side::kCentre},
    {u"右肩ピッチ", u"前", u"後", -135, 135, Side::kRight},
    {u"左肩ピッチ", u"前", u"後", -135, 135, Side::kLeft},
    {u"右肩ロール", u"外", u"内", -20, 120, Side::kRight},
    {u"左肩ロール", u"外", u"内", -20, 120, Side::kLeft},
    {u"右ひじ", u"伸", u"曲", -120, 10, Side::kRight},
    {u"左ひじ", u"伸", u"曲", -120, 10, Side::kLeft},
    {u"右股ヨー", u"外", u"内", -45, 45, Side::kRight},
    {u"左股ヨー", u"外", u"内", -45, 45, Side::kLeft},
    {u"右股ロール", u"外", u"内", -30, 45, Side::kRight},
    {u"左股ロール", u"外", u"内", -30, 45, Side::kLeft},
    {u"右股ピッチ", u"前", u"後", -100, 45, Side::kRight},
    {u"左股ピッチ", u"前", u"後", -100, 45, Side::kLeft},
    {u"右ひざ", u"伸", u"曲", -5, 130, Side::kRight},
    {u"左ひざ", u"伸", u"曲", -5, 130, Side::kLeft},
    {u"右足首ピッチ", u"前", u"後", -60, 60, Side::kRight},
    {u"左足首ピッチ", u"前", u"後", -60, 60, Side::kLeft},
    {u"右足首ロール", u"外", u"内", -30, 30, Side::kRight},
    {u"左足首ロール", u"外", u"内", -30, 30, Side::kLeft},
};
constexpr int kHumanoidJoints = static_cast<int>(std::size(kHumanoid));

const char16_t* kSkinFiles[kSkinImageCount] = {
    u"me_image\\pose_wallpaper.bmp", u"me_image\\pose_slider.bmp",
    u"me_image\\pose_knob.bmp",      u"me_image\\pose_spin.bmp",
    u"me_image\\pose_basemark.bmp",  u"me_image\\pose_knob_shadow.bmp",
    u"me_image\\checkbtn_.bmp",      u"me_image\\motion_slider.bmp",
    u"me_image\\motion_knob.bmp",    u"me_image\\motion_spin.bmp",
    u"me_image\\motion_digits.bmp",  u"me_image\\motion_signal.bmp",
};

FontSpec SliderFont() {
  FontSpec font;
  font.height = -12;
  font.weight = 400;
  font.charSet = 128;
  font.outPrecision = 3;
  font.clipPrecision = 2;
  font.quality = 1;
  font.pitchAndFamily = 0x31;
  font.faceName = u"MS UI Gothic";
  return font;
}

std::int16_t Counts(double degrees) {
  return static_cast<std::int16_t>(degrees * kCountsPerDegree);
}

SliderDef JointSlider(const Joint& joint, int index) {
  SliderDef s;
  const int column = joint.side == Side::kLeft || (joint.side == Side::kCentre && index % 2 == 1);
  const int row = index / 2;
  s.filePos = s.pos = {kColumnX[column], kFirstRowY + row * kRowPitch};
  s.axisName = joint.name;
  s.upperText = joint.upper;
  s.lowerText = joint.lower;
  s.font = SliderFont();
  s.textColor = MakeColorRef(0x22, 0x2A, 0x35);
  s.textBkColor = MakeColorRef(0xF3, 0xF4, 0xF7);
  s.putStyle = 2;  // degrees
  s.decimals = 1;
  s.countsPerDegree = kCountsPerDegree;
  s.minimum = Counts(joint.minDegrees);
  s.maximum = Counts(joint.maxDegrees);
  s.step = 50;
  s.flags2 = SliderFlag2::kShowName;
  switch (joint.side) {
    case Side::kCentre:
      s.pairMode = 1;
      break;
    case Side::kRight:
      s.pairMode = 2, s.partner = index + 1;
      break;
    case Side::kLeft:
      s.pairMode = 3, s.partner = index - 1;
      // Left pitch servos are mounted mirrored: they turn the other way for the same motion.
      if (std::u16string_view(joint.name).find(u"ピッチ") != std::u16string_view::npos) {
        s.flags2 |= SliderFlag2::kSignInverted;
      }
      break;
  }
  return s;
}

// A servo's gain, edited beside its joint; not a slider of its own.
SliderDef CompanionSlider(const Joint& joint) {
  SliderDef s;
  s.axisName = std::u16string(joint.name).substr(0, 11) + u"ゲイン";
  s.font = SliderFont();
  s.minimum = 0;
  s.maximum = 255;
  s.step = 1;
  s.flags2 = SliderFlag2::kDisabled | SliderFlag2::kAbsolute;
  return s;
}

MotorRecord Motor(const std::u16string& name, int slider, int companion, const SliderDef& s) {
  MotorRecord motor;
  motor.name = name.substr(0, 16);
  motor.words[MotorWord::kAdrRdp] = static_cast<std::uint16_t>(0x0D80 + 2 * slider);
  motor.words[MotorWord::kAdr0] = static_cast<std::uint16_t>(0x0C00 + 2 * slider);
  if (companion >= 0) {
    motor.words[MotorWord::kAdrEn] = static_cast<std::uint16_t>(0x0C00 + 2 * companion);
  }
  motor.words[MotorWord::kAdrOvr] = static_cast<std::uint16_t>(0x0D00 + 2 * slider);
  motor.words[MotorWord::kK0] = 0x0100;
  motor.words[MotorWord::kLimL] = static_cast<std::uint16_t>(s.minimum);
  motor.words[MotorWord::kLimH] = static_cast<std::uint16_t>(s.maximum);
  motor.words[MotorWord::kSoftSt] = 20;
  return motor;
}

// Sliders the robot does not use stay switched off, so the pose area does not show them.
SliderTable UnusedSliders() {
  SliderTable sliders{};
  for (SliderDef& s : sliders) {
    s.flags2 = SliderFlag2::kDisabled;
  }
  return sliders;
}

struct Robot {
  std::u16string name;  // at most 16 bytes in the code page: the settings file keeps no more
  SliderTable sliders = UnusedSliders();
  WindowLayout layout;
  CpuSettings cpu;
  BasePoseTable basePoses;
  ValueOffsetTable offsets;
  std::vector<VariableDef> variables;
};

std::vector<VariableDef> BoardVariables() {
  return {
      {.size = 2, .name = u"PAD", .address = 0x0EE4},
      {.size = 2, .name = u"PAD_RX", .address = 0x0EE8},
      {.size = 2, .name = u"PAD_RY", .address = 0x0EEA},
      {.size = 2, .name = u"PAD_LX", .address = 0x0EEC},
      {.size = 2, .name = u"PAD_LY", .address = 0x0EEE},
      {.size = 1, .name = u"PAD_ENABLE", .address = 0x0EE0},
      {.size = 1, .name = u"PAD_ERROR", .address = 0x0EE1},
      {.size = 2, .name = u"PAD_CANCEL", .address = 0x0EE6},
      {.size = 2, .name = u"BATTERY", .address = 0x0090},
      {.size = 2, .name = u"MOTION_NUM", .address = 0x0FF8},
      {.size = 2, .name = u"MAP_NUM", .address = 0x0FFA},
      {.size = 2, .name = u"カウンタ", .address = 0x0F80},
      {.size = 2, .name = u"歩数", .address = 0x0F82},
      {.size = 2, .name = u"作業用1", .address = 0x0F84},
      {.size = 2, .name = u"作業用2", .address = 0x0F86},
      {.size = 1, .name = u"フラグ", .address = 0x0F88},
      {.size = 4, .name = u"タイマ", .address = 0x0F8C},
  };
}

void CommonCpu(CpuSettings& cpu, const std::u16string& name) {
  SetRobotName(cpu, name);
  cpu.basicControlCycle = 10000;
  cpu.voiceAttenuator = 2;
  cpu.controllerEnable = 1;
}

Robot Humanoid() {
  Robot robot;
  robot.name = u"ゲスタロイド";
  robot.layout.splitRatio = 0.62;
  robot.layout.clientWidth = 1240;
  robot.layout.clientHeight = 780;
  CommonCpu(robot.cpu, robot.name);
  for (int i = 0; i < kHumanoidJoints; ++i) {
    robot.sliders[i] = JointSlider(kHumanoid[i], i);
    robot.sliders[kCompanionBase + i] = CompanionSlider(kHumanoid[i]);
    robot.cpu.motors[i] = Motor(kHumanoid[i].name, i, kCompanionBase + i, robot.sliders[i]);
    robot.cpu.interpolationMethods[i] = 1;  // cubic: smooth starts and stops
  }
  for (int bus = 0; bus < 2; ++bus) {
    robot.cpu.serialBuses[bus].SBUS_PROTOCOL = 1;
    robot.cpu.serialBuses[bus].SBUS_N = kHumanoidJoints / 2;
    for (int id = 0; id < kHumanoidJoints / 2; ++id) {
      robot.cpu.serialBuses[bus].SBUS_ID[id] = static_cast<std::uint8_t>(bus * 10 + id);
    }
  }

  // Standing with slightly bent knees, and the upright "attention" pose.
  auto pose = [&](int entry, const char16_t* name) -> BasePose& {
    BasePose& p = robot.basePoses.entries[entry];
    p.name = name;
    p.registered = true;
    for (int i = 0; i < kHumanoidJoints; ++i) {
      p.axisEnable[i] = true;
      p.axisEnable[kCompanionBase + i] = true;
      p.values[kCompanionBase + i] = 128;
    }
    return p;
  };
  BasePose& stand = pose(0, u"基本姿勢");
  const std::pair<int, double> bend[] = {{12, -15}, {13, 15}, {14, 30}, {15, 30},
                                         {16, -15}, {17, 15}, {4, 10},  {5, 10}};
  for (const auto& [slider, degrees] : bend) {
    stand.values[slider] = Counts(degrees);
  }
  pose(1, u"気をつけ");

  ValueOffsetSet& lean = robot.offsets.entries[0];
  lean.name = u"前傾補正";
  lean.registered = true;
  lean.offsets[12] = -200;
  lean.offsets[13] = 200;
  lean.offsets[16] = 150;
  lean.offsets[17] = -150;
  ValueOffsetSet& wide = robot.offsets.entries[1];
  wide.name = u"足幅を広げる";
  wide.registered = true;
  wide.offsets[10] = 300;
  wide.offsets[11] = 300;
  wide.offsets[18] = -300;
  wide.offsets[19] = -300;

  robot.variables = BoardVariables();
  return robot;
}

// A robot of the user's own design: 24 plain servo sliders, each driving its own channel.
Robot Original() {
  Robot robot;
  robot.name = u"オリジナル";
  CommonCpu(robot.cpu, robot.name);
  for (int i = 0; i < 24; ++i) {
    SliderDef& s = robot.sliders[i];
    s.filePos = s.pos = {kColumnX[i % 2], kFirstRowY + (i / 2) * kRowPitch};
    s.axisName = Format(u"サーボ%02d", i);
    s.upperText = u"+";
    s.lowerText = u"-";
    s.font = SliderFont();
    s.textColor = MakeColorRef(0x22, 0x2A, 0x35);
    s.textBkColor = MakeColorRef(0xF3, 0xF4, 0xF7);
    s.putStyle = 2;
    s.decimals = 1;
    s.countsPerDegree = kCountsPerDegree;
    s.minimum = Counts(-135);
    s.maximum = Counts(135);
    s.step = 50;
    s.flags2 = SliderFlag2::kShowName | SliderFlag2::kAbsolute;
    robot.cpu.motors[i] = Motor(s.axisName, i, -1, s);
    robot.cpu.interpolationMethods[i] = 1;
  }
  robot.layout.clientWidth = 1240;
  robot.layout.clientHeight = 860;
  robot.variables = BoardVariables();
  return robot;
}

SystemSettings Display() {
  SystemSettings system;
  SetSystemSettingsDefaults(system);
  system.systemFlags = SystemFlag::kToolbar | SystemFlag::kStatusWindow | SystemFlag::kWallpaper |
                       SystemFlag::kUnknownAxisAsk | SystemFlag::kUnknownAxisKeep;
  // The 24 command buttons, then the loop count and playback override spins.
  for (int i = 0; i < 26; ++i) {
    system.toolbarButtons[i] = true;
  }
  for (int i = 0; i < kSkinImageCount; ++i) {
    system.skins[i].folderFlag = 0;
    system.skins[i].path = kSkinFiles[i];
  }
  return system;
}

bool WriteRobot(const fs::path& folder, const std::u16string& projectName, Robot robot) {
  // The program writes the slider file with the channel flags it derives on loading.
  DeriveServoChannels(robot.sliders, robot.cpu);
  std::error_code ec;
  fs::create_directories(folder, ec);
  RobotProject files{.folder = u"",
                     .SYSINI = u"system.ini",
                     .SLDINI = u"slider.ini",
                     .ROMINI = u"STARTUP.XML",
                     .DEFPOSINI = u"defpos.ini",
                     .DEFOFSINI = u"defofs.ini",
                     .MEMMAPINI = u"memmap.txt"};
  return WriteProjectFile(folder / fs::path(projectName + u".KJZ"), files) &&
         WriteSystemSettings(folder / "system.ini", Display()) &&
         WriteSliderDefinitions(folder / "slider.ini", robot.sliders, robot.layout) &&
         WriteCpuSettingsFile(folder / "STARTUP.XML", robot.cpu) &&
         WriteBasePoses(folder / "defpos.ini", robot.basePoses) &&
         WriteValueOffsets(folder / "defofs.ini", robot.offsets) &&
         WriteVariableDefs(folder / "memmap.txt", robot.variables);
}

bool WriteDefaultRobotList(const fs::path& file) {
  auto list = OpenSettingsFile(file, "w");
  WriteSettingsText(list.get(), u"ROBOT:[[オリジナルロボット]]-[[templates\\original\\]]\n");
  WriteSettingsText(list.get(), u"ROBOT:[[ゲスタロイド (人型)]]-[[templates\\humanoid\\]]\n");
  return CloseSettingsFile(std::move(list));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gestalon_sample_robots RESOURCES_FOLDER\n");
    return 2;
  }
  const fs::path resources = argv[1];
  const Robot humanoid = Humanoid();
  const Robot original = Original();
  Robot withChannels = humanoid;
  DeriveServoChannels(withChannels.sliders, withChannels.cpu);
  const fs::path sample = resources / "robots" / "gestaloid";
  const bool ok = WriteRobot(sample, u"gestaloid", humanoid) &&
                  WriteSampleMotions(sample, withChannels.sliders, withChannels.basePoses) &&
                  WriteRobot(resources / "templates" / "humanoid", u"humanoid", humanoid) &&
                  WriteRobot(resources / "templates" / "original", u"original", original) &&
                  WriteRobot(resources / "temp", u"temp", humanoid) &&
                  WriteDefaultRobotList(resources / "defrobots.dat");
  if (!ok) {
    std::fprintf(stderr, "gestalon_sample_robots: writing into %s failed\n", argv[1]);
    return 1;
  }
  return 0;
}
