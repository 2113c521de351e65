#include "project/relaunch.h"

#include "platform/folders.h"

namespace gestalon::core {

std::vector<std::u16string> RelaunchArguments(std::u16string_view projectPath,
                                              const std::vector<std::u16string>& options) {
  std::vector<std::u16string> arguments = options;
  arguments.emplace_back(projectPath);
  return arguments;
}

bool RelaunchWithProject(std::u16string_view projectPath,
                         const std::vector<std::u16string>& options) {
  return StartProgramInstance(ExecutablePath(), RelaunchArguments(projectPath, options));
}

}  // namespace gestalon::core
