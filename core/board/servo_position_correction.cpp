#include "board/servo_position_correction.h"

#include <algorithm>
#include <thread>

#include "board/board_settings.h"
#include "cpusettings/cpu_settings_file.h"
#include "pose/dialog_prompts.h"
#include "pose/pose_operations.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

constexpr std::chrono::milliseconds kServoOffPause{500};

std::unique_lock<std::mutex> LockSession(const ServoCorrectionOptions& options) {
  return options.sessionMutex ? std::unique_lock(*options.sessionMutex)
                              : std::unique_lock<std::mutex>();
}

}  // namespace

int ServoPositionCorrection(EditContext& context, BoardLink& link,
                            const ServoCorrectionOptions& options) {
  if ((context.systemFlags.load() & SystemFlag::kOnline) == 0) {
    ShowMessage(context.prompter, PromptIcon::kError, TextId::kMsgNotOnline);
    return 0;
  }
  const BasePoseTable& basePoses = context.project.basePoses;
  const std::int32_t baseNumber = basePoses.current;
  if (baseNumber < 0 || baseNumber >= kBasePoseCount ||
      !basePoses.entries[static_cast<std::size_t>(baseNumber)].registered) {
    ShowMessage(context.prompter, PromptIcon::kError, TextId::kBasePoseNotRegistered);
    return 0;
  }
  const MotionBlock* pose = CurrentPose(context);
  if (!pose || !AskYesNo(context.prompter, TextId::kServoCorrectionConfirm)) {
    return 0;
  }

  const BasePose& base = basePoses.entries[static_cast<std::size_t>(baseNumber)];
  {
    const auto lock = LockSession(options);
    std::array<bool, kMotorCount> corrected{};
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = context.project.sliders[static_cast<std::size_t>(k)];
      if ((slider.flags2 & SliderFlag2::kServoChannel) == 0 || slider.channel < 0 ||
          slider.channel >= kMotorCount || corrected[static_cast<std::size_t>(slider.channel)]) {
        continue;
      }
      corrected[static_cast<std::size_t>(slider.channel)] = true;
      std::uint16_t& offset = context.project.cpu.motors[static_cast<std::size_t>(slider.channel)]
                                  .words[MotorWord::kOfs];
      // The offset is a signed board word: the sum saturates rather than wrapping round to the
      // other end of the servo's range.
      const std::int32_t sum = static_cast<std::int16_t>(offset) +
                               pose->slots[static_cast<std::size_t>(k)] -
                               base.values[static_cast<std::size_t>(k)];
      offset =
          static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(sum, -32768, 32767)));
    }
  }

  const bool servosWereOn = (context.systemFlags.load() & SystemFlag::kServoOn) != 0;
  if (servosWereOn) {
    ShowWarning(context.prompter, TextId::kServoOffSafetyWarning);
    context.systemFlags.fetch_and(~SystemFlag::kServoOn);
    if (context.views) {
      context.views->RefreshMenuChecks();
    }
    if (options.pause) {
      options.pause(kServoOffPause);
    } else {
      std::this_thread::sleep_for(kServoOffPause);
    }
  }

  ApplyBasePose(context, -1);
  CpuSettings settings;
  {
    const auto lock = LockSession(options);
    settings = context.project.cpu;
  }
  // Success is reported only when the board took the settings; a settings file that cannot be
  // written is reported too (the correction would be lost with the next project load).
  const bool sent = WriteBoardSettings(link, settings, context.prompter) == 1;
  const bool saved = WriteCpuSettingsFile(
      ProjectFilePath(context.project.project, context.project.project.ROMINI), settings);
  ReportUnsavedFile(saved, context.prompter);
  ShowMessage(context.prompter, sent ? PromptIcon::kNone : PromptIcon::kError,
              sent ? TextId::kServoCorrectionApplied : TextId::kMsgSettingsRamFailed);

  if (servosWereOn && !options.playing) {
    context.systemFlags.fetch_or(SystemFlag::kServoOn);
    if (context.views) {
      context.views->RefreshMenuChecks();
    }
  }
  return sent ? 1 : 0;
}

}  // namespace gestalon::core
