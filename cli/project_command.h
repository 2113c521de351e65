#pragma once

#include <ostream>
#include <string>

namespace gestalon::cli {

// `gestalon-cli project P.KJZ [--rewrite DIR]`: loads the project as the program does and prints
// it as one JSON object; with a folder, writes the project back there: the settings files the
// program writes, the variable definitions and the project file, each under its own file name.
int RunProjectCommand(const std::string& projectPath, const std::string& rewriteDir,
                      std::ostream& out, std::ostream& err);

}  // namespace gestalon::cli
