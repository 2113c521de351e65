// Feeds arbitrary bytes to each settings file kind built on the line reader; the first byte picks
// the kind. Checks that counts and texts that come back keep their limits.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz_input_file.h"
#include "project/base_poses.h"
#include "project/default_robots.h"
#include "project/language_list.h"
#include "project/recent_projects.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/system_settings.h"
#include "project/value_offsets.h"
#include "settings/settings_file.h"

namespace {

using namespace gestalon;
using fuzz::Check;

constexpr std::size_t kPathChars = 259;

void ProjectFile(const std::filesystem::path& path) {
  core::RobotProject project;
  core::ReadProjectFile(path, project);
  for (const auto* name : {&project.SYSINI, &project.SLDINI, &project.ROMINI, &project.DEFPOSINI,
                           &project.DEFOFSINI, &project.MEMMAPINI}) {
    // The names are taken as written: only the line limit bounds them.
    Check(name->size() < static_cast<std::size_t>(core::kSettingsLineLimit));
  }
}

void SystemSettingsFile(const std::filesystem::path& path) {
  core::SystemSettings settings;
  core::ReadSystemSettings(path, fuzz::InputFolder(), fuzz::InputFolder(), settings, nullptr);
  for (const core::SkinImage& skin : settings.skins) {
    Check(skin.path.size() <= kPathChars);
    if (skin.bitmap) {
      Check(skin.bitmap->width > 0 && skin.bitmap->height > 0);
      Check(skin.bitmap->pixels.size() == static_cast<std::size_t>(skin.bitmap->width) *
                                              static_cast<std::size_t>(skin.bitmap->height));
    }
  }
}

void SliderFile(const std::filesystem::path& path) {
  core::SliderTable sliders{};
  core::WindowLayout layout;
  core::ReadSliderDefinitions(path, sliders, layout);
  for (const core::SliderDef& slider : sliders) {
    Check(slider.axisName.size() <= core::kAxisNameMaxChars);
    Check(slider.upperText.size() <= core::kSideTextMaxChars);
    Check(slider.lowerText.size() <= core::kSideTextMaxChars);
  }
}

void BasePoseFile(const std::filesystem::path& path) {
  core::BasePoseTable table;
  core::ReadBasePoses(path, table);
  Check(table.current >= 0 && table.current < core::kBasePoseCount);
  for (const core::BasePose& pose : table.entries) {
    Check(pose.name.size() <= core::kBasePoseNameMaxChars);
  }
}

void OffsetFile(const std::filesystem::path& path) {
  core::ValueOffsetTable table;
  core::ReadValueOffsets(path, table);
  Check(table.current >= -1 && table.current < core::kOffsetSetCount);
  for (const core::ValueOffsetSet& set : table.entries) {
    Check(set.name.size() <= core::kOffsetSetNameMaxChars);
  }
}

void DefaultRobotList(const std::filesystem::path& path) {
  const auto robots = core::ReadDefaultRobots(path);
  Check(robots.size() <= static_cast<std::size_t>(core::kDefaultRobotCount));
  for (const core::DefaultRobot& robot : robots) {
    Check(robot.templateFolder.size() <= kPathChars);
    Check(robot.robotName.size() <= 31);
  }
}

void RecentProjectLog(const std::filesystem::path& path) {
  core::RecentProjects log;
  std::u16string first;
  core::ReadRecentProjects(path, log, &first);
  for (const core::RecentProject& entry : log.entries) {
    Check(entry.robotName.size() <= 31);
    Check(entry.path.size() <= kPathChars);
  }
}

void LanguageFiles(const std::filesystem::path& path) {
  if (const auto lines = core::ReadLanguageList(path)) {
    core::ChooseLanguageLibraries(*lines, 0x0411);
  }
  core::ReadLanguageModule(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const gestalon::fuzz::InputFile input(data + 1, size - 1, "settings.ini");
  using Reader = void (*)(const std::filesystem::path&);
  constexpr Reader kReaders[] = {ProjectFile, SystemSettingsFile, SliderFile,       BasePoseFile,
                                 OffsetFile,  DefaultRobotList,   RecentProjectLog, LanguageFiles};
  kReaders[data[0] % std::size(kReaders)](input.Path());
  return 0;
}
