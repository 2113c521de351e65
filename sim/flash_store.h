#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace gestalon::sim {

// The board's flash memory, 512 KB from 0x08000000 (firmware at 0x08020000, updater at
// 0x0803F000). Stored sparsely: pages that were never written read as erased (0xFF).
class FlashStore {
 public:
  static constexpr std::uint32_t kBase = 0x08000000;
  static constexpr std::uint32_t kSize = 0x00080000;
  static constexpr std::uint8_t kErased = 0xFF;

  // Stores `bytes` from `address` on. False, with nothing stored, when any byte would fall
  // outside flash.
  bool Write(std::uint32_t address, std::span<const std::uint8_t> bytes);
  // `size` bytes from `address` on; bytes outside flash or never written read as erased.
  std::vector<std::uint8_t> Read(std::uint32_t address, std::size_t size) const;
  // Erases everything.
  void Clear() { pages_.clear(); }

 private:
  static constexpr std::uint32_t kPageSize = 0x800;
  using Page = std::array<std::uint8_t, kPageSize>;

  std::map<std::uint32_t, Page> pages_;  // by page start address
};

}  // namespace gestalon::sim
