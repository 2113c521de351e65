#include "pose/base_pose_editing.h"

#include "pose/dialog_prompts.h"
#include "pose/entry_table.h"
#include "pose/pose_operations.h"
#include "project/robot_project.h"
#include "strings/text_loader.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr int kServoChannelCount = 64;

bool Enabled(const SliderDef& slider) {
  return (slider.flags2 & SliderFlag2::kDisabled) == 0;
}

}  // namespace

std::vector<std::u16string> BasePoseNames(const BasePoseTable& table) {
  return RegisteredNames(table);
}

void FillBasePoseFromPose(BasePose& entry, const MotionBlock& pose, const SliderTable& sliders) {
  // -1 undecided, 0 not part of the base pose, 1 part of it. A companion taken in with its
  // channel slider stays in even when its own slider is disabled, whichever comes first.
  std::array<std::int8_t, kSliderCount> axis;
  axis.fill(-1);
  for (std::size_t k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = sliders[k];
    if (Enabled(slider)) {
      axis[k] = 1;
      entry.values[k] = pose.slots[k];
      if ((slider.flags2 & SliderFlag2::kServoChannel) == 0) {
        continue;
      }
      if (slider.channel >= 0 && slider.channel < kServoChannelCount) {
        const std::uint64_t bit = std::uint64_t{1} << slider.channel;
        entry.servoEnableMask = (entry.servoEnableMask & ~bit) | (pose.servoEnableMask & bit);
      }
      if (slider.companion >= 0 && slider.companion < kSliderCount) {
        const auto c = static_cast<std::size_t>(slider.companion);
        axis[c] = 1;
        entry.values[c] = pose.slots[c];
      }
    } else if (axis[k] == -1) {
      axis[k] = 0;
      entry.values[k] = 0;
    }
  }
  for (std::size_t k = 0; k < kSliderCount; ++k) {
    entry.axisEnable[k] = axis[k] == 1;
  }
}

int RegisterBasePose(BasePoseTable& working, std::u16string_view name, std::int32_t focusedIndex,
                     const MotionBlock& pose, const SliderTable& sliders, Prompter* prompter) {
  const std::u16string cutName = TruncateText(name, kBasePoseNameMaxChars);
  if (cutName.empty()) {
    ShowWarning(prompter, TextId::kMsgEnterBasePoseName);
    return 0;
  }
  if (!CheckSettingsName(cutName, prompter)) {
    return 0;
  }
  if (FirstFreeEntry(working) == kBasePoseCount) {
    ShowWarning(prompter, TextId::kMsgBasePoseListFull);
    return 0;
  }
  BasePose& entry = InsertEntry(working, focusedIndex);
  entry.registered = true;
  entry.name = cutName;
  FillBasePoseFromPose(entry, pose, sliders);
  return 1;
}

int ReplaceBasePose(BasePoseTable& working, std::int32_t focusedIndex, const MotionBlock& pose,
                    const SliderTable& sliders, Prompter* prompter) {
  if (!IsRegisteredEntry(working, focusedIndex) ||
      !AskYesNo(prompter, TextId::kMsgConfirmReplaceBasePose)) {
    return 0;
  }
  FillBasePoseFromPose(working.entries[static_cast<std::size_t>(focusedIndex)], pose, sliders);
  return 1;
}

int DeleteBasePoses(BasePoseTable& working, const std::vector<std::int32_t>& selectedIndexes) {
  return RemoveEntries(working, selectedIndexes);
}

bool SaveBasePoseFile(const LoadedProject& project, Prompter* prompter) {
  return ReportUnsavedFile(
      WriteBasePoses(ProjectFilePath(project.project, project.project.DEFPOSINI),
                     project.basePoses),
      prompter);
}

bool ApplyBasePoseTable(EditContext& context, const BasePoseTable& working) {
  if (!AskYesNo(context.prompter, TextId::kMsgConfirmApplySettings)) {
    return false;
  }
  BasePoseTable& table = context.project.basePoses;
  table.entries = working.entries;
  for (int n = 0; n < kBasePoseCount && !IsRegisteredEntry(table, table.current); ++n) {
    if (IsRegisteredEntry(table, n)) {
      table.current = n;
    }
  }
  if (context.views) {
    context.views->RefreshMenuChecks();
  }
  RelayoutPane(context, Pane::kPose);
  SaveBasePoseFile(context.project, context.prompter);
  return true;
}

std::vector<BasePoseMenuItem> BuildBasePoseMenu(const BasePoseTable& table) {
  std::vector<BasePoseMenuItem> items;
  for (int n = 0; n < kBasePoseCount; ++n) {
    const BasePose& entry = table.entries[static_cast<std::size_t>(n)];
    if (entry.registered) {
      items.push_back({kBasePoseMenuFirstId + n, entry.name, n == table.current, true});
    }
  }
  if (items.empty()) {
    items.push_back({kBasePoseMenuFirstId, LoadText(TextId::kMenuNoBasePose), false, false});
  }
  return items;
}

std::int32_t BasePoseFromMenuId(int id) {
  const int n = id - kBasePoseMenuFirstId;
  return n >= 0 && n < kBasePoseCount ? n : -1;
}

bool ChooseBasePose(EditContext& context, int number) {
  if (number < 0 || number >= kBasePoseCount) {
    return false;
  }
  ApplyBasePose(context, number);
  return SaveBasePoseFile(context.project, context.prompter);
}

}  // namespace gestalon::core
