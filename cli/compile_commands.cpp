#include "compile_commands.h"

#include <filesystem>
#include <optional>

#include "board/byte_code.h"
#include "board/image_builder.h"
#include "cli_app.h"
#include "cli_project.h"
#include "collecting_prompter.h"
#include "json_text.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "project/project_loader.h"

namespace gestalon::cli {
namespace {

// Writes the image; the exit status of a build that showed `prompter`'s messages.
int WriteImage(const std::vector<std::uint8_t>& bytes, const std::string& outPath,
               const CollectingPrompter& prompter, std::ostream& err) {
  if (!core::WriteImageFile(ArgumentPath(outPath), bytes)) {
    err << "gestalon-cli: cannot write " << outPath << "\n";
    return kExitError;
  }
  return prompter.texts.empty() ? kExitOk : kExitError;
}

}  // namespace

int RunCompileCommand(const std::string& motionPath, const std::string& outPath,
                      const std::string& projectPath, int overridePercent, std::ostream&,
                      std::ostream& err) {
  if (overridePercent < 1 || overridePercent > 999) {
    err << "gestalon-cli: --override takes a percentage from 1 to 999\n";
    return kExitUsage;
  }
  std::error_code ec;
  const std::filesystem::path motion = std::filesystem::absolute(ArgumentPath(motionPath), ec);
  if (ec) {
    err << "gestalon-cli: cannot find " << motionPath << "\n";
    return kExitError;
  }
  core::LoadedProject project;  // without a project: no companions, no cancel bits
  std::filesystem::path folder = motion.parent_path();
  if (!projectPath.empty()) {
    auto loaded = LoadCliProject(projectPath, err);
    if (!loaded) {
      return kExitError;
    }
    project = std::move(*loaded);
    folder = core::PathFromText(project.project.folder);
  }

  CollectingPrompter prompter;
  core::ImageBuildContext context;
  context.projectFolder = folder;
  context.sliders = &project.sliders;
  context.cpu = &project.cpu;
  context.prompter = &prompter;
  core::CopyList copyList;
  auto image = core::BuildMotionImage(context, core::TextFromPath(motion), u"",
                                      static_cast<std::uint32_t>(overridePercent), 0, copyList);
  PrintMessages(prompter.texts, err);
  if (!image) {
    err << "gestalon-cli: cannot compile " << motionPath << "\n";
    return kExitError;
  }
  image->bytes.push_back(core::kPlaybackImageEnd);
  return WriteImage(image->bytes, outPath, prompter, err);
}

int RunStartupCommand(const std::string& projectPath, const std::string& outPath, std::ostream&,
                      std::ostream& err) {
  auto project = LoadCliProject(projectPath, err);
  if (!project) {
    return kExitError;
  }
  CollectingPrompter prompter;
  core::ImageBuildContext context;
  context.projectFolder = core::PathFromText(project->project.folder);
  context.sliders = &project->sliders;
  context.cpu = &project->cpu;
  context.prompter = &prompter;
  core::CopyList copyList;
  const auto image = core::BuildStartupImage(context, copyList);
  PrintMessages(prompter.texts, err);
  if (!image) {
    err << "gestalon-cli: cannot build the start-up motion's image\n";
    return kExitError;
  }
  return WriteImage(*image, outPath, prompter, err);
}

}  // namespace gestalon::cli
