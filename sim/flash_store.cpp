#include "flash_store.h"

namespace gestalon::sim {

bool FlashStore::Write(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  const std::uint64_t first = address;
  const std::uint64_t end = first + bytes.size();
  if (first < kBase || end > std::uint64_t{kBase} + kSize) {
    return false;
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto at = static_cast<std::uint32_t>(first + i);
    const std::uint32_t pageStart = at - at % kPageSize;
    auto [page, inserted] = pages_.try_emplace(pageStart);
    if (inserted) {
      page->second.fill(kErased);
    }
    page->second[at - pageStart] = bytes[i];
  }
  return true;
}

std::vector<std::uint8_t> FlashStore::Read(std::uint32_t address, std::size_t size) const {
  std::vector<std::uint8_t> bytes(size, kErased);
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint64_t at = std::uint64_t{address} + i;
    if (at < kBase || at >= std::uint64_t{kBase} + kSize) {
      continue;
    }
    const auto pageStart = static_cast<std::uint32_t>(at - at % kPageSize);
    const auto page = pages_.find(pageStart);
    if (page != pages_.end()) {
      bytes[i] = page->second[static_cast<std::uint32_t>(at) - pageStart];
    }
  }
  return bytes;
}

}  // namespace gestalon::sim
