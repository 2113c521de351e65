#include "cli_project.h"

#include "collecting_prompter.h"
#include "json_text.h"
#include "platform/folders.h"

namespace gestalon::cli {

void PrintMessages(const std::vector<std::u16string>& messages, std::ostream& err) {
  for (const auto& message : messages) {
    err << "gestalon-cli: " << core::ToUtf8(message) << "\n";
  }
}

std::optional<core::LoadedProject> LoadCliProject(const std::string& projectPath, std::ostream& err,
                                                  bool reportWarnings) {
  core::LoadedProject project;
  CollectingPrompter prompter;
  core::ProjectLoadOptions options;
  options.programFolder = core::ProgramFolder();
  options.prompter = &prompter;
  const bool loaded = core::LoadRobotProject(ArgumentPath(projectPath), false, project, options);
  if (!loaded || reportWarnings) {
    PrintMessages(prompter.texts, err);
  }
  if (!loaded) {
    err << "gestalon-cli: cannot load the project " << projectPath << "\n";
    return std::nullopt;
  }
  return project;
}

}  // namespace gestalon::cli
