#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gestalon::core {

// Full path of the running program file.
std::filesystem::path ExecutablePath();

// The folder holding the shipped data (language list, default robots, templates, skins): the
// executable's folder in the build tree and on Windows; <prefix>/share/gestalon for an installed
// program on Linux (used when the executable's folder holds no data but that folder exists).
std::filesystem::path ProgramFolder();

// Whether ProgramFolder() is an installed program's shared data folder rather than the
// executable's own: a folder the program never writes to.
bool ProgramFolderIsShared();

// The user's application data folder for the program ("GestalonZ" in the roaming application data
// on Windows, $XDG_DATA_HOME/GestalonZ or ~/.local/share/GestalonZ on Linux), created when missing.
// Empty when it can neither be found nor created.
std::filesystem::path AppDataFolder();

// Whether this process may create files in `folder`.
bool IsFolderWritable(const std::filesystem::path& folder);

// Starts a new instance of `program` with `arguments`, detached from this one. False when the
// system could not start it.
bool StartProgramInstance(const std::filesystem::path& program,
                          const std::vector<std::u16string>& arguments);

}  // namespace gestalon::core
