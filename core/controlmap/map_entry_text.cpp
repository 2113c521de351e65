#include "controlmap/map_entry_text.h"

#include "flowchart/condition_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {

bool IsControllerCondition(const MotionBlock& condition) {
  return condition.varAddr == kControllerWordAddr && condition.op == BranchOp::kEqual &&
         condition.useConst != 0;
}

std::u16string EntryConditionText(const MotionBlock& condition,
                                  const std::vector<VariableDef>& variables, bool hexadecimal) {
  if (IsControllerCondition(condition)) {
    std::array<std::u16string, kPadButtonCount> names;
    for (std::size_t bit = 0; bit < names.size(); ++bit) {
      names[bit] = LoadText(kPadButtonTextIds[bit]);
    }
    return PressedButtonsText(static_cast<std::uint32_t>(condition.constValue), names,
                              LoadText(TextId::kBlockLabelPadSeparator),
                              LoadText(TextId::kPadInputSuffix),
                              LoadText(TextId::kPadNothingPressed));
  }
  const std::u16string op = condition.op < kBranchOperatorTextIds.size()
                                ? LoadText(kBranchOperatorTextIds[condition.op])
                                : std::u16string();
  if (condition.useConst == 0) {
    return Format(LoadText(TextId::kCondVarFmt), op,
                  VariableLabel(variables, condition.refAddr,
                                static_cast<std::int32_t>(condition.refSize), hexadecimal));
  }
  if (!hexadecimal) {
    return Format(LoadText(TextId::kCondConstFmt), op, condition.constValue);
  }
  // In the width of the variable the constant is compared with.
  const auto value = static_cast<std::uint32_t>(condition.constValue);
  switch (condition.varSize) {
    case 1:
      return Format(LoadText(TextId::kCondConstHex8Fmt), op, value & 0xFFu);
    case 2:
      return Format(LoadText(TextId::kCondConstHex16Fmt), op, value & 0xFFFFu);
    default:
      return Format(LoadText(TextId::kCondConstHex32Fmt), op, value);
  }
}

std::u16string TargetMapText(const ControlMap& controlMap, int map, const MapEntry& entry) {
  if (entry.targetMap == map || entry.targetMap >= controlMap.maps.size()) {
    return LoadText(TextId::kNoMapChange);
  }
  return Format(LoadText(TextId::kIndexNameFmt), static_cast<int>(entry.targetMap),
                controlMap.maps[entry.targetMap].name);
}

std::u16string EntryFileName(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace gestalon::core
