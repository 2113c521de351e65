#include "motion_commands.h"

#include <optional>

#include "cli_app.h"
#include "cli_project.h"
#include "collecting_prompter.h"
#include "json_text.h"
#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "platform/folders.h"
#include "project/project_loader.h"

namespace gestalon::cli {
namespace {

using nlohmann::json;

// The project whose slider table the motion file needs (servo channel companions); without one
// no slider is a companion.
std::optional<core::LoadedProject> LoadProjectFor(const std::string& projectPath,
                                                  std::ostream& err) {
  if (projectPath.empty()) {
    return core::LoadedProject{};
  }
  return LoadCliProject(projectPath, err);
}

std::optional<core::MotionDocument> ReadMotion(const std::string& motionPath,
                                               const core::LoadedProject& project,
                                               std::ostream& err) {
  CollectingPrompter prompter;
  auto document = core::ReadMotionFile(ArgumentPath(motionPath), project.sliders, &prompter);
  for (const auto& message : prompter.texts) {
    err << "gestalon-cli: " << motionPath << ": " << core::ToUtf8(message) << "\n";
  }
  if (!document) {
    err << "gestalon-cli: cannot read " << motionPath << "\n";
  }
  return document;
}

json LinkJson(const core::MotionDocument& document, const core::MotionBlock* target) {
  const int index = target ? document.IndexOf(target) : -1;
  return index < 0 ? json(nullptr) : json(index);
}

json BlockJson(const core::MotionDocument& document, const core::MotionBlock& b) {
  return {{"name", JsonText(b.name)},
          {"type", b.type},
          {"xpos", b.xpos},
          {"ypos", b.ypos},
          {"bluearrow", b.bluearrow},
          {"redarrow", b.redarrow},
          {"time", b.time},
          {"slots", b.slots},
          {"servoEnableMask", b.servoEnableMask},
          {"poseConst", b.poseConst},
          {"interpWait", b.interpWait ? 1 : 0},
          {"varAddr", b.varAddr},
          {"refAddr", b.refAddr},
          {"op", b.op},
          {"constValue", b.constValue},
          {"useConst", b.useConst},
          {"varSize", b.varSize},
          {"refSize", b.refSize},
          {"fileName", JsonText(b.fileName)},
          {"noFile", b.noFile ? 1 : 0},
          {"asJump", b.asJump ? 1 : 0},
          {"fileAddr", b.fileAddr},
          {"comment", JsonText(b.comment)},
          {"fileStart", b.fileStart},
          {"fileEnd", b.fileEnd},
          {"next", LinkJson(document, b.next)},
          {"branch", LinkJson(document, b.branch)}};
}

}  // namespace

int RunDumpCommand(const std::string& motionPath, const std::string& projectPath, std::ostream& out,
                   std::ostream& err) {
  const auto project = LoadProjectFor(projectPath, err);
  if (!project) {
    return kExitError;
  }
  const auto document = ReadMotion(motionPath, *project, err);
  if (!document) {
    return kExitError;
  }
  json blocks = json::array();
  for (const core::MotionBlock& block : *document) {
    blocks.push_back(BlockJson(*document, block));
  }
  out << blocks.dump(2) << "\n";
  return kExitOk;
}

int RunRewriteCommand(const std::string& inPath, const std::string& outPath,
                      const std::string& projectPath, int overridePercent, std::ostream&,
                      std::ostream& err) {
  if (overridePercent < 1 || overridePercent > 999) {
    err << "gestalon-cli: --override takes a percentage from 1 to 999\n";
    return kExitUsage;
  }
  const auto project = LoadProjectFor(projectPath, err);
  if (!project) {
    return kExitError;
  }
  const auto document = ReadMotion(inPath, *project, err);
  if (!document) {
    return kExitError;
  }
  if (!core::WriteMotionFile(ArgumentPath(outPath), *document, project->sliders,
                             static_cast<std::uint32_t>(overridePercent), nullptr)) {
    err << "gestalon-cli: cannot write " << outPath << "\n";
    return kExitError;
  }
  return kExitOk;
}

}  // namespace gestalon::cli
