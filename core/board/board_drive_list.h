#pragma once

#include <string>
#include <vector>

#include "board/board_drive.h"

namespace gestalon::core {

// The board drives the last drive scan listed, in scan order, with the model name each board
// reported (same order and length).
struct BoardDriveList {
  std::vector<BoardDrive> drives;
  std::vector<std::u16string> modelNames;
};

}  // namespace gestalon::core
