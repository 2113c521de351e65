#include "project/default_robots.h"

#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace gestalon::core {

std::vector<DefaultRobot> ReadDefaultRobots(const std::filesystem::path& listFile) {
  std::vector<DefaultRobot> robots;
  auto file = OpenSettingsFile(listFile, "r");
  std::u16string line;
  while (robots.size() < kDefaultRobotCount && ReadSettingsLine(file.get(), line, 1024) > 0) {
    FieldReader fields(line, u"ROBOT:");
    if (!fields.KeyFound()) {
      continue;
    }
    DefaultRobot robot;
    robot.robotName = std::u16string(fields.NextText().substr(0, 31));
    robot.templateFolder = std::u16string(fields.NextText().substr(0, 259));
    robots.push_back(std::move(robot));
  }
  if (!CloseSettingsFile(std::move(file))) {
    robots.clear();
  }
  return robots;
}

}  // namespace gestalon::core
