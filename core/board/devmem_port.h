#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace gestalon::core {

// Size of every record exchanged through DEVMEM.
inline constexpr std::size_t kDevmemRecordSize = 512;
using DevmemRecord = std::array<std::uint8_t, kDevmemRecordSize>;

// The DEVMEM file of one board drive, open for reading and writing. Every record is written and
// read at offset 0: the board takes each written record as a request and answers the next read.
// Implementations: the real file on a board drive, and the virtual board.
class DevmemPort {
 public:
  virtual ~DevmemPort() = default;
  // Writes one 512-byte record. False when the write failed.
  virtual bool WriteRecord(const DevmemRecord& record) = 0;
  // Reads one 512-byte record into `record`. False when the read failed.
  virtual bool ReadRecord(DevmemRecord& record) = 0;
};

}  // namespace gestalon::core
