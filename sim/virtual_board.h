#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace gestalon::sim {

// Stand-in for the robot's CPU board: its 8192 bytes of memory, all zero at power-on.
class VirtualBoard {
 public:
  static constexpr std::size_t kMemorySize = 0x2000;

  VirtualBoard() { PowerOn(); }

  void PowerOn() { memory_.fill(0); }

  // Copies bytes into memory at `address`; bytes at or beyond the end of memory are dropped.
  void Write(std::uint32_t address, std::span<const std::uint8_t> bytes);
  // Reads `out.size()` bytes from `address`; bytes beyond the end of memory read as 0.
  void Read(std::uint32_t address, std::span<std::uint8_t> out) const;

 private:
  std::array<std::uint8_t, kMemorySize> memory_{};
};

}  // namespace gestalon::sim
