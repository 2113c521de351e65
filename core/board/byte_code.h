#pragma once

#include <cstdint>

namespace gestalon::core {

// Instructions of the board's interpreter. Operands follow the opcode, little-endian; "address"
// operands are 32-bit board or code addresses.
namespace Opcode {
inline constexpr std::uint8_t kJump = 0x81;        // address: go to the code address
inline constexpr std::uint8_t kCall = 0x82;        // address: call code that returns with kEnd
inline constexpr std::uint8_t kEnd = 0x83;         // return from a call, or end the motion
inline constexpr std::uint8_t kWait8 = 0x88;       // 8-bit count: wait that many time units
inline constexpr std::uint8_t kWait16 = 0x89;      // 16-bit count
inline constexpr std::uint8_t kWaitZero = 0x8C;    // address: wait until that byte is 0
inline constexpr std::uint8_t kWrite = 0x90;       // address, n (8-bit), n data bytes
inline constexpr std::uint8_t kExpression = 0xC0;  // starts an expression; also a filler
inline constexpr std::uint8_t kPushConst = 0xC4;   // 32-bit value
inline constexpr std::uint8_t kPush1 = 0xC8;       // address: push the 1-byte variable there
inline constexpr std::uint8_t kPush2 = 0xC9;
inline constexpr std::uint8_t kPush4 = 0xCA;
inline constexpr std::uint8_t kPop1 = 0xCC;  // address: pop into the 1-byte variable there
inline constexpr std::uint8_t kPop2 = 0xCD;
inline constexpr std::uint8_t kPop4 = 0xCE;
// Second-from-top and top combined into one value.
inline constexpr std::uint8_t kAdd = 0xD0, kSub = 0xD1, kMul = 0xD2, kDiv = 0xD3, kMod = 0xD4,
                              kAnd = 0xD5, kOr = 0xD6, kXor = 0xD7;
inline constexpr std::uint8_t kNot = 0xD8;  // complement of the top
// Set the test flag from the top compared with zero.
inline constexpr std::uint8_t kTestZero = 0xD9, kTestNonZero = 0xDA, kTestPositive = 0xDB,
                              kTestNotNegative = 0xDC, kTestNegative = 0xDD,
                              kTestNotPositive = 0xDE;
inline constexpr std::uint8_t kJumpIfTest = 0xE0;  // address: jump when the test flag is set
}  // namespace Opcode

// Board memory that compiled code uses besides the addresses of board_addresses.h.
namespace BoardAddress {
inline constexpr std::uint32_t kFileName = 0x0400;  // file to play, read or write; ANSI, ends in 0
inline constexpr std::uint32_t kFileCommand = 0x01D0;      // 1 read, 2 write
inline constexpr std::uint32_t kFileDataAddress = 0x01D8;  // 32-bit board address of the data
inline constexpr std::uint32_t kSoundCommand = 0x01E0;     // 1 play
}  // namespace BoardAddress

// The byte that follows the motion image in a playback image file ("TEMP.BIN").
inline constexpr std::uint8_t kPlaybackImageEnd = 0x80;

// Bytes of one memory-write instruction besides its data: opcode, address, length.
inline constexpr std::uint32_t kWriteOverhead = 6;
// Longest data of one memory write (its length is one byte).
inline constexpr std::uint32_t kWriteMaxData = 255;

}  // namespace gestalon::core
