#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "board/devmem_port.h"
#include "virtual_board.h"

namespace gestalon::sim::testing {

inline core::DevmemRecord ReadRequestOf(std::uint32_t address, std::uint8_t count) {
  return {'R', static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), count};
}

// A 'W' record carrying `data` at `address`, with `data.size()` modulo 256 in byte 3.
inline core::DevmemRecord WriteRecordOf(std::uint32_t address, std::span<const std::uint8_t> data) {
  core::DevmemRecord record = ReadRequestOf(address, static_cast<std::uint8_t>(data.size()));
  record[0] = 'W';
  for (std::size_t i = 0; i < data.size() && 4 + i < record.size(); ++i) {
    record[4 + i] = data[i];
  }
  return record;
}

inline std::vector<std::uint8_t> LittleEndian(std::uint32_t value, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return bytes;
}

// Sends `value` (`size` bytes, little-endian) to `address` through DEVMEM, as the PC does.
inline bool SendValue(VirtualBoard& board, std::uint32_t address, std::uint32_t value,
                      std::size_t size) {
  return board.WriteDevmemRecord(WriteRecordOf(address, LittleEndian(value, size)));
}

// Sends signed 16-bit servo targets for slots 0.. and then the time word that starts the move.
inline void SendMove(VirtualBoard& board, std::initializer_list<std::int16_t> targets,
                     std::uint16_t time) {
  std::vector<std::uint8_t> bytes;
  for (const std::int16_t target : targets) {
    const auto raw = static_cast<std::uint16_t>(target);
    bytes.push_back(static_cast<std::uint8_t>(raw));
    bytes.push_back(static_cast<std::uint8_t>(raw >> 8));
  }
  board.WriteDevmemRecord(WriteRecordOf(kServoTargetAddress, bytes));
  SendValue(board, kMoveTimeAddress, time, 2);
}

// `size` bytes of board memory from `address`.
inline std::vector<std::uint8_t> Memory(const VirtualBoard& board, std::uint32_t address,
                                        std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  board.ReadMemory(address, bytes);
  return bytes;
}

// The board's 32-byte error text field, and the field holding `text`, zero-filled.
inline std::string ErrorText(const VirtualBoard& board) {
  const auto field = Memory(board, kErrorTextAddress, kErrorTextSize);
  return std::string(field.begin(), field.end());
}
inline std::string ErrorField(std::string text) {
  text.resize(kErrorTextSize, '\0');
  return text;
}

inline std::int16_t CurrentValue(const VirtualBoard& board, std::uint32_t slot) {
  return static_cast<std::int16_t>(board.Word(kServoCurrentAddress + 2 * slot));
}

}  // namespace gestalon::sim::testing
