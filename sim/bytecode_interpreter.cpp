#include "bytecode_interpreter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <utility>

#include "board_addresses.h"

namespace gestalon::sim {
namespace {

std::array<std::uint8_t, 4> LittleEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::uint32_t SignExtend(std::uint32_t value, std::size_t size) {
  if (size == 1) {
    return static_cast<std::uint32_t>(std::int32_t{static_cast<std::int8_t>(value)});
  }
  if (size == 2) {
    return static_cast<std::uint32_t>(std::int32_t{static_cast<std::int16_t>(value)});
  }
  return value;
}

// Signed 32-bit arithmetic that never traps: sums and products wrap, a division by zero gives
// 0 (the remainder keeps the dividend), and the one overflowing quotient wraps as well.
std::uint32_t Combine(std::uint8_t opcode, std::uint32_t a, std::uint32_t b) {
  const auto sa = static_cast<std::int32_t>(a);
  const auto sb = static_cast<std::int32_t>(b);
  const bool overflow = sa == std::numeric_limits<std::int32_t>::min() && sb == -1;
  switch (opcode) {
    case Opcode::kAdd:
      return a + b;
    case Opcode::kSub:
      return a - b;
    case Opcode::kMul:
      return a * b;
    case Opcode::kDiv:
      if (sb == 0) {
        return 0;
      }
      return overflow ? a : static_cast<std::uint32_t>(sa / sb);
    case Opcode::kMod:
      if (sb == 0) {
        return a;
      }
      return overflow ? 0 : static_cast<std::uint32_t>(sa % sb);
    case Opcode::kAnd:
      return a & b;
    case Opcode::kOr:
      return a | b;
    default:
      return a ^ b;
  }
}

bool Test(std::uint8_t opcode, std::uint32_t value) {
  const auto v = static_cast<std::int32_t>(value);
  switch (opcode) {
    case Opcode::kTestZero:
      return v == 0;
    case Opcode::kTestNonZero:
      return v != 0;
    case Opcode::kTestPositive:
      return v > 0;
    case Opcode::kTestNotNegative:
      return v >= 0;
    case Opcode::kTestNegative:
      return v < 0;
    default:
      return v <= 0;
  }
}

// Bytes an instruction takes, operands included; 0 for the write instruction, whose length
// depends on its count byte, and for unknown opcodes.
std::size_t FixedSize(std::uint8_t opcode) {
  switch (opcode) {
    case Opcode::kEnd:
    case Opcode::kExpression:
      return 1;
    case Opcode::kWait8:
      return 2;
    case Opcode::kWait16:
      return 3;
    case Opcode::kJump:
    case Opcode::kCall:
    case Opcode::kWaitZero:
    case Opcode::kPushConst:
    case Opcode::kPush1:
    case Opcode::kPush2:
    case Opcode::kPush4:
    case Opcode::kPop1:
    case Opcode::kPop2:
    case Opcode::kPop4:
    case Opcode::kJumpIfTest:
      return 5;
    default:
      return opcode >= Opcode::kAdd && opcode <= Opcode::kTestNotPositive ? 1 : 0;
  }
}

// Bytes a push or pop instruction moves.
std::size_t VariableSize(std::uint8_t opcode) {
  return std::size_t{1} << (opcode & 0x03);
}

}  // namespace

void StoreErrorReport(BoardBus& bus, std::uint32_t address, std::string_view text) {
  bus.StoreBytes(kErrorAddressAddress, LittleEndian32(address));
  std::array<std::uint8_t, kErrorTextSize> field{};
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kErrorTextSize - 1), field.begin());
  bus.StoreBytes(kErrorTextAddress, field);
}

void BytecodeInterpreter::Start(std::vector<std::uint8_t> image) {
  ++generation_;
  code_ = std::move(image);
  stack_.clear();
  returns_.clear();
  testFlag_ = false;
  waitUnits_ = 0;
  next_ = 0;
  current_ = 0;
  running_ = true;
  StoreCodeAddress(0);
  if (code_.size() > kMaxImageSize) {
    code_.clear();
    Fail(0, "image too large");
  }
}

void BytecodeInterpreter::Stop() {
  ++generation_;
  running_ = false;
  waitUnits_ = 0;
}

void BytecodeInterpreter::Fail(std::uint32_t address, std::string_view text) {
  Stop();
  StoreErrorReport(bus_, address, text);
  ClearPlayByte();
}

void BytecodeInterpreter::RunTimeUnit() {
  if (!running_) {
    return;
  }
  if (waitUnits_ > 0 && --waitUnits_ > 0) {
    return;
  }
  for (std::uint32_t budget = kInstructionsPerTimeUnit; budget > 0 && running_; --budget) {
    if (Execute() == Flow::kYield) {
      return;
    }
  }
}

BytecodeInterpreter::Flow BytecodeInterpreter::Execute() {
  const std::uint32_t at = next_;
  current_ = at;
  ++executed_;
  StoreCodeAddress(at);
  if (at >= code_.size()) {
    Fail(at, "address outside the image");
    return Flow::kYield;
  }

  const std::uint8_t opcode = code_[at];
  const std::uint64_t operands = std::uint64_t{at} + 1;
  std::size_t size = FixedSize(opcode);
  std::uint32_t count = 0;
  if (opcode == Opcode::kWrite) {
    size = core::kWriteOverhead + (Operand(operands + 4, 1, count) ? count : 0);
  }
  if (size == 0) {
    char text[kErrorTextSize];
    std::snprintf(text, sizeof text, "unknown opcode 0x%02X", static_cast<unsigned>(opcode));
    Fail(at, text);
    return Flow::kYield;
  }
  if (std::uint64_t{at} + size > code_.size()) {
    Fail(at, "truncated instruction");
    return Flow::kYield;
  }
  // Every operand lies inside the image from here on.
  next_ = static_cast<std::uint32_t>(at + size);
  std::uint32_t operand = 0;
  if (size >= 5) {
    Operand(operands, 4, operand);
  }

  switch (opcode) {
    case Opcode::kJump:
      return JumpTo(at, operand);
    case Opcode::kCall:
      if (returns_.size() >= kCallDepth) {
        Fail(at, "call stack overflow");
        return Flow::kYield;
      }
      if (!InImage(at, operand)) {
        return Flow::kYield;
      }
      returns_.push_back(next_);
      next_ = operand;
      return Flow::kNext;
    case Opcode::kEnd:
      if (!returns_.empty()) {
        next_ = returns_.back();
        returns_.pop_back();
        return Flow::kNext;
      }
      Stop();
      ClearPlayByte();
      return Flow::kYield;
    case Opcode::kWait8:
    case Opcode::kWait16:
      Operand(operands, size - 1, waitUnits_);
      return waitUnits_ == 0 ? Flow::kNext : Flow::kYield;
    case Opcode::kWaitZero:
      if (bus_.ReadByte(operand) != 0) {
        next_ = at;  // look again in the next time unit
        return Flow::kYield;
      }
      return Flow::kNext;
    case Opcode::kWrite:
      return WriteMemory(operand, std::span<const std::uint8_t>(code_).subspan(
                                      at + core::kWriteOverhead, size - core::kWriteOverhead));
    case Opcode::kExpression:
      stack_.clear();
      return Flow::kNext;
    case Opcode::kPushConst:
      return Push(at, operand) ? Flow::kNext : Flow::kYield;
    case Opcode::kPush1:
    case Opcode::kPush2:
    case Opcode::kPush4: {
      const std::size_t bytes = VariableSize(opcode);
      return Push(at, SignExtend(ReadMemory(operand, bytes), bytes)) ? Flow::kNext : Flow::kYield;
    }
    case Opcode::kPop1:
    case Opcode::kPop2:
    case Opcode::kPop4: {
      std::uint32_t value = 0;
      if (!Pop(at, value)) {
        return Flow::kYield;
      }
      const auto bytes = LittleEndian32(value);
      return WriteMemory(operand, std::span<const std::uint8_t>(bytes).first(VariableSize(opcode)));
    }
    case Opcode::kNot: {
      std::uint32_t value = 0;
      return Pop(at, value) && Push(at, ~value) ? Flow::kNext : Flow::kYield;
    }
    case Opcode::kJumpIfTest:
      return testFlag_ ? JumpTo(at, operand) : Flow::kNext;
    default:
      break;
  }

  if (opcode >= Opcode::kTestZero) {
    std::uint32_t value = 0;
    if (!Pop(at, value)) {
      return Flow::kYield;
    }
    testFlag_ = Test(opcode, value);
    return Flow::kNext;
  }
  std::uint32_t b = 0;
  std::uint32_t a = 0;
  if (!Pop(at, b) || !Pop(at, a)) {
    return Flow::kYield;
  }
  Push(at, Combine(opcode, a, b));
  return Flow::kNext;
}

bool BytecodeInterpreter::InImage(std::uint32_t at, std::uint32_t target) {
  if (target >= code_.size()) {
    Fail(at, "jump outside the image");
    return false;
  }
  return true;
}

BytecodeInterpreter::Flow BytecodeInterpreter::JumpTo(std::uint32_t at, std::uint32_t target) {
  if (!InImage(at, target)) {
    return Flow::kYield;
  }
  next_ = target;
  // A jump to itself can never lead anywhere else: the program idles there.
  return target == at ? Flow::kYield : Flow::kNext;
}

BytecodeInterpreter::Flow BytecodeInterpreter::WriteMemory(std::uint64_t address,
                                                           std::span<const std::uint8_t> bytes) {
  // The write may start another image (the play byte), which replaces code_: copy first.
  const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  const std::uint64_t generation = generation_;
  bus_.WriteBytes(address, data);
  return generation == generation_ ? Flow::kNext : Flow::kYield;
}

bool BytecodeInterpreter::Operand(std::uint64_t offset, std::size_t size,
                                  std::uint32_t& value) const {
  if (offset + size > code_.size()) {
    return false;
  }
  value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= std::uint32_t{code_[offset + i]} << (8 * i);
  }
  return true;
}

bool BytecodeInterpreter::Push(std::uint32_t at, std::uint32_t value) {
  if (stack_.size() >= kExpressionStackDepth) {
    Fail(at, "expression stack overflow");
    return false;
  }
  stack_.push_back(value);
  return true;
}

bool BytecodeInterpreter::Pop(std::uint32_t at, std::uint32_t& value) {
  if (stack_.empty()) {
    Fail(at, "expression stack underflow");
    return false;
  }
  value = stack_.back();
  stack_.pop_back();
  return true;
}

std::uint32_t BytecodeInterpreter::ReadMemory(std::uint64_t address, std::size_t size) const {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= std::uint32_t{bus_.ReadByte(address + i)} << (8 * i);
  }
  return value;
}

void BytecodeInterpreter::StoreCodeAddress(std::uint32_t address) {
  bus_.StoreBytes(kCodeAddressAddress, LittleEndian32(address));
}

void BytecodeInterpreter::ClearPlayByte() {
  const std::array<std::uint8_t, 1> zero{0};
  bus_.StoreBytes(kPlayByteAddress, zero);
}

}  // namespace gestalon::sim
