#pragma once

#include <ostream>
#include <string>

namespace gestalon::cli {

// `gestalon-cli project P.KJZ [--rewrite DIR]`: loads the project as the program does and prints
// it as one JSON object; with a folder, writes the settings files the program writes back there.
int RunProjectCommand(const std::string& projectPath, const std::string& rewriteDir,
                      std::ostream& out, std::ostream& err);

}  // namespace gestalon::cli
