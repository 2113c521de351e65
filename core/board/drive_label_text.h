#pragma once

#include <string>
#include <string_view>

#include "board/board_drive.h"

namespace gestalon::core {

// Texts of the string table name a drive with "%c" (a drive letter). Here a drive is named by
// its label, which on Linux is a whole mount point: DriveLabelFormat turns every %c conversion
// of `format` into %s, and DriveLabelText gives the text to pass for it (the letter on Windows,
// the whole label elsewhere).
std::u16string DriveLabelFormat(std::u16string_view format);
std::u16string DriveLabelText(const BoardDrive& drive);
// How a drive is listed for the user to pick: "E:\" on Windows, the label (mount point) elsewhere.
std::u16string DriveEntryText(const BoardDrive& drive);

}  // namespace gestalon::core
