#include "board/servo_position_correction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cpusettings/cpu_settings_file.h"
#include "fake_devmem.h"
#include "motion/block_factory.h"
#include "recording_ports.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::FakeBoard;
using testing::FakeBoardDrive;
using testing::RecordingPrompter;

class ServoCorrection : public ::testing::Test {
 protected:
  ServoCorrection() {
    project.project.folder = folder.Path().u16string() + u"/";
    project.project.ROMINI = u"cpu.txt";
    for (SliderDef& slider : project.sliders) {
      slider.minimum = -30000;
      slider.maximum = 30000;
    }
    // Sliders 2 and 5 both name channel 3; only the first counts.
    for (int k : {2, 5}) {
      project.sliders[k].flags2 = SliderFlag2::kServoChannel;
      project.sliders[k].channel = 3;
    }
    BasePose& base = project.basePoses.entries[0];
    base.registered = true;
    base.axisEnable.fill(true);
    base.values[2] = 100;
    base.values[5] = -50;
    project.basePoses.current = 0;
    project.cpu.motors[3].words[MotorWord::kOfs] = static_cast<std::uint16_t>(-10);
    NewMotion(document, project.basePoses);
    document.current->slots[2] = 130;
    document.current->slots[5] = 400;
    context.prompter = &prompter;
    flags = SystemFlag::kOnline;
  }
  void Connect() {
    ASSERT_TRUE(link.OpenBoard(FakeBoardDrive(board, u"D")));
    link.Flags().connectionActive = 1;
    link.Flags().online = 1;
  }
  std::int16_t Trim(int channel) const {
    return static_cast<std::int16_t>(project.cpu.motors[channel].words[MotorWord::kOfs]);
  }
  std::vector<std::u16string> Texts() const { return testing::ShownTexts(prompter); }
  testing::TempDir folder;
  LoadedProject project;
  MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  EditState state;
  EditContext context{project, document, flags, state};
  RecordingPrompter prompter;
  std::shared_ptr<FakeBoard> board = std::make_shared<FakeBoard>();
  BoardLink link;
  std::vector<std::chrono::milliseconds> pauses;
  ServoCorrectionOptions options{nullptr, false, [this](auto pause) { pauses.push_back(pause); }};
};

TEST_F(ServoCorrection, MovesThePoseDifferenceIntoTheTrimAndSendsIt) {
  Connect();
  flags |= SystemFlag::kServoOn;
  // Servo sliders naming no motor are left out; motor 0 is a motor.
  for (const auto& [k, channel] : {std::pair(7, -1), std::pair(8, kMotorCount), std::pair(9, 0)}) {
    project.sliders[k].flags2 = SliderFlag2::kServoChannel;
    project.sliders[k].channel = channel;
    document.current->slots[k] = 55;
  }
  CpuSettings expected = project.cpu;
  expected.motors[3].words[MotorWord::kOfs] = -10 + 30;
  expected.motors[0].words[MotorWord::kOfs] = 55;
  EXPECT_EQ(ServoPositionCorrection(context, link, options), 1);
  EXPECT_EQ(project.cpu, expected);
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{LoadText(TextId::kServoCorrectionConfirm),
                                                  LoadText(TextId::kServoOffSafetyWarning),
                                                  LoadText(TextId::kServoCorrectionApplied)}));
  // The servos were off for the change and are on again; the sliders show the base pose.
  EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(500)});
  EXPECT_NE(flags.load() & SystemFlag::kServoOn, 0u);
  EXPECT_EQ(document.current->slots[2], 100);
  CpuSettings saved;
  ASSERT_TRUE(ReadCpuSettingsFile(folder.Path() / "cpu.txt", saved, nullptr));
  EXPECT_EQ(static_cast<std::int16_t>(saved.motors[3].words[MotorWord::kOfs]), 20);
}

TEST_F(ServoCorrection, RefusesOfflineWithoutBasePoseWhenDeclinedOrNotSent) {
  flags = 0;
  EXPECT_EQ(ServoPositionCorrection(context, link, options), 0);
  flags = SystemFlag::kOnline;
  for (int outside : {-1, kBasePoseCount}) {
    project.basePoses.current = outside;
    EXPECT_EQ(ServoPositionCorrection(context, link, options), 0);
  }
  project.basePoses.current = 0;
  prompter.QueueAnswer(PromptAnswer::kNo);
  EXPECT_EQ(ServoPositionCorrection(context, link, options), 0);
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{LoadText(TextId::kMsgNotOnline),
                                                  LoadText(TextId::kBasePoseNotRegistered),
                                                  LoadText(TextId::kBasePoseNotRegistered),
                                                  LoadText(TextId::kServoCorrectionConfirm)}));
  EXPECT_EQ(Trim(3), -10);

  // Online by the flags, but no connection to send through: not reported as done.
  EXPECT_EQ(ServoPositionCorrection(context, link, options), 0);
  EXPECT_EQ(Texts().back(), LoadText(TextId::kMsgSettingsRamFailed));
  EXPECT_EQ(Trim(3), 20);
}

TEST_F(ServoCorrection, TrimSaturatesInsteadOfWrapping) {
  Connect();
  project.cpu.motors[3].words[MotorWord::kOfs] = 32000;
  document.current->slots[2] = 20000;
  ServoPositionCorrection(context, link, options);
  EXPECT_EQ(Trim(3), 32767);
  EXPECT_EQ(flags.load() & SystemFlag::kServoOn, 0u) << "servos that were off stay off";
}

}  // namespace
}  // namespace gestalon::core
