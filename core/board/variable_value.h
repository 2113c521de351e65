#pragma once

#include <cstdint>
#include <string>

#include "board/board_mirror.h"

namespace gestalon::core {

// The value of the board variable at `address` as the mirror holds it, by its size: 1, 2 and 4
// bytes as signed "%d", or with `hexadecimal` as "0x%02x", "0x%04x" and "0x%08x" of the bytes
// themselves (a byte 0xff reads -1 or 0xff); other sizes have no value (empty).
std::u16string VariableValueText(const BoardMirror& mirror, std::uint32_t address,
                                 std::int32_t size, bool hexadecimal);

}  // namespace gestalon::core
