#include "project_command.h"

#include "cli_app.h"
#include "collecting_prompter.h"
#include "json_text.h"
#include "platform/folders.h"
#include "project/project_loader.h"

namespace gestalon::cli {
namespace {

using nlohmann::json;

json FontJson(const core::FontSpec& f) {
  return {{"height", f.height},
          {"width", f.width},
          {"escapement", f.escapement},
          {"orientation", f.orientation},
          {"weight", f.weight},
          {"italic", f.italic},
          {"underline", f.underline},
          {"strikeOut", f.strikeOut},
          {"charSet", f.charSet},
          {"outPrecision", f.outPrecision},
          {"clipPrecision", f.clipPrecision},
          {"quality", f.quality},
          {"pitchAndFamily", f.pitchAndFamily},
          {"faceName", JsonText(f.faceName)}};
}

json SliderJson(int index, const core::SliderDef& s) {
  return {{"index", index},
          {"filePos", s.filePos},
          {"pos", s.pos},
          {"flags1", s.flags1},
          {"putStyle", s.putStyle},
          {"font", FontJson(s.font)},
          {"textBkColor", s.textBkColor},
          {"textColor", s.textColor},
          {"pairMode", s.pairMode},
          {"partner", s.partner},
          {"flags2", s.flags2},
          {"reading", s.reading},
          {"minimum", s.minimum},
          {"maximum", s.maximum},
          {"step", s.step},
          {"countsPerDegree", s.countsPerDegree},
          {"axisName", JsonText(s.axisName)},
          {"upperText", JsonText(s.upperText)},
          {"lowerText", JsonText(s.lowerText)},
          {"decimals", s.decimals},
          {"companion", s.companion},
          {"channel", s.channel}};
}

json ProjectJson(const core::LoadedProject& p, const std::vector<std::u16string>& messages) {
  const core::RobotProject& files = p.project;
  json result;
  result["robotName"] = JsonText(core::ProjectRobotName(p));
  result["files"] = {
      {"SYSINI", JsonText(files.SYSINI)},       {"SLDINI", JsonText(files.SLDINI)},
      {"ROMINI", JsonText(files.ROMINI)},       {"DEFPOSINI", JsonText(files.DEFPOSINI)},
      {"DEFOFSINI", JsonText(files.DEFOFSINI)}, {"MEMMAPINI", JsonText(files.MEMMAPINI)}};
  result["systemFlags"] = p.system.systemFlags;

  json sliders = json::array();
  for (int i = 0; i < core::kSliderCount; ++i) {
    const core::SliderDef& s = p.sliders[i];
    if (!s.axisName.empty() || (s.flags2 & core::SliderFlag2::kDisabled) == 0) {
      sliders.push_back(SliderJson(i, s));
    }
  }
  result["sliders"] = std::move(sliders);

  result["currentBasePose"] = p.basePoses.current;
  json basePoses = json::array();
  for (const core::BasePose& pose : p.basePoses.entries) {
    if (!pose.registered) {
      continue;
    }
    json axes = json::array();
    json values = json::array();
    for (int k = 0; k < core::kSliderCount; ++k) {
      if (pose.axisEnable[k]) {
        axes.push_back(k);
        values.push_back(pose.values[k]);
      }
    }
    basePoses.push_back({{"name", JsonText(pose.name)},
                         {"axes", std::move(axes)},
                         {"values", std::move(values)},
                         {"servoEnableMask", pose.servoEnableMask}});
  }
  result["basePoses"] = std::move(basePoses);

  json offsets = json::array();
  for (const core::ValueOffsetSet& set : p.offsets.entries) {
    if (set.registered) {
      offsets.push_back({{"name", JsonText(set.name)}, {"offsets", set.offsets}});
    }
  }
  result["offsets"] = std::move(offsets);

  json variables = json::array();
  for (const core::VariableDef& v : p.variables) {
    variables.push_back({{"address", v.address}, {"size", v.size}, {"name", JsonText(v.name)}});
  }
  result["variables"] = std::move(variables);

  json texts = json::array();
  for (const auto& message : messages) {
    texts.push_back(JsonText(message));
  }
  result["messages"] = std::move(texts);
  return result;
}

// Writes the settings files the program itself writes into `folder`, under their project names,
// with the variable definitions and a project file naming them, so that `folder` is the same
// project again.
bool Rewrite(const core::LoadedProject& p, const std::filesystem::path& projectFile,
             const std::filesystem::path& folder, std::ostream& err) {
  const core::RobotProject& files = p.project;
  auto target = [&](const std::u16string& name) {
    return folder / core::PathFromText(name).filename();
  };
  core::RobotProject rewritten = files;
  for (std::u16string* name : {&rewritten.SYSINI, &rewritten.SLDINI, &rewritten.ROMINI,
                               &rewritten.DEFPOSINI, &rewritten.DEFOFSINI, &rewritten.MEMMAPINI}) {
    *name = core::TextFromPath(core::PathFromText(*name).filename());
  }
  const std::u16string projectName = core::TextFromPath(projectFile.filename());
  struct Step {
    const std::u16string& name;
    bool ok;
  };
  const Step steps[] = {
      {projectName, core::WriteProjectFile(target(projectName), rewritten)},
      {files.SYSINI, core::WriteSystemSettings(target(files.SYSINI), p.system)},
      {files.SLDINI, core::WriteSliderDefinitions(target(files.SLDINI), p.sliders, p.layout)},
      {files.DEFPOSINI, core::WriteBasePoses(target(files.DEFPOSINI), p.basePoses)},
      {files.DEFOFSINI, core::WriteValueOffsets(target(files.DEFOFSINI), p.offsets)},
      {files.ROMINI, core::WriteCpuSettingsFile(target(files.ROMINI), p.cpu)},
      {files.MEMMAPINI, core::WriteVariableDefs(target(files.MEMMAPINI), p.variables)},
  };
  bool ok = true;
  for (const Step& step : steps) {
    if (!step.ok) {
      err << "gestalon-cli: cannot write " << core::ToUtf8(core::TextFromPath(target(step.name)))
          << "\n";
      ok = false;
    }
  }
  return ok;
}

}  // namespace

int RunProjectCommand(const std::string& projectPath, const std::string& rewriteDir,
                      std::ostream& out, std::ostream& err) {
  CollectingPrompter prompter;
  core::LoadedProject project;
  core::ProjectLoadOptions options;
  options.programFolder = core::ProgramFolder();
  options.prompter = &prompter;
  const std::filesystem::path projectFile = ArgumentPath(projectPath);
  const bool loaded = core::LoadRobotProject(projectFile, false, project, options);
  if (!loaded) {
    for (const auto& message : prompter.texts) {
      err << "gestalon-cli: " << core::ToUtf8(message) << "\n";
    }
    if (prompter.texts.empty()) {
      err << "gestalon-cli: cannot load " << projectPath << "\n";
    }
    return kExitError;
  }
  if (!rewriteDir.empty()) {
    const std::filesystem::path folder = ArgumentPath(rewriteDir);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!Rewrite(project, projectFile, folder, err)) {
      return kExitError;
    }
  }
  out << ProjectJson(project, prompter.texts).dump(2) << "\n";
  return kExitOk;
}

}  // namespace gestalon::cli
