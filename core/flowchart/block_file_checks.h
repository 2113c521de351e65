#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gestalon::core {

// The file fields of the subroutine, sound, cancel, file read and file write dialogs. Names are
// relative to the project folder (absolute names are taken as they are).

// The size in bytes of the project file `name`; nullopt when it is missing (an empty name always
// is) or not a plain file.
std::optional<std::uintmax_t> ProjectFileSize(std::u16string_view projectFolder,
                                              std::u16string_view name);

inline bool ProjectFileExists(std::u16string_view projectFolder, std::u16string_view name) {
  return ProjectFileSize(projectFolder, name).has_value();
}

// The status line under the file field of the subroutine, sound and cancel dialogs: the
// not-found notice, or nothing when the file exists.
std::u16string CalledFileStatus(std::u16string_view projectFolder, std::u16string_view name);

// The status line of the file read and write dialog: the file's size, or the not-found notice.
std::u16string DataFileStatus(std::u16string_view projectFolder, std::u16string_view name);

// A file name as a block stores it: at most kBlockFileNameChars characters.
std::u16string BlockFileNameFromField(std::u16string_view text);

// The size field of the file creation dialog read as a decimal number of bytes (negative: 0).
std::uint32_t CreateFileSizeFromField(std::u16string_view text);

// Creates (or replaces) the project file `name` holding `size` zero bytes, through a temporary
// file so that a failure leaves an existing file as it was. False when it could not be written
// (also for an empty name).
bool CreateZeroFilledFile(std::u16string_view projectFolder, std::u16string_view name,
                          std::uint32_t size);

}  // namespace gestalon::core
