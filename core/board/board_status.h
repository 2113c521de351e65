#pragma once

#include <cstdint>
#include <string>

namespace gestalon::core {

// What the last successful status poll found, for the status window.
struct BoardStatus {
  std::uint32_t controllerPresent = 0;  // byte at 0x0EE0
  std::uint32_t controllerError = 0;    // byte at 0x0EE1, non-zero = error
  std::uint16_t buttons = 0;            // bit 0 = first button
  std::uint16_t rx = 0, ry = 0, lx = 0, ly = 0;
  std::int16_t batteryRaw = 0;  // volts = raw / 4096 x 16.62

  friend bool operator==(const BoardStatus&, const BoardStatus&) = default;
};

// The board's last error, as the online worker read it last.
struct BoardError {
  std::u16string text;  // at most 32 characters; empty = no error
  std::uint32_t address = 0;

  friend bool operator==(const BoardError&, const BoardError&) = default;
};

}  // namespace gestalon::core
