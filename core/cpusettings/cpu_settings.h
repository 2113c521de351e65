#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gestalon::core {

// Interpolation method of one pose slider position, as the board reads it at 0x0B80.
namespace InterpolationMethod {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kCubic = 1;
inline constexpr std::uint8_t kLinear = 2;
inline constexpr std::uint8_t kSyncBefore = 3;
inline constexpr std::uint8_t kSyncAfter = 4;
}  // namespace InterpolationMethod

// Word numbers of the 32-word motor record on the board (word n at byte 2n of the record).
namespace MotorWord {
inline constexpr int kAdrRdp = 0, kAdr0 = 1, kAdrEn = 2, kAdrOvr = 3, kK0 = 4, kOfs = 5, kLimL = 6,
                     kLimH = 7, kAdr2A = 8, kAdr2B = 9, kK3 = 10, kAdr3A = 11, kAdr3B = 12,
                     kK4 = 13, kAdr4A = 14, kAdr4B = 15, kOnDelayKSign = 16, kSoftSt = 17,
                     kSu16AdrRdMt = 18, kReserved19 = 19, kBytesAB = 20, kReserved21 = 21,
                     kReserved22 = 22;
// Words the PC keeps; the rest of the 32 are always 0.
inline constexpr int kKept = 23;
inline constexpr int kBoardWords = 32;
}  // namespace MotorWord

inline constexpr int kMotorCount = 32;
inline constexpr std::size_t kMotorNameChars = 16;
inline constexpr int kSerialBusCount = 4;
inline constexpr int kLedCount = 8;
inline constexpr int kInterpolationCount = 128;
// File names held by the record: 260 characters with the terminator.
inline constexpr std::size_t kFileNameChars = 259;

struct MotorRecord {
  std::u16string name;  // at most 16 characters
  // Words 0..22 of the board record; words[20] is unused, word 20 lives in word20A/word20B.
  std::array<std::uint16_t, MotorWord::kKept> words{};
  // Word 20: byte A is the lower-addressed byte on the board; the file writes A * 256 + B.
  std::uint8_t word20A = 0, word20B = 0;

  friend bool operator==(const MotorRecord&, const MotorRecord&) = default;
};

struct SerialBus {
  std::uint32_t SBUS_PROTOCOL = 0;  // low byte used by the board
  std::uint32_t SBUS_N = 0;         // low byte used by the board
  std::array<std::uint8_t, 14> SBUS_ID{};

  friend bool operator==(const SerialBus&, const SerialBus&) = default;
};

struct LedEntry {
  std::uint16_t first = 0, second = 0, third = 0;

  friend bool operator==(const LedEntry&, const LedEntry&) = default;
};

// The board parameters of a robot project. Value-initialised means "cleared".
struct CpuSettings {
  std::int32_t basicControlCycle = 0;  // microseconds
  std::array<std::uint8_t, kInterpolationCount> interpolationMethods{};
  std::array<MotorRecord, kMotorCount> motors;
  std::uint16_t firmwareVersion = 0;  // only read from the board
  std::uint16_t voiceAttenuator = 0;  // volume shown to the user = 7 - attenuator
  std::uint16_t settingsWord92 = 0;   // only read from the board
  std::array<char, 32> modelName{};   // ANSI bytes, zero-terminated; the robot's name
  std::u16string startupMotion;       // file name; at most kFileNameChars
  std::u16string secondMotion;        // file name; not stored in the settings file
  std::u16string extraFile;           // file of the project folder; not stored in the file
  std::array<SerialBus, kSerialBusCount> serialBuses;
  std::array<LedEntry, kLedCount> leds;
  std::uint16_t controllerCancelBits = 0;
  std::uint32_t controllerEnable = 0, ledEnable = 0, thirdEnable = 0;  // low byte used

  friend bool operator==(const CpuSettings&, const CpuSettings&) = default;
};

// Word 20 as the settings file writes it: byte A * 256 + byte B.
std::uint16_t Word20FileValue(const MotorRecord& motor);
// Splits a file value of word 20 into byte A (high 8 bits) and byte B (low 8 bits).
void SetWord20FromFileValue(MotorRecord& motor, std::uint32_t value);

// The model name converted from the ANSI code page, up to its first zero byte.
std::u16string RobotName(const CpuSettings& settings);
// Stores the name in the ANSI code page: at most 31 bytes plus the terminating zero, cut before
// a character that would not fit whole (never half a double-byte character). The rest is zeroed.
void SetRobotName(CpuSettings& settings, std::u16string_view name);

// The text in the ANSI code page, cut before the first character whose bytes would pass
// `maxBytes`. `consumed`, when given, receives how many UTF-16 units the bytes stand for.
std::string ToAnsiCut(std::u16string_view text, std::size_t maxBytes,
                      std::size_t* consumed = nullptr);

}  // namespace gestalon::core
