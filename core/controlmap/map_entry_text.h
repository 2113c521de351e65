#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "controlmap/control_map.h"
#include "variables/variable_defs.h"

namespace gestalon::core {

// The texts of the control map editor's entry list.

// Whether a condition tests the controller word the way the controller page sets it: 0x0EE4
// equal to a constant (the button mask).
bool IsControllerCondition(const MotionBlock& condition);

// The play condition of an entry: for the controller word the pressed buttons joined by ","
// followed by "を入力" ("何も押さない" for none); otherwise the operator with the second variable
// ("%s %s", named by `variables`) or with the constant ("%s %d", or hexadecimal in the width of
// `varSize` when `hexadecimal`).
std::u16string EntryConditionText(const MotionBlock& condition,
                                  const std::vector<VariableDef>& variables, bool hexadecimal);

// The target map of an entry of map `map`: "移行しない" when it stays, else "%d:%s" with the
// target's index and name.
std::u16string TargetMapText(const ControlMap& controlMap, int map, const MapEntry& entry);

// The file name of a motion path: the part after its last separator.
std::u16string EntryFileName(std::u16string_view path);

}  // namespace gestalon::core
