#pragma once

#include <string_view>

namespace gestalon::core {

// Opening another robot project starts a new instance of the program with the project path as
// its argument; this instance stays as it is. False when the new instance could not be started.
bool RelaunchWithProject(std::u16string_view projectPath);

}  // namespace gestalon::core
