#include "project/relaunch.h"

#include <string>

#include "platform/folders.h"

namespace gestalon::core {

bool RelaunchWithProject(std::u16string_view projectPath) {
  return StartProgramInstance(ExecutablePath(), {std::u16string(projectPath)});
}

}  // namespace gestalon::core
