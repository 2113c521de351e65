#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gestalon::core {

// The rule of the project-data file choosers: a chosen file is accepted only when the project
// folder's path occurs in its path (both compared lower-cased); the name stored is then the chosen
// path without the folder part (and the separator after it). nullopt: the file lies outside the
// project folder.
std::optional<std::u16string> NameInProjectFolder(std::u16string_view projectFolder,
                                                  std::u16string_view chosenPath);

}  // namespace gestalon::core
