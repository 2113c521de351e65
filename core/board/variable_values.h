#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board_link.h"
#include "board/board_mirror.h"
#include "variables/variable_defs.h"

namespace gestalon::core {

// How many definitions one refresh tick of the memory map asks the board for.
inline constexpr std::size_t kVariableReadsPerTick = 128;

// The value of a board variable as the mirror holds it: sizes 1, 2 and 4 as signed decimal, or
// with `hexadecimal` as "0x%02x", "0x%04x" or "0x%08x" of the bytes' unsigned value; other sizes
// have no value (empty).
std::u16string VariableValueText(const BoardMirror& mirror, std::uint16_t address,
                                 std::int32_t size, bool hexadecimal);

// Asks the online worker to read the next kVariableReadsPerTick definitions from `cursor`,
// wrapping to the first, and returns where the next tick continues. Never waits for the board:
// while another task holds it, the cursor stays at the first definition not yet asked for.
// User-interface thread; does nothing while offline.
std::size_t RequestVariableReads(BoardLink& link, const std::vector<VariableDef>& defs,
                                 std::size_t cursor);

}  // namespace gestalon::core
