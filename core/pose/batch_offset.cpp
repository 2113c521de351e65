#include "pose/batch_offset.h"

#include <algorithm>

#include "pose/dialog_prompts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

bool HasSelectedPoseBlock(const MotionDocument& document) {
  for (const MotionBlock& block : document) {
    if (block.Is(BlockKind::Pose) && block.Selected()) {
      return true;
    }
  }
  return false;
}

bool CanStartBatchOffset(const MotionDocument& document, Prompter* prompter) {
  if (HasSelectedPoseBlock(document)) {
    return true;
  }
  ShowWarning(prompter, TextId::kMsgSelectPoseBlockFirst);
  return false;
}

std::optional<std::int32_t> ParseBatchOffset(std::u16string_view text, Prompter* prompter) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  const std::size_t digitsStart = i;
  // Accumulates at most one step past the limit, so long texts cannot overflow.
  std::int64_t magnitude = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - u'0'), kBatchOffsetLimit + 1);
    ++i;
  }
  const bool hasDigits = i > digitsStart;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  if (!hasDigits || i != text.size()) {
    ShowWarning(prompter, TextId::kMsgOffsetNotNumber);
    return std::nullopt;
  }
  if (magnitude > kBatchOffsetLimit) {
    ShowWarning(prompter, TextId::kMsgBatchOffsetOutOfRange);
    return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool SetBatchOffsetsFromText(BatchOffsets& offsets, std::u16string_view text,
                             const std::vector<std::int32_t>& selectedItems, Prompter* prompter) {
  const bool anySelected =
      std::any_of(selectedItems.begin(), selectedItems.end(),
                  [](std::int32_t k) { return k >= 0 && k < kBatchOffsetSliders; });
  if (!anySelected) {
    ShowWarning(prompter, TextId::kMsgSelectListItem);
    return false;
  }
  const auto value = ParseBatchOffset(text, prompter);
  if (!value) {
    return false;
  }
  for (const std::int32_t k : selectedItems) {
    if (k >= 0 && k < kBatchOffsetSliders) {
      offsets[static_cast<std::size_t>(k)] = *value;
    }
  }
  return true;
}

bool ApplyBatchOffset(EditContext& context, const BatchOffsets& offsets) {
  if (!AskYesNo(context.prompter, TextId::kMsgConfirmBatchOffset)) {
    return false;
  }
  const SliderTable& sliders = context.project.sliders;
  for (MotionBlock& block : context.document) {
    if (!block.Is(BlockKind::Pose) || !block.Selected()) {
      continue;
    }
    for (std::size_t k = 0; k < kBatchOffsetSliders; ++k) {
      const SliderDef& slider = sliders[k];
      if ((slider.flags2 & SliderFlag2::kDisabled) != 0) {
        continue;
      }
      // In 32 bits: value and offset together reach beyond the 16-bit range before the clamp.
      std::int32_t moved = block.slots[k] + offsets[k];
      if (moved < slider.minimum) {
        moved = slider.minimum;
      } else if (moved > slider.maximum) {
        moved = slider.maximum;
      }
      block.slots[k] = static_cast<std::int16_t>(moved);
    }
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kPose);
  context.prompter->Show(PromptIcon::kInformation, LoadText(TextId::kMsgBatchOffsetDone));
  return true;
}

}  // namespace gestalon::core
