#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "motion/motion_document.h"
#include "pose/edit_context.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// The batch offset works on sliders 0..95, the ones the slider properties offer.
inline constexpr int kBatchOffsetSliders = 96;
inline constexpr std::int32_t kBatchOffsetLimit = 65535;  // offsets lie in -65535..+65535

using BatchOffsets = std::array<std::int32_t, kBatchOffsetSliders>;

// Whether some pose block of the motion is selected.
bool HasSelectedPoseBlock(const MotionDocument& document);

// Whether the batch offset dialog may open: a selected pose block, else the message asking for
// one.
bool CanStartBatchOffset(const MotionDocument& document, Prompter* prompter);

// The offset typed for the selected list items: blanks, an optional sign and decimal digits,
// blanks. Not such a number, or outside -65535..+65535: the matching message and nothing.
std::optional<std::int32_t> ParseBatchOffset(std::u16string_view text, Prompter* prompter);

// Sets the offset of every selected list item (`selectedItems`, slider numbers 0..95) from
// `text`. Messages, the first that applies: no item selected, not a number, out of range.
// Returns true when the offsets were set.
bool SetBatchOffsetsFromText(BatchOffsets& offsets, std::u16string_view text,
                             const std::vector<std::int32_t>& selectedItems, Prompter* prompter);

// Apply: after a Yes to the question, adds offsets[k] to slider k (each enabled slider 0..95,
// result clamped into its range) of every selected pose block, records one undo step, repaints
// the pose area and reports completion. Nothing is sent to the robot, also when the current
// pose block is among them. Returns false when the user declined.
bool ApplyBatchOffset(EditContext& context, const BatchOffsets& offsets);

}  // namespace gestalon::core
