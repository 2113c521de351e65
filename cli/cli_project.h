#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "project/project_loader.h"

namespace gestalon::cli {

// Writes the texts of the message boxes a command would have shown, one line each.
void PrintMessages(const std::vector<std::u16string>& messages, std::ostream& err);

// Loads a robot project as the program does. The messages the load showed go to `err`: on
// failure always, on success only with `reportWarnings` (a settings file that could not be read
// leaves defaults that may matter). None when the project cannot be loaded.
std::optional<core::LoadedProject> LoadCliProject(const std::string& projectPath, std::ostream& err,
                                                  bool reportWarnings = false);

}  // namespace gestalon::cli
