#pragma once

#include <array>
#include <cstdint>

#include "board/board_mirror.h"

namespace gestalon::core {

// Board addresses the online worker is asked to read again. Used only while holding the board.
struct RefreshTable {
  std::array<std::uint8_t, kBoardMemorySize> requested{};  // 1 = read this address again
  std::uint32_t cursor = 0;                                // where the next servicing call looks
};

}  // namespace gestalon::core
