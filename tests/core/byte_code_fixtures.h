#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "board/motion_compiler.h"
#include "motion/motion_document.h"

// Building blocks for the golden byte sequences of the compiler and image tests.
namespace gestalon::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::initializer_list<int> values) {
  Bytes bytes;
  for (int v : values) {
    bytes.push_back(static_cast<std::uint8_t>(v));
  }
  return bytes;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes W(std::uint16_t value) {
  return B({value & 0xFF, value >> 8});
}

inline Bytes L(std::uint32_t value) {
  return W(static_cast<std::uint16_t>(value)) + W(static_cast<std::uint16_t>(value >> 16));
}

// An instruction with a 32-bit operand.
inline Bytes Op(int opcode, std::uint32_t operand) {
  return B({opcode}) + L(operand);
}

// A memory write: opcode, address, length, data.
inline Bytes Mem(std::uint32_t address, const Bytes& data) {
  return Op(0x90, address) + B({static_cast<int>(data.size())}) + data;
}

inline core::MotionBlock& AddBlock(core::MotionDocument& document, core::BlockKind kind) {
  core::MotionBlock record;
  record.type = static_cast<std::int32_t>(kind);
  record.time = 50;
  return document.Append(record);
}

// Hands out fixed code addresses and records every request.
class FakeCompileList : public core::CompileListPort {
 public:
  std::uint32_t CompileListAdd(std::u16string_view fileName, int kind) override {
    calls.emplace_back(std::u16string(fileName), kind);
    const auto found = addresses.find(std::u16string(fileName));
    return found == addresses.end() ? 0 : found->second;
  }

  std::map<std::u16string, std::uint32_t> addresses;
  std::vector<std::pair<std::u16string, int>> calls;
};

}  // namespace gestalon::testing
