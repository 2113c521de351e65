#include "virtual_board.h"

namespace gestalon::sim {

void VirtualBoard::Write(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size() && address + i < kMemorySize; ++i) {
    memory_[address + i] = bytes[i];
  }
}

void VirtualBoard::Read(std::uint32_t address, std::span<std::uint8_t> out) const {
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = address + i < kMemorySize ? memory_[address + i] : 0;
  }
}

}  // namespace gestalon::sim
