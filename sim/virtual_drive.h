#pragma once

#include <string>

#include "board/board_drive.h"
#include "virtual_board.h"

namespace gestalon::sim {

// Identification texts of a virtual board's drive (vendor and product are the board's own).
inline constexpr char kVirtualBoardSerial[] = "VIRTUAL0001";
inline constexpr char kVirtualBoardRevision[] = "1.00";
inline constexpr std::uint32_t kUsbBusType = 7;

// The drive through which the program reaches `board`: its card folder as the root, DEVMEM ports
// bound to the board, and the identification of a CPU board on USB. `board` must outlive the
// drive and every port opened through it.
core::BoardDrive VirtualBoardDrive(VirtualBoard& board, std::u16string label);

}  // namespace gestalon::sim
