#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gestalon::core {

// A path as the program's texts hold it (UTF-16, Windows separators allowed) to a file system
// path: on POSIX systems '\' separators become '/'.
std::filesystem::path PathFromText(std::u16string_view text);

// The path as UTF-16 text with the platform's separators.
std::u16string TextFromPath(const std::filesystem::path& path);

// A file name from a settings file, resolved the way the program opens it: relative names
// against `folder` (the project folder or the program folder), absolute ones as they are.
std::filesystem::path ResolveInFolder(const std::filesystem::path& folder,
                                      std::u16string_view name);

}  // namespace gestalon::core
