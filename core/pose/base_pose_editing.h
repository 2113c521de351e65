#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_block.h"
#include "pose/edit_context.h"
#include "project/base_poses.h"
#include "project/slider_defs.h"
#include "strings/text_id.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Menu id of base pose n in the base pose submenu is kBasePoseMenuFirstId + n (n = 0..35); the
// placeholder shown when none is registered has kBasePoseMenuFirstId too.
inline constexpr int kBasePoseMenuFirstId = TextId::kMenuPoseBasePosePlaceholder;

// The names of the registered entries in order; list item i is entry i.
std::vector<std::u16string> BasePoseNames(const BasePoseTable& table);

// Takes the current pose into `entry`: enabled sliders are enabled in the entry with the pose's
// value, and an enabled servo-channel slider also brings its channel's servo-enable bit and its
// companion slider (enabled, with the pose's value). Every other slider is disabled in the entry
// with value 0. Servo-enable bits of channels whose sliders are disabled and the name stay.
void FillBasePoseFromPose(BasePose& entry, const MotionBlock& pose, const SliderTable& sliders);

// Register: inserts the current pose as a new registered entry named `name` (cut to 127
// characters) at `focusedIndex` (the focused list item, -1 none: after the last registered
// entry), shifting the later entries down one place. Messages: empty name, a name the file cannot
// hold (CheckSettingsName), table full. Returns 1 when registered, 0 otherwise (working copy
// unchanged).
int RegisterBasePose(BasePoseTable& working, std::u16string_view name, std::int32_t focusedIndex,
                     const MotionBlock& pose, const SliderTable& sliders, Prompter* prompter);

// Replace: after a Yes to the replace question, fills the registered entry `focusedIndex` from
// the current pose (FillBasePoseFromPose). Nothing happens without a focused registered entry.
// Returns 1 when replaced.
int ReplaceBasePose(BasePoseTable& working, std::int32_t focusedIndex, const MotionBlock& pose,
                    const SliderTable& sliders, Prompter* prompter);

// Removes every registered entry listed in `selectedIndexes` (any order, repeats allowed); the
// entries behind move up in order and the freed places at the end become unregistered and empty.
// Returns the number of entries removed.
int DeleteBasePoses(BasePoseTable& working, const std::vector<std::int32_t>& selectedIndexes);

// Apply: after a Yes to the apply question, the entries of `working` become the project's base
// poses; a current base pose number that is not registered becomes the first registered entry
// (kept when none is registered); the menu check marks are refreshed, the pose area re-laid out
// and the base pose file written (a failed write is reported). The sliders are not changed.
// Returns false when the user declined.
bool ApplyBasePoseTable(EditContext& context, const BasePoseTable& working);

// Writes the project's base pose file; a failure is reported with an error message. Also used
// after a base pose is chosen from the submenu.
// A base pose chosen from the base pose menu (0..35): applies it, then writes the project's base
// pose file so that the choice is kept. A failed write is reported (error box) and returns false.
bool ChooseBasePose(EditContext& context, int number);
bool SaveBasePoseFile(const LoadedProject& project, Prompter* prompter);

struct BasePoseMenuItem {
  int id = 0;
  std::u16string text;
  bool checked = false;
  bool enabled = true;
};

// The items of the base pose submenu: one per registered entry n (id kBasePoseMenuFirstId + n,
// its name, checked when it is the current base pose), or one greyed placeholder item.
std::vector<BasePoseMenuItem> BuildBasePoseMenu(const BasePoseTable& table);

// The base pose a submenu id chooses, -1 when the id is not one of the submenu's.
std::int32_t BasePoseFromMenuId(int id);

}  // namespace gestalon::core
