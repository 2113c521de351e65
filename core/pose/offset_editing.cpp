#include "pose/offset_editing.h"

#include <cstdlib>
#include <utility>

#include "pose/dialog_prompts.h"
#include "pose/entry_table.h"
#include "project/robot_project.h"
#include "settings/settings_fields.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kOffsetTextMaxChars = 255;

bool IsOffsetChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u' ';
}

// `value` in degrees (style 2) or percent of the range (style 3), formatted with a format built
// from `degreesFormat` or `percentFormat` and the slider's decimals. Empty for the other styles
// and when the slider gives no scale (0 counts per degree, minimum = maximum).
std::u16string ScaledText(const SliderDef& slider, int value, std::u16string_view degreesFormat,
                          std::u16string_view percentFormat) {
  const int range = slider.maximum - slider.minimum;
  if (slider.putStyle == 2 && slider.countsPerDegree != 0.0) {
    return Format(Format(degreesFormat, slider.decimals),
                  static_cast<double>(value) / slider.countsPerDegree);
  }
  if (slider.putStyle == 3 && range != 0) {
    return Format(Format(percentFormat, slider.decimals),
                  static_cast<double>(value) / range * 100.0);
  }
  return {};
}

}  // namespace

ValueOffsetTable OpenOffsetDialog(const ValueOffsetTable& offsets) {
  ValueOffsetTable working = offsets;
  if (working.current == -1 && working.entries[0].registered) {
    working.current = 0;
  }
  return working;
}

std::vector<std::u16string> OffsetSetNames(const ValueOffsetTable& table) {
  return RegisteredNames(table);
}

void SelectOffsetSet(ValueOffsetTable& working, std::int32_t index) {
  if (IsRegisteredEntry(working, index)) {
    working.current = index;
  }
}

int AddOffsetSet(ValueOffsetTable& working, std::int32_t focusedIndex, Prompter* prompter) {
  if (FirstFreeEntry(working) == kOffsetSetCount) {
    // The base pose dialog's "list full" text serves both dialogs.
    ShowWarning(prompter, TextId::kMsgBasePoseListFull);
    return 0;
  }
  ValueOffsetSet& entry = InsertEntry(working, focusedIndex);
  entry.registered = true;
  entry.name = TruncateText(LoadText(TextId::kDefaultOffsetName), kOffsetSetNameMaxChars);
  return 1;
}

int DeleteOffsetSet(ValueOffsetTable& working, std::int32_t selectedIndex) {
  if (RemoveEntries(working, {selectedIndex}) == 0) {
    return 0;
  }
  if (!IsRegisteredEntry(working, working.current)) {
    working.current = working.entries[0].registered ? 0 : -1;
  }
  return 1;
}

void RenameOffsetSet(ValueOffsetTable& working, std::int32_t index, std::u16string_view text) {
  if (IsRegisteredEntry(working, index)) {
    // An edited label has no way to refuse: a name the file cannot hold is made storable.
    working.entries[static_cast<std::size_t>(index)].name =
        SettingsFieldName(text, kOffsetSetNameMaxChars);
  }
}

bool PassesOffsetNumberCheck(std::u16string_view text) {
  std::size_t start = 0;
  const bool hexPrefix = text.size() >= 3 && text.substr(0, 2) == u"0x";
  if (hexPrefix) {
    start = 2;
  }
  for (std::size_t i = start; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (!IsOffsetChar(c) && !(hexPrefix && c >= u'a' && c <= u'f')) {
      return false;
    }
  }
  return true;
}

bool SetOffsetsFromText(ValueOffsetTable& working, std::u16string_view text,
                        const std::vector<std::int32_t>& selectedSliders, Prompter* prompter) {
  if (!IsRegisteredEntry(working, working.current)) {
    ShowWarning(prompter, TextId::kMsgSelectOffsetEntry);
    return false;
  }
  const std::u16string input = TruncateText(text, kOffsetTextMaxChars);
  if (input.empty()) {
    ShowWarning(prompter, TextId::kMsgEnterOffsetValue);
    return false;
  }
  if (!PassesOffsetNumberCheck(input)) {
    ShowWarning(prompter, TextId::kMsgOffsetBadChars);
    return false;
  }
  const std::int32_t value = ParseDecimal(input);
  if (value < -32768 || value > 32767) {
    ShowWarning(prompter, TextId::kMsgOffsetOutOfRange);
    return false;
  }
  bool any = false;
  auto& offsets = working.entries[static_cast<std::size_t>(working.current)].offsets;
  for (const std::int32_t k : selectedSliders) {
    if (k >= 0 && k < kSliderCount) {
      offsets[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(value);
      any = true;
    }
  }
  if (!any) {
    ShowWarning(prompter, TextId::kMsgSelectSliderItem);
  }
  return any;
}

bool SaveOffsetFile(const LoadedProject& project, Prompter* prompter) {
  return ReportUnsavedFile(
      WriteValueOffsets(ProjectFilePath(project.project, project.project.DEFOFSINI),
                        project.offsets),
      prompter);
}

bool ApplyOffsetTable(EditContext& context, const ValueOffsetTable& working) {
  if (!AskYesNo(context.prompter, TextId::kMsgConfirmApplySettings)) {
    return false;
  }
  context.project.offsets = working;
  if (context.views) {
    context.views->RefreshMenuChecks();
  }
  SaveOffsetFile(context.project, context.prompter);
  return true;
}

void CloseOffsetDialog(EditContext& context) {
  context.project.offsets.current = -1;
  if (context.views) {
    context.views->RefreshMenuChecks();
  }
}

OffsetSelectorData FillOffsetSelector(const ValueOffsetTable& offsets) {
  OffsetSelectorData data;
  data.items.push_back(LoadText(TextId::kComboOffsetUnused));
  for (std::u16string& name : OffsetSetNames(offsets)) {
    data.items.push_back(std::move(name));
  }
  data.selected = IsRegisteredEntry(offsets, offsets.current) ? offsets.current + 1 : 0;
  return data;
}

bool ChooseOffsetFromSelector(ValueOffsetTable& offsets, int index) {
  const std::int32_t choice = index - 1;
  if (choice != -1 && !IsRegisteredEntry(offsets, choice)) {
    return false;
  }
  offsets.current = choice;
  return true;
}

std::u16string FormatSliderNameCell(int index, const SliderDef& slider) {
  return Format(u"%02d:%s", index, slider.axisName);
}

std::u16string FormatOffsetCell(const SliderDef& slider, std::int16_t offset) {
  const int o = offset;
  const bool signInverted = (slider.flags2 & SliderFlag2::kSignInverted) != 0;
  std::u16string text = Format(u"%+d", o);
  if (slider.putStyle == 1) {
    const bool plus = (o >= 0 && !signInverted) || (o < 0 && signInverted);
    return text + Format(plus ? u" (+0x%04x)" : u" (-0x%04x)", std::abs(o));
  }
  return text + ScaledText(slider, signInverted ? -o : o, u" (%%+.%df°)", u" (%%+.%df%%%%)");
}

std::u16string FormatStepCell(const SliderDef& slider) {
  const int s = slider.step;
  std::u16string text = Format(u"%d", s);
  if (slider.putStyle == 1) {
    return text + Format(u" (0x%04x)", s);
  }
  return text + ScaledText(slider, s, u" (%%.%df°)", u" (%%.%df%%%%)");
}

}  // namespace gestalon::core
