#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gestalon::core {

// The command line of the new instance that opens another robot project: the options this
// instance passes on, then the project path as one argument.
std::vector<std::u16string> RelaunchArguments(std::u16string_view projectPath,
                                              const std::vector<std::u16string>& options);

// Opening another robot project starts a new instance of the program with RelaunchArguments;
// this instance stays as it is. False when the new instance could not be started.
bool RelaunchWithProject(std::u16string_view projectPath,
                         const std::vector<std::u16string>& options = {});

}  // namespace gestalon::core
