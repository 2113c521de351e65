#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "board/byte_code.h"

namespace gestalon::sim {

namespace Opcode = core::Opcode;

// The board as a program sees it. Addresses are 64-bit so that address + n never wraps; bytes
// beyond board memory read as 0 and are dropped on writing.
class BoardBus {
 public:
  virtual std::uint8_t ReadByte(std::uint64_t address) const = 0;
  // A write by the program: the board acts on it as on a DEVMEM write (servo moves, buffer
  // resets, command bytes, the play byte). May stop or restart the program that made it.
  virtual void WriteBytes(std::uint64_t address, std::span<const std::uint8_t> bytes) = 0;
  // The board's own bookkeeping (code address, error report, play byte): memory only.
  virtual void StoreBytes(std::uint64_t address, std::span<const std::uint8_t> bytes) = 0;

 protected:
  ~BoardBus() = default;
};

// Reports a failure where the PC reads the board's last error: `address` at 0x017C (32-bit) and
// at most 31 bytes of `text` at 0x0180, zero-filled to 32 bytes.
void StoreErrorReport(BoardBus& bus, std::uint32_t address, std::string_view text);

// Runs one byte-code image. Code addresses are offsets in the image; the image lives apart from
// board memory. Time passes in time units: each RunTimeUnit executes instructions until one waits
// (0x88, 0x89, 0x8C), jumps to its own address (the program idles there, one instruction per
// unit), ends, fails, or until kInstructionsPerTimeUnit instructions ran, so a loop without a
// wait still hands the time unit back.
//
// Values are 32-bit: 1- and 2-byte variables are pushed sign-extended, pops store the low bytes.
// Sums and products wrap; a quotient by 0 is 0 and a remainder by 0 keeps the dividend; quotients
// round toward zero. A test (0xD9..0xDE) pops the value it tests; its flag stays until the next
// test (0xC0 empties only the stack).
//
// As each instruction starts, its address goes to 0x01FC. The program ends at a top-level 0x83,
// which clears the play byte 0x01FB. Failures stop the program, clear the play byte and report
// (StoreErrorReport) the address of the failing instruction with one of the texts
// "unknown opcode 0xNN", "truncated instruction", "jump outside the image",
// "address outside the image" (running off the end), "expression stack overflow",
// "expression stack underflow", "call stack overflow", "image too large".
//
// Not thread-safe: the board that owns it serialises the calls.
class BytecodeInterpreter {
 public:
  static constexpr std::uint32_t kInstructionsPerTimeUnit = 10000;
  static constexpr std::size_t kExpressionStackDepth = 16;
  static constexpr std::size_t kCallDepth = 64;
  static constexpr std::size_t kMaxImageSize = 16 * 1024 * 1024;

  // `bus` must outlive the interpreter.
  explicit BytecodeInterpreter(BoardBus& bus) : bus_(bus) {}
  BytecodeInterpreter(const BytecodeInterpreter&) = delete;
  BytecodeInterpreter& operator=(const BytecodeInterpreter&) = delete;

  // Replaces whatever runs with `image`, from code address 0 (stored at 0x01FC at once), with an
  // empty expression stack, no calls, the test flag clear and no wait. The first instruction
  // runs in the next time unit. An image larger than kMaxImageSize fails at once.
  void Start(std::vector<std::uint8_t> image);
  // Ends the program without touching memory.
  void Stop();
  // Stops the program, clears the play byte and reports `text` at `address`.
  void Fail(std::uint32_t address, std::string_view text);
  // One time unit of the program; nothing when no program runs.
  void RunTimeUnit();

  // True from Start until the program ends, fails or is stopped; idling on a jump to itself and
  // waiting count as running.
  bool Running() const { return running_; }
  // Address of the instruction that started last (the value kept at 0x01FC).
  std::uint32_t CodeAddress() const { return current_; }
  // Instructions started since construction.
  std::uint64_t InstructionsExecuted() const { return executed_; }

 private:
  enum class Flow {
    kNext,   // go on with the next instruction
    kYield,  // nothing more in this time unit
  };

  Flow Execute();
  // Fails the instruction at `at` when `target` lies outside the image.
  bool InImage(std::uint32_t at, std::uint32_t target);
  Flow JumpTo(std::uint32_t at, std::uint32_t target);
  Flow WriteMemory(std::uint64_t address, std::span<const std::uint8_t> bytes);
  // Reads `size` operand bytes (little-endian) at `offset`; false when they lie beyond the image.
  bool Operand(std::uint64_t offset, std::size_t size, std::uint32_t& value) const;
  bool Push(std::uint32_t at, std::uint32_t value);
  bool Pop(std::uint32_t at, std::uint32_t& value);
  std::uint32_t ReadMemory(std::uint64_t address, std::size_t size) const;
  void StoreCodeAddress(std::uint32_t address);
  void ClearPlayByte();

  BoardBus& bus_;
  std::vector<std::uint8_t> code_;
  bool running_ = false;
  std::uint32_t next_ = 0;     // address of the instruction to run next
  std::uint32_t current_ = 0;  // address of the instruction that started last
  std::uint32_t waitUnits_ = 0;
  bool testFlag_ = false;
  std::vector<std::uint32_t> stack_;
  std::vector<std::uint32_t> returns_;
  std::uint64_t executed_ = 0;
  // Changes whenever a program starts or stops, so that an instruction whose write restarted or
  // stopped the program leaves the new state alone.
  std::uint64_t generation_ = 0;
};

}  // namespace gestalon::sim
