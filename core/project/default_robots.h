#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gestalon::core {

inline constexpr int kDefaultRobotCount = 32;
inline constexpr char16_t kDefaultRobotListName[] = u"defrobots.dat";

// A robot the new-project dialog offers: a template folder (relative to the program folder,
// ending in a separator) whose files make up a new project of that robot.
struct DefaultRobot {
  std::u16string templateFolder;  // at most 259 characters
  std::u16string robotName;       // at most 31 characters
};

// The "ROBOT:" lines of the list in file order, at most 32; empty when it cannot be read.
std::vector<DefaultRobot> ReadDefaultRobots(const std::filesystem::path& listFile);

}  // namespace gestalon::core
